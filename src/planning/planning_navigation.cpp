#include "planning/planning_navigation.h"

#include "planning/planning_dates.h"

PlanningNavigation::PlanningNavigation(const QDate &today) : m_selected(today), m_month(today) {}

QDate PlanningNavigation::monday() const
{
    return PlanningDates::mondayOf(m_selected);
}

bool PlanningNavigation::selectDate(const QDate &date)
{
    if (!date.isValid())
        return false;
    m_selected = date;
    if (PlanningDates::sameMonth(date, m_month))
        return false;
    m_month = date;
    return true;
}

bool PlanningNavigation::nextWeek()
{
    return moveWeek(7);
}

bool PlanningNavigation::previousWeek()
{
    return moveWeek(-7);
}

bool PlanningNavigation::moveWeek(int days)
{
    const QDate from = m_selected;
    m_selected = m_selected.addDays(days);
    if (PlanningDates::sameMonth(from, m_selected))
        return false;
    m_month = m_selected;
    return true;
}

void PlanningNavigation::nextMonth()
{
    m_month = PlanningDates::addMonths(m_month, 1);
}

void PlanningNavigation::previousMonth()
{
    m_month = PlanningDates::addMonths(m_month, -1);
}
