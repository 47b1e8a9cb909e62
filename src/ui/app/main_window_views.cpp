// The main window's navigation between weeks and months and the refill of its
// plannings and statistics, at once or through the delayed refreshers.
#include "ui/app/main_window.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "planning/planning_dates.h"
#include "planning/planning_refreshers.h"
#include "planning/room_description.h"
#include "planning/view_freshness.h"
#include "ui/planning/month_grid.h"
#include "ui/planning/month_tab.h"
#include "ui/planning/month_view.h"
#include "ui/planning/week_grid.h"
#include "ui/planning/week_tab.h"
#include "ui/planning/week_view.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>

void TForm1::InfosJour()
{
    const QDate monday = weekMonday();
    // A delayed weekly refill still waiting would only repeat this one.
    m_refreshers->week()->cancel();
    weekGrid()->setWeek(monday);
    m_weekTab->title()->setText(PlanningDates::weekTitle(monday));
    if (calendar()->selectedDate() != selectedDate())
        calendar()->setSelectedDate(selectedDate());

    m_progress->setRange(0, 7 * m_roomCount);
    m_progress->setValue(0);
    try {
        WeekView::fillAll(*weekGrid(), m_roomCount, look(), m_progress);
    } catch (const KestrovaError &e) {
        m_progress->setValue(0);
        Dialogs::error(e.text());
        return;
    }
    ViewFreshness::setWeeklyUpToDate(true);

    // The monthly title names the month its grid shows, which week
    // navigation within one month does not change.
    const QDate shownMonth = monthGrid()->month();
    m_monthTab->title()->setText(PlanningDates::monthTitle(shownMonth));
    m_progress->setValue(0);
}

void TForm1::remplissage_listbox_jour(int room)
{
    try {
        WeekView::fillRoom(*weekGrid(), room, look());
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
    }
}

void TForm1::AffichageJoursDuMois(const QDate &date)
{
    monthGrid()->setMonth(date);
    m_monthTab->title()->setText(PlanningDates::monthTitle(date));
}

void TForm1::AffichageMois(const QDate &date)
{
    AffichageJoursDuMois(date);
    requestMonthRefresh(date, true);
}

void TForm1::requestMonthRefresh(const QDate &month, bool withProgress)
{
    m_refreshers->month()->request([this, month, withProgress] { fillMonth(month, withProgress); });
    emit monthRefreshRequested(month);
}

void TForm1::fillMonth(const QDate &month, bool withProgress)
{
    QProgressBar *bar = withProgress ? m_progress : nullptr;
    try {
        MonthView::fillAll(*monthGrid(), month, m_roomCount, look(), bar);
    } catch (...) {
        if (bar)
            bar->setValue(0);
        throw; // the refresher abandons the run without a word
    }
    ViewFreshness::setMonthlyUpToDate(true);
}

void TForm1::fillWeek(const QDate &monday)
{
    if (weekGrid()->monday() != monday)
        weekGrid()->setWeek(monday);
    // Drawn as InfosJour draws it, state colours included, so that the week
    // looks the same whichever way it was refilled.
    WeekView::fillAll(*weekGrid(), m_roomCount, look());
    ViewFreshness::setWeeklyUpToDate(true);
}

void TForm1::MiseAjourDesStatistiques(int room)
{
    m_refreshers->requestStatistics(room);
    emit statisticsRefreshRequested(room);
}

void TForm1::monthChanged()
{
    AffichageJoursDuMois(displayedMonth());
    requestMonthRefresh(displayedMonth());
}

void TForm1::MonthCalendar1Click(const QDate &date)
{
    const bool monthMoved = m_navigation.selectDate(date);
    InfosJour();
    if (monthMoved)
        monthChanged();
}

void TForm1::SuivantClick()
{
    const bool monthMoved = m_navigation.nextWeek();
    InfosJour();
    if (monthMoved)
        monthChanged();
}

void TForm1::PrecedentClick()
{
    const bool monthMoved = m_navigation.previousWeek();
    InfosJour();
    if (monthMoved)
        monthChanged();
}

void TForm1::Button1Click()
{
    m_navigation.previousMonth();
    AffichageMois(displayedMonth());
}

void TForm1::Button2Click()
{
    m_navigation.nextMonth();
    AffichageMois(displayedMonth());
}

void TForm1::PageControl2Change(int index)
{
    if (index == MonthlyTab && !ViewFreshness::monthlyUpToDate()) {
        m_navigation.showSelectedMonth();
        AffichageMois(displayedMonth());
        ViewFreshness::setMonthlyUpToDate(true);
    } else if (index == WeeklyTab && !ViewFreshness::weeklyUpToDate()) {
        // Data changed while another tab was shown: the week on screen is out of date.
        InfosJour();
    }
}

void TForm1::Aujourdhui()
{
    m_navigation.selectDate(QDate::currentDate());
    InfosJour();
    // The monthly tab may have been moved with its own buttons: it comes back too.
    m_navigation.showSelectedMonth();
    monthChanged();
}

void TForm1::SelectSemaine(int room)
{
    weekGrid()->selectWeek(room);
    AfficheDescription(room);
}

void TForm1::AfficheDescription(int room)
{
    m_roomDescription = RoomDescription::text(room);
    emit roomDescriptionChanged(m_roomDescription);
}

void TForm1::rafraichirVues()
{
    const bool weeklyStale = !ViewFreshness::weeklyUpToDate();
    const bool monthlyStale = !ViewFreshness::monthlyUpToDate();
    if (m_tabs->currentIndex() == WeeklyTab) {
        if (weeklyStale)
            InfosJour();
        if (monthlyStale) {
            // The monthly tab then shows the selected date's month; its buttons
            // must move from that month, not from the one shown before.
            m_navigation.showSelectedMonth();
            monthChanged();
        }
    } else if (m_tabs->currentIndex() == MonthlyTab) {
        if (weeklyStale) {
            const QDate monday = weekMonday();
            m_refreshers->week()->request([this, monday] { fillWeek(monday); });
            emit weekRefreshRequested(monday);
        }
        if (monthlyStale)
            AffichageMois(displayedMonth());
    }
    if (weeklyStale || monthlyStale)
        MiseAjourDesStatistiques(0);
    reloadClientList();
}
