#pragma once

#include "ui/planning/planning_grid.h"

// The monthly planning: one row per day of the month, one column per room. It
// only displays; a click on a day's name or number highlights that day across
// every room.
class MonthGrid : public PlanningGrid
{
    Q_OBJECT

public:
    explicit MonthGrid(QWidget *parent = nullptr);

    // Shows every day of the month of the date; every cell is emptied.
    void setMonth(const QDate &date);
    QDate month() const { return dayDate(0); }

    // Highlights a day (index from 0) in every room.
    void highlightDay(int day);
    int highlightedDay() const { return m_highlighted; }

signals:
    void dayHighlighted(int day);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_highlighted = 0;
};
