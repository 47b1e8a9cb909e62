#pragma once

#include "planning/cell_style.h"

class QProgressBar;
class WeekGrid;

// Fills the weekly grid's room columns for the week it shows, from the night
// rows of every room read in one statement. Database errors are thrown as
// DatabaseError; the columns filled before stay as they are.
namespace WeekView {

// Rooms 1..roomCount in order; the bar, when given, advances by one for each
// room and day (the caller sets its range to 7 x roomCount).
void fillAll(WeekGrid &grid, int roomCount, const PlanningLook &look, QProgressBar *bar = nullptr);
// One room's column (after a save in the entry panel).
void fillRoom(WeekGrid &grid, int room, const PlanningLook &look);

} // namespace WeekView
