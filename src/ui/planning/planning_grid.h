#pragma once

#include "planning/cell_style.h"
#include "planning/planning_model.h"

#include <QTableView>

// The table shared by the weekly and the monthly planning: day name and day
// number on the left, then one column per room, laid out to fill the width.
// Rooms beyond the hotel's count stay in the model but are hidden.
class PlanningGrid : public QTableView
{
    Q_OBJECT

public:
    explicit PlanningGrid(QWidget *parent = nullptr);

    PlanningModel *planningModel() const { return m_model; }

    // Shows rooms 1..count (at most PlanningModel::MaxRooms) and hides the others.
    void setRoomCount(int count);
    int roomCount() const { return m_roomCount; }
    void setRoomName(int room, const QString &name) { m_model->setRoomName(room, name); }
    QString roomName(int room) const { return m_model->roomName(room); }
    void setRoomColors(int room, const QColor &border, const QColor &background)
    {
        m_model->setRoomColors(room, border, background);
    }

    int dayCount() const { return m_model->dayCount(); }
    QDate dayDate(int day) const { return m_model->dayDate(day); }

    // The filler's interface: one cell per room and day index (row).
    void setCell(int room, int day, const QString &text, const QColor &color = {}, const QVariant &data = {})
    {
        m_model->setCell(room, day, text, color, data);
    }
    QString cellText(int room, int day) const { return m_model->cellText(room, day); }
    PlanningModel::Cell cell(int room, int day) const { return m_model->cell(room, day); }
    // Refills a room's column with planning texts (entry i for day i), each
    // drawn by the state-colour rule; the text as given stays in CellDataRole.
    // Drops the column's selection.
    void showRoomTexts(int room, const QStringList &texts, const StateColors &colors);
    // Empties a room's column and drops its selection.
    void clearRoom(int room);
    void clearCells() { m_model->clearCells(); }

    // Texts of the visible room headers, in order (what the user reads).
    QStringList visibleRoomNames() const;

    // The room and the day under a point of the viewport; 0 and -1 outside.
    int roomAt(const QPoint &pos) const;
    int dayAt(const QPoint &pos) const;

signals:
    // A right click in a room column (day -1 below the last row).
    void roomContextMenuRequested(int room, int day, const QPoint &globalPos);

protected:
    void setDays(const QList<QDate> &days, const QStringList &dayNames);
    void contextMenuEvent(QContextMenuEvent *event) override;
    void selectCells(int room, int firstDay, int lastDay, bool wholeRow = false);

private:
    void layOutDayColumns();
    void deselectRoom(int room);

    PlanningModel *m_model;
    int m_roomCount = PlanningModel::MaxRooms;
};
