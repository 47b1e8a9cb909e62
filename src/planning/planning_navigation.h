#pragma once

#include <QDate>

// What the planning tabs show: the selected date of the weekly tab, whose
// Monday-to-Sunday week is displayed, and a date inside the month of the monthly
// tab. The two move together only where the user expects it: a week step or a
// calendar click that leaves the month also moves the monthly tab.
class PlanningNavigation
{
public:
    explicit PlanningNavigation(const QDate &today = QDate::currentDate());

    QDate selectedDate() const { return m_selected; }
    QDate monday() const; // of the displayed week
    QDate displayedMonth() const { return m_month; }

    // The calls below return true when the displayed month changed with them:
    // the caller then rewrites the monthly day labels and refills the monthly tab.

    // A day clicked in the calendar; the monthly tab follows when the month or the
    // year differs from the displayed month.
    bool selectDate(const QDate &date);
    // Seven days forward or back; the monthly tab follows when the new date lies in
    // another month than the date it came from.
    bool nextWeek();
    bool previousWeek();

    // The monthly tab's own buttons: one calendar month, same day clamped.
    void nextMonth();
    void previousMonth();
    // First display of the monthly tab: it shows the month of the selected date.
    void showSelectedMonth() { m_month = m_selected; }

private:
    bool moveWeek(int days);

    QDate m_selected;
    QDate m_month;
};
