#pragma once

#include "planning/cell_style.h"

#include <QDate>

class MonthGrid;
class QProgressBar;

// Fills the monthly grid's room columns from the night rows of every room of
// the month, read in one statement. Database errors are thrown as
// DatabaseError; the columns filled before stay as they are.
namespace MonthView {

// Rooms 1..roomCount for the month of the date (the grid moves to that month
// first when it shows another one). The bar, when given, runs from 0 to
// roomCount, one step per room, and is back at 0 at the end.
void fillAll(MonthGrid &grid, const QDate &month, int roomCount, const PlanningLook &look,
             QProgressBar *bar = nullptr);

} // namespace MonthView
