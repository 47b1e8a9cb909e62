#pragma once

#include "data/planning_table.h"

#include <QStringList>

// The texts of the planning lists of one room, taken from a reading of every
// room at once, as the grids show them before the state words are coloured.
namespace PlanningTexts {

constexpr int WeekEntries = 7;
// A month list always holds 32 entries whatever the month's length.
constexpr int MonthEntries = 32;

// Monday to Sunday of the table's first 7 days. Each day shows its first
// night: the state, or in the name mode the state, one blank and the
// client's surname (the state alone when the client is gone or has none).
QStringList week(const PlanningTable &table, int room, bool showsNames);

// Entry d - 1 for day d of the month the table starts with, entries after the
// month's last day empty. Each day shows its last night: the state, or in the
// name mode the client's name, one blank and the state.
QStringList month(const PlanningTable &table, int room, bool showsNames);

} // namespace PlanningTexts
