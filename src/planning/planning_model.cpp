#include "planning/planning_model.h"

PlanningModel::PlanningModel(QObject *parent) : QAbstractTableModel(parent), m_rooms(MaxRooms)
{
    for (int r = 1; r <= MaxRooms; ++r)
        m_rooms[r - 1].name = QString::number(r);
}

void PlanningModel::setDays(const QList<QDate> &days, const QStringList &dayNames)
{
    beginResetModel();
    m_days = days;
    m_dayNames = dayNames;
    for (Room &room : m_rooms)
        room.cells = QList<Cell>(days.size());
    endResetModel();
}

void PlanningModel::setRoomName(int room, const QString &name)
{
    if (!validRoom(room) || m_rooms[room - 1].name == name)
        return;
    m_rooms[room - 1].name = name;
    const int column = columnOfRoom(room);
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QString PlanningModel::roomName(int room) const
{
    return validRoom(room) ? m_rooms[room - 1].name : QString();
}

void PlanningModel::setRoomColors(int room, const QColor &border, const QColor &background)
{
    if (!validRoom(room))
        return;
    Room &r = m_rooms[room - 1];
    if (r.border == border && r.background == background)
        return;
    r.border = border;
    r.background = background;
    emitRoomChanged(room);
}

QColor PlanningModel::roomBorderColor(int room) const
{
    return validRoom(room) ? m_rooms[room - 1].border : QColor();
}

QColor PlanningModel::roomBackgroundColor(int room) const
{
    return validRoom(room) ? m_rooms[room - 1].background : QColor();
}

void PlanningModel::setCell(int room, int day, const QString &text, const QColor &color, const QVariant &data)
{
    if (!validRoom(room) || day < 0 || day >= dayCount())
        return;
    m_rooms[room - 1].cells[day] = Cell{text, color, data};
    const QModelIndex i = index(day, columnOfRoom(room));
    emit dataChanged(i, i);
}

void PlanningModel::setRoomCells(int room, const QList<Cell> &cells)
{
    if (!validRoom(room))
        return;
    QList<Cell> column = cells.mid(0, dayCount());
    column.resize(dayCount());
    m_rooms[room - 1].cells = std::move(column);
    emitRoomChanged(room);
}

PlanningModel::Cell PlanningModel::cell(int room, int day) const
{
    if (!validRoom(room) || day < 0 || day >= dayCount())
        return {};
    return m_rooms[room - 1].cells[day];
}

void PlanningModel::clearRoom(int room)
{
    if (!validRoom(room))
        return;
    m_rooms[room - 1].cells = QList<Cell>(m_days.size());
    emitRoomChanged(room);
}

void PlanningModel::clearCells()
{
    for (int r = 1; r <= MaxRooms; ++r)
        m_rooms[r - 1].cells = QList<Cell>(m_days.size());
    if (dayCount() > 0)
        emit dataChanged(index(0, FirstRoomColumn), index(dayCount() - 1, columnCount() - 1));
}

void PlanningModel::emitRoomChanged(int room)
{
    if (dayCount() == 0)
        return;
    const int column = columnOfRoom(room);
    emit dataChanged(index(0, column), index(dayCount() - 1, column));
}

int PlanningModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : dayCount();
}

int PlanningModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FirstRoomColumn + MaxRooms;
}

QVariant PlanningModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int day = index.row();
    const int room = roomOfColumn(index.column());
    if (role == DateRole)
        return m_days.at(day);
    if (role == RoomRole)
        return room;

    if (index.column() == DayNameColumn) {
        if (role == Qt::DisplayRole)
            return m_dayNames.value(day);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        return {};
    }
    if (index.column() == DayNumberColumn) {
        if (role == Qt::DisplayRole)
            return m_days.at(day).day();
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }

    const Room &r = m_rooms.at(room - 1);
    const Cell &c = r.cells.at(day);
    switch (role) {
    case Qt::DisplayRole:
        return c.text;
    case Qt::ForegroundRole:
        return c.color.isValid() ? QVariant(c.color) : QVariant();
    case Qt::BackgroundRole:
        return r.background;
    case Qt::TextAlignmentRole:
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case BorderColorRole:
        return r.border;
    case CellDataRole:
        return c.data;
    default:
        return {};
    }
}

QVariant PlanningModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < FirstRoomColumn || section >= columnCount())
        return QString();
    return m_rooms.at(roomOfColumn(section) - 1).name;
}

Qt::ItemFlags PlanningModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
