#pragma once

#include <QWidget>

class MonthGrid;
class QLabel;
class QPushButton;
class StateLegend;

// The page of the monthly tab: the month's title between the two month buttons,
// and the grid of the whole month below.
class MonthTab : public QWidget
{
    Q_OBJECT

public:
    explicit MonthTab(QWidget *parent = nullptr);

    MonthGrid *grid() const { return m_grid; }
    QLabel *title() const { return m_title; }
    QPushButton *previousButton() const { return m_previous; }
    QPushButton *nextButton() const { return m_next; }
    // "Aujourd'hui": back to the month (and week) of today.
    QPushButton *todayButton() const { return m_today; }
    StateLegend *legend() const { return m_legend; }

private:
    MonthGrid *m_grid;
    QLabel *m_title;
    QPushButton *m_previous;
    QPushButton *m_next;
    QPushButton *m_today;
    StateLegend *m_legend;
};
