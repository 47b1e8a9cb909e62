#pragma once

#include "common/text_grid.h"
#include "xlsx/spreadsheet_export.h"

#include <QDate>
#include <QString>
#include <QStringList>

class YearFigures;

// The figures of the statistics tab: a grid of 14 rows (titles, twelve months,
// "Total") and N + 3 columns (month labels, one per room, "Total", "%") for one
// year and one measure, and the day-by-day turnover of one month laid out by
// weeks. Widget-free, so that the tab, the headless command and the tests all
// show the same texts.
namespace StatisticsTable {

enum Measure { ChiffreAffaires = 0, NombreJours = 1, NombrePersonnes = 2 };

// "Chiffre d'affaires", "Nombre de jours occupés", "Nombre de personnes".
QStringList measureLabels();
// "Janvier" .. "Décembre", then "Total".
QStringList rowLabels();

// The grid without figures: room names in the title row, month labels in column 0.
TextGrid emptyGrid(const QStringList &roomNames);

// Every room of the grid recomputed for the year, then the totals and rates.
// Reads the database (throws DatabaseError).
void computeAll(TextGrid &grid, int year, int measure);
// Only one room's column recomputed (the others kept), then the totals.
void computeRoom(TextGrid &grid, int room, int year, int measure);
// Fills every room's column from figures already read, then the totals.
void fillFromFigures(TextGrid &grid, const YearFigures &figures, int measure);
// Column N + 1 (sum of the rooms) and N + 2 (rate, measures 1 and 2 only) of
// every month, and the yearly row, from the room cells read back as numbers.
void computeTotals(TextGrid &grid, int year, int measure);

// 100 * part / whole rounded to the nearest integer, halves to the even one;
// 0 when whole is 0.
long long roundedRate(long long part, long long whole);

// The day-by-day turnover of a month: title row ("", "Lundi" .. "Dimanche",
// "Total"), then one row per Monday-to-Sunday week the month touches (5 or 6,
// 4 for a February starting on a Monday), the days of the neighbouring months
// included; column 0 "Du <lundi> au <dimanche>", column 8 the week's sum.
TextGrid dailyTurnover(int year, int month);
// Its title row.
QStringList dailyTitles();

// The sheet of a grid of this page (labels in column 0, kept): figures of a
// measure as amounts (turnover) or whole numbers (days, persons, rates).
SpreadsheetOptions sheetOptions(int measure);
// The number of week rows of a month and its first Monday.
int weekCount(int year, int month);
QDate firstMonday(int year, int month);

} // namespace StatisticsTable
