#pragma once

#include "ui/planning/planning_grid.h"

// The weekly planning: Monday to Sunday as rows, one column per room. The user
// selects consecutive days of one room (click, drag, shift-click, shift+arrows);
// a selection never spans two rooms. A click on a room's header selects its
// whole week.
class WeekGrid : public PlanningGrid
{
    Q_OBJECT

public:
    explicit WeekGrid(QWidget *parent = nullptr);

    // Shows the week starting on that Monday; every cell is emptied.
    void setWeek(const QDate &monday);
    QDate monday() const { return dayDate(0); }

    // The room with selected days, 0 when none.
    int selectedRoom() const;
    // Selected day indexes (0 = Monday) of that room, in increasing order.
    QList<int> selectedDays() const;
    // Selects days first..last of a room and drops every other selection.
    void selectDays(int room, int firstDay, int lastDay);
    // Selects the room's whole week, as a click on its header does.
    void selectWeek(int room);
    void clearDaySelection();
    // A day that is not selected becomes the selection and is reported as a
    // click reports it (cellClicked); a selected day keeps the selection.
    void pickDay(int room, int day);
    // True between a left press in a room column and its release (the click
    // reports the selection when it ends).
    bool isDragging() const { return m_dragging; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user clicked (or moved with the keyboard to) a day of a room; the
    // selection is already settled when this is sent.
    void cellClicked(int room, int day);
    // The user clicked a room's header; its week is selected.
    void roomHeaderClicked(int room);
    // Any mouse button went down in a room's column (before the selection moves).
    void roomPressed(int room);
    // Any change of the selection; room 0 and invalid dates when nothing is selected.
    void daySelectionChanged(int room, const QDate &first, const QDate &last);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // A right click first picks the day under the pointer.
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void onSelectionChanged();
    void onHeaderClicked(int section);
    void moveTo(int room, int day, bool extend);

    int m_anchorRoom = 0;
    int m_anchorDay = -1;
    bool m_dragging = false;
    int m_reportedRoom = 0;
    QDate m_reportedFirst;
    QDate m_reportedLast;
};
