#include "planning/planning_dates.h"

#include "common/format.h"

namespace PlanningDates {

QDate mondayOf(const QDate &date)
{
    return date.addDays(1 - date.dayOfWeek());
}

QDate addMonths(const QDate &date, int months)
{
    // QDate already keeps the day of month and clamps it to the length of the target month.
    return date.addMonths(months);
}

bool sameMonth(const QDate &a, const QDate &b)
{
    return a.year() == b.year() && a.month() == b.month();
}

QString weekTitle(const QDate &monday)
{
    return QStringLiteral("Semaine du ") + Format::date(monday) + QStringLiteral(" au ") +
           Format::date(monday.addDays(6));
}

QString nomMois(const QDate &date)
{
    // The labels keep their historic spelling ("aout" without accent).
    static const char *const labels[] = {"Mois de janvier ", "Mois de février ",  "Mois de mars ",
                                         "Mois d'avril ",    "Mois de mai ",      "Mois de juin ",
                                         "Mois de juillet ", "Mois d'aout ",      "Mois de septembre ",
                                         "Mois d'octobre ",  "Mois de novembre ", "Mois de décembre "};
    const int m = date.month();
    return m >= 1 && m <= 12 ? QString::fromUtf8(labels[m - 1]) : QString();
}

QString monthTitle(const QDate &date)
{
    return nomMois(date) + QString::number(date.year());
}

QString monthDayName(const QDate &date)
{
    return Format::dayName(date.dayOfWeek()).toLower();
}

} // namespace PlanningDates
