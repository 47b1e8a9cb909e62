#pragma once

#include "common/text_grid.h"

#include <QDate>

// The line grid of an invoice or a quote: row 0 the titles, one row per
// service, a trailing empty row for the next entry. Column 0 the service id
// (hidden on screen), 1 "Prestation", 2 "Nb", 3 "Total HT", 4 "TVA" (rate text
// or "---------"), 5 "Total TTC"; a row whose column 0 is empty is not a line.
namespace DocumentLines {

enum Column { Service = 0, Libelle = 1, Nb = 2, TotalHt = 3, Tva = 4, TotalTtc = 5, ColumnCount = 6 };

// The titles and one empty row.
TextGrid emptyGrid();
// Writes the titles into row 0 (the grid is widened to six columns if needed).
void setTitles(TextGrid &grid);
// True when at least one row holds a service id.
bool hasLines(const TextGrid &grid);

// Prices every line at the room's prices: column 3 the price before tax times
// the quantity, 4 the rate text, 5 the price after tax times the quantity
// (a missing price counts 0, a missing rate reads "---------").
void reprice(TextGrid &grid, int room);

// Removes a line: the rows below move up by one. The title row and the
// trailing empty row stay.
void removeLine(TextGrid &grid, int row);

// The services of a whole stay, given any of its nights: one line per service
// with quantities summed over the nights, priced at the stay's room; debut is
// the first night, depart the day after the last night. Invalid dates and an
// empty grid when the night does not exist.
struct Sejour
{
    TextGrid lignes;
    QDate debut;
    QDate depart;
};
Sejour lireSejour(int idNuit);

} // namespace DocumentLines
