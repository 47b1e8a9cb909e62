#pragma once

#include <QDate>
#include <QString>

// The calendar arithmetic of the planning tabs, kept apart from the widgets so
// that every rule about weeks and months can be checked on its own.
namespace PlanningDates {

// The Monday of the Monday-to-Sunday week that holds the date.
QDate mondayOf(const QDate &date);

// The same day of month one or more calendar months away, brought back to the
// last day of a shorter month (31 January + 1 month = 28 or 29 February).
QDate addMonths(const QDate &date, int months);

// True when both dates lie in the same month of the same year.
bool sameMonth(const QDate &a, const QDate &b);

// "Semaine du 03/06/2024 au 09/06/2024" for the week starting on that Monday.
QString weekTitle(const QDate &monday);

// The month label used in the monthly titles: "Mois de janvier ", "Mois d'avril ",
// "Mois d'aout " ... with its trailing blank.
QString nomMois(const QDate &date);
// The monthly tab's title: the month label, then the four-digit year
// ("Mois de janvier 2027": one blank, whichever way the month was reached).
QString monthTitle(const QDate &date);

// Day names of the monthly day column ("lundi"): the French full weekday names.
QString monthDayName(const QDate &date);

} // namespace PlanningDates
