#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QDate>
#include <QList>
#include <QStringList>
#include <QVariant>

// The content of a planning grid, weekly or monthly: one row per day, two
// leading columns with the day's name and its day of the month, then one column
// per room. Every room the window can show (1..MaxRooms) has its column; the
// view hides the rooms beyond the hotel's count, so their cells survive a change
// of that count. Cells hold the text and colour chosen by whoever fills them.
class PlanningModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { DayNameColumn = 0, DayNumberColumn = 1, FirstRoomColumn = 2 };
    enum Role {
        BorderColorRole = Qt::UserRole + 1, // QColor: the room's border colour
        CellDataRole,                       // QVariant stored with the cell by its filler
        RoomRole,                           // int: room number, 0 in the day columns
        DateRole                            // QDate of the row
    };
    static constexpr int MaxRooms = 25;

    struct Cell
    {
        QString text;
        QColor color; // invalid: the grid's ordinary text colour
        QVariant data;
    };

    explicit PlanningModel(QObject *parent = nullptr);

    // One row per date, labelled with the given day names. Empties every cell.
    void setDays(const QList<QDate> &days, const QStringList &dayNames);
    int dayCount() const { return int(m_days.size()); }
    QDate dayDate(int day) const { return m_days.value(day); }

    void setRoomName(int room, const QString &name);
    QString roomName(int room) const;
    void setRoomColors(int room, const QColor &border, const QColor &background);
    QColor roomBorderColor(int room) const;
    QColor roomBackgroundColor(int room) const;

    // Cells are addressed by room (1..MaxRooms) and day index (row); calls outside
    // the grid are ignored.
    void setCell(int room, int day, const QString &text, const QColor &color = {}, const QVariant &data = {});
    // Replaces a room's whole column at once (one change signal for the column);
    // missing days are emptied, extra entries ignored.
    void setRoomCells(int room, const QList<Cell> &cells);
    Cell cell(int room, int day) const;
    QString cellText(int room, int day) const { return cell(room, day).text; }
    void clearRoom(int room);
    void clearCells();

    static int columnOfRoom(int room) { return FirstRoomColumn + room - 1; }
    // The room of a column, 0 for the day columns.
    static int roomOfColumn(int column)
    {
        return column >= FirstRoomColumn ? column - FirstRoomColumn + 1 : 0;
    }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Room
    {
        QString name;
        QColor border = Qt::white;
        QColor background = Qt::white;
        QList<Cell> cells;
    };

    bool validRoom(int room) const { return room >= 1 && room <= MaxRooms; }
    void emitRoomChanged(int room);

    QList<QDate> m_days;
    QStringList m_dayNames;
    QList<Room> m_rooms;
};
