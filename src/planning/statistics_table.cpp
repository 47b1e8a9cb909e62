#include "planning/statistics_table.h"

#include "common/format.h"
#include "data/reservation.h"
#include "data/year_figures.h"

#include <QList>

namespace StatisticsTable {

namespace {

constexpr int kMonths = 12;
constexpr int kTotalRow = 13;

int roomCountOf(const TextGrid &grid)
{
    return qMax(0, grid.columnCount() - 3);
}

// Cells hold what Format::number wrote (decimal comma, no grouping); other
// text counts as 0.
double cellNumber(const TextGrid &grid, int row, int column)
{
    QString text = grid.cell(row, column);
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : 0.0;
}

// The sum of the twelve months of a room, in row 13.
void writeRoomTotal(TextGrid &grid, int room)
{
    double sum = 0.0;
    for (int month = 1; month <= kMonths; ++month)
        sum += cellNumber(grid, month, room);
    grid.setCell(kTotalRow, room, Format::number(sum));
}

QString figure(const YearFigures &figures, int room, int month, int measure)
{
    switch (measure) {
    case NombreJours:
        return QString::number(figures.nights(room, month));
    case NombrePersonnes:
        return QString::number(figures.persons(room, month));
    default:
        return Format::number(figures.turnover(room, month));
    }
}

} // namespace

QStringList measureLabels()
{
    return {QStringLiteral("Chiffre d'affaires"), QStringLiteral("Nombre de jours occupés"),
            QStringLiteral("Nombre de personnes")};
}

QStringList rowLabels()
{
    // "Févier" is the label the program has always shown.
    return {QStringLiteral("Janvier"), QStringLiteral("Févier"),   QStringLiteral("Mars"),
            QStringLiteral("Avril"),   QStringLiteral("Mai"),      QStringLiteral("Juin"),
            QStringLiteral("Juillet"), QStringLiteral("Aout"),     QStringLiteral("Septembre"),
            QStringLiteral("Octobre"), QStringLiteral("Novembre"), QStringLiteral("Décembre"),
            QStringLiteral("Total")};
}

TextGrid emptyGrid(const QStringList &roomNames)
{
    const int n = int(roomNames.size());
    TextGrid grid(kTotalRow + 1, n + 3);
    QStringList titles;
    titles << QString() << roomNames << QStringLiteral("Total") << QStringLiteral("%");
    grid.setRow(0, titles);
    const QStringList labels = rowLabels();
    for (int row = 1; row <= kTotalRow; ++row)
        grid.setCell(row, 0, labels.at(row - 1));
    return grid;
}

void fillFromFigures(TextGrid &grid, const YearFigures &figures, int measure)
{
    const int n = roomCountOf(grid);
    for (int room = 1; room <= n; ++room) {
        for (int month = 1; month <= kMonths; ++month)
            grid.setCell(month, room, figure(figures, room, month, measure));
        writeRoomTotal(grid, room);
    }
    computeTotals(grid, figures.year(), measure);
}

void computeAll(TextGrid &grid, int year, int measure)
{
    const YearFigures figures = Reservation().lireStatistiquesAnnee(year, roomCountOf(grid));
    fillFromFigures(grid, figures, measure);
}

void computeRoom(TextGrid &grid, int room, int year, int measure)
{
    if (room < 1 || room > roomCountOf(grid))
        return;
    const Reservation reservation;
    for (int month = 1; month <= kMonths; ++month) {
        QString text;
        switch (measure) {
        case NombreJours:
            text = QString::number(reservation.getNbNuitsMois(room, year, month));
            break;
        case NombrePersonnes:
            text = QString::number(reservation.getNbPersonnesMois(room, year, month));
            break;
        default:
            text = Format::number(reservation.getChiffreAffairesMois(room, year, month));
        }
        grid.setCell(month, room, text);
    }
    writeRoomTotal(grid, room);
    computeTotals(grid, year, measure);
}

long long roundedRate(long long part, long long whole)
{
    if (whole <= 0)
        return 0;
    // Exact integer arithmetic: a floating division would turn some exact
    // halves into x.4999… and round them the wrong way.
    const long long numerator = 100 * part;
    long long quotient = numerator / whole;
    const long long twiceRemainder = 2 * (numerator % whole);
    if (twiceRemainder > whole || (twiceRemainder == whole && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

void computeTotals(TextGrid &grid, int year, int measure)
{
    const int n = roomCountOf(grid);
    const int totalColumn = n + 1;
    const int rateColumn = n + 2;
    const bool withRate = measure == NombreJours || measure == NombrePersonnes;
    double yearSum = 0.0;
    for (int month = 1; month <= kMonths; ++month) {
        double total = 0.0;
        for (int room = 1; room <= n; ++room)
            total += cellNumber(grid, month, room);
        yearSum += total;
        grid.setCell(month, totalColumn, Format::number(total));
        const long long days = QDate(year, month, 1).daysInMonth();
        grid.setCell(month, rateColumn,
                     withRate ? QString::number(roundedRate(qRound64(total), n * days)) : QString());
    }
    grid.setCell(kTotalRow, totalColumn, Format::number(yearSum));
    QString yearRate;
    if (measure == NombreJours)
        yearRate = QString::number(roundedRate(qRound64(yearSum), n * (long long)QDate(year, 1, 1).daysInYear()));
    else if (measure == NombrePersonnes)
        yearRate = QString::number(roundedRate(qRound64(yearSum), n * 31LL * 12));
    grid.setCell(kTotalRow, rateColumn, yearRate);
}

SpreadsheetOptions sheetOptions(int measure)
{
    SpreadsheetOptions options;
    options.dropFirstColumn = false; // the month or week labels belong to the sheet
    options.columns = {SpreadsheetOptions::Cell::Text};
    options.otherColumns =
        measure == ChiffreAffaires ? SpreadsheetOptions::Cell::Amount : SpreadsheetOptions::Cell::Count;
    return options;
}

QDate firstMonday(int year, int month)
{
    const QDate first(year, month, 1);
    return first.addDays(1 - first.dayOfWeek());
}

int weekCount(int year, int month)
{
    const QDate first(year, month, 1);
    const QDate last(year, month, first.daysInMonth());
    const QDate lastSunday = last.addDays(7 - last.dayOfWeek());
    return int((firstMonday(year, month).daysTo(lastSunday) + 1) / 7);
}

QStringList dailyTitles()
{
    QStringList titles{QString()};
    for (int day = 1; day <= 7; ++day)
        titles << Format::dayName(day);
    titles << QStringLiteral("Total");
    return titles;
}

TextGrid dailyTurnover(int year, int month)
{
    const int weeks = weekCount(year, month);
    TextGrid grid(weeks + 1, 9);
    grid.setRow(0, dailyTitles());

    const QDate monday = firstMonday(year, month);
    const QList<double> days = Reservation().getChiffreAffairesJours(monday, monday.addDays(7 * weeks - 1));
    for (int week = 0; week < weeks; ++week) {
        const QDate from = monday.addDays(7 * week);
        grid.setCell(week + 1, 0,
                     QStringLiteral("Du ") + Format::date(from) + QStringLiteral(" au ") +
                         Format::date(from.addDays(6)));
        double sum = 0.0;
        for (int day = 0; day < 7; ++day) {
            const double value = days.value(7 * week + day);
            sum += value;
            grid.setCell(week + 1, day + 1, Format::number(value));
        }
        grid.setCell(week + 1, 8, Format::number(sum));
    }
    return grid;
}

} // namespace StatisticsTable
