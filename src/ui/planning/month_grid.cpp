#include "ui/planning/month_grid.h"

#include "planning/planning_dates.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

MonthGrid::MonthGrid(QWidget *parent) : PlanningGrid(parent)
{
    setObjectName(QStringLiteral("monthGrid"));
    verticalHeader()->setMinimumSectionSize(14);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setSectionsClickable(false);
    setMonth(QDate::currentDate());
}

void MonthGrid::setMonth(const QDate &date)
{
    const QDate first(date.year(), date.month(), 1);
    QList<QDate> days;
    QStringList names;
    for (int d = 0; d < first.daysInMonth(); ++d) {
        days << first.addDays(d);
        names << PlanningDates::monthDayName(days.last());
    }
    setDays(days, names);
}

void MonthGrid::highlightDay(int day)
{
    if (day < 0 || day >= dayCount())
        return;
    m_highlighted = day;
    selectCells(0, day, day, true);
    emit dayHighlighted(day);
}

void MonthGrid::mousePressEvent(QMouseEvent *event)
{
    // The room columns only display; the day name and number columns pick a day.
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && roomAt(pos) == 0 && columnAt(pos.x()) >= 0 && dayAt(pos) >= 0) {
        setFocus(Qt::MouseFocusReason);
        highlightDay(dayAt(pos));
    }
    event->accept();
}

void MonthGrid::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void MonthGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        highlightDay(m_highlighted - 1);
    else if (event->key() == Qt::Key_Down)
        highlightDay(m_highlighted + 1);
    else
        PlanningGrid::keyPressEvent(event);
}
