#pragma once

#include <QWidget>

class QCalendarWidget;
class QLabel;
class QPushButton;
class StateLegend;
class WeekGrid;

// The page of the weekly tab: the week's title and grid on top; below, the
// calendar with the week buttons and, beside them, the reservation entry panel.
class WeekTab : public QWidget
{
    Q_OBJECT

public:
    explicit WeekTab(QWidget *parent = nullptr);

    WeekGrid *grid() const { return m_grid; }
    QCalendarWidget *calendar() const { return m_calendar; }
    QLabel *title() const { return m_title; }
    QPushButton *previousButton() const { return m_previous; }
    QPushButton *nextButton() const { return m_next; }
    // "Aujourd'hui": back to the week (and month) of today.
    QPushButton *todayButton() const { return m_today; }
    StateLegend *legend() const { return m_legend; }
    // An empty container with a vertical layout, where the entry panel goes.
    QWidget *entryPanelArea() const { return m_entryPanelArea; }

private:
    WeekGrid *m_grid;
    QCalendarWidget *m_calendar;
    QLabel *m_title;
    QPushButton *m_previous;
    QPushButton *m_next;
    QPushButton *m_today;
    StateLegend *m_legend;
    QWidget *m_entryPanelArea;
};
