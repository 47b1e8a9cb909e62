#pragma once

#include <QSet>
#include <QString>

class ChoiceList;
class TextGrid;

// Edits of a services grid (row 0 titles, service rows 1 to row count - 2, a
// trailing empty row; column 0 service number, 1 label, 2 quantity) made by
// the service picker. The caller computes prices and totals afterwards.
namespace ServicesGrid {

// The service numbers held by the service rows.
QSet<int> servicesIn(const TextGrid &grid);
// Removes from a list of services (placeholder first) those the grid holds.
void removeServicesIn(ChoiceList &services, const TextGrid &grid);
// Writes the service into the trailing empty row and adds a new empty row.
void appendService(TextGrid &grid, int service, const QString &label, const QString &quantity);
// Writes the three columns into an existing service row; false when out of range.
bool updateService(TextGrid &grid, int row, int service, const QString &label, const QString &quantity);

// A quantity is a whole number (a night or a unit count).
bool isQuantity(const QString &text);

} // namespace ServicesGrid
