#include "ui/planning/week_grid.h"

#include "common/format.h"
#include "planning/planning_dates.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
constexpr int kDays = 7;
constexpr int kRowHeight = 26;
} // namespace

WeekGrid::WeekGrid(QWidget *parent) : PlanningGrid(parent)
{
    setObjectName(QStringLiteral("weekGrid"));
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &WeekGrid::onSelectionChanged);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &WeekGrid::onHeaderClicked);
    setWeek(PlanningDates::mondayOf(QDate::currentDate()));
}

void WeekGrid::setWeek(const QDate &monday)
{
    QList<QDate> days;
    QStringList names;
    for (int d = 0; d < kDays; ++d) {
        days << monday.addDays(d);
        names << Format::dayName(d + 1);
    }
    m_anchorRoom = 0;
    m_anchorDay = -1;
    setDays(days, names);
    onSelectionChanged();
}

int WeekGrid::selectedRoom() const
{
    int room = 0;
    for (const QModelIndex &i : selectionModel()->selectedIndexes())
        room = qMax(room, PlanningModel::roomOfColumn(i.column()));
    return room;
}

QList<int> WeekGrid::selectedDays() const
{
    const int room = selectedRoom();
    QList<int> days;
    if (room == 0)
        return days;
    const int column = PlanningModel::columnOfRoom(room);
    for (int d = 0; d < dayCount(); ++d)
        if (selectionModel()->isSelected(model()->index(d, column)))
            days << d;
    return days;
}

void WeekGrid::selectDays(int room, int firstDay, int lastDay)
{
    if (room < 1 || room > roomCount() || dayCount() == 0)
        return;
    m_anchorRoom = room;
    m_anchorDay = qBound(0, firstDay, dayCount() - 1);
    selectCells(room, firstDay, lastDay);
    selectionModel()->setCurrentIndex(
        model()->index(qBound(0, lastDay, dayCount() - 1), PlanningModel::columnOfRoom(room)),
        QItemSelectionModel::NoUpdate);
}

void WeekGrid::selectWeek(int room)
{
    selectDays(room, 0, dayCount() - 1);
}

void WeekGrid::clearDaySelection()
{
    selectionModel()->clearSelection();
    m_anchorRoom = 0;
    m_anchorDay = -1;
}

void WeekGrid::pickDay(int room, int day)
{
    if (room < 1 || room > roomCount() || day < 0 || day >= dayCount())
        return;
    if (selectedRoom() == room && selectedDays().contains(day))
        return;
    // As a click: the selection settles first, then the click reports it once.
    m_dragging = true;
    selectDays(room, day, day);
    m_dragging = false;
    emit cellClicked(room, day);
}

void WeekGrid::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() != QContextMenuEvent::Keyboard)
        pickDay(roomAt(event->pos()), dayAt(event->pos()));
    PlanningGrid::contextMenuEvent(event);
}

QSize WeekGrid::sizeHint() const
{
    const int height = horizontalHeader()->sizeHint().height() + kDays * kRowHeight + 2 * frameWidth();
    return {PlanningGrid::sizeHint().width(), height};
}

QSize WeekGrid::minimumSizeHint() const
{
    return {200, sizeHint().height()};
}

void WeekGrid::mousePressEvent(QMouseEvent *event)
{
    PlanningGrid::mousePressEvent(event);
    const int room = roomAt(event->position().toPoint());
    const int day = dayAt(event->position().toPoint());
    if (room >= 1 && room <= roomCount())
        emit roomPressed(room);
    if (event->button() != Qt::LeftButton || room == 0 || day < 0)
        return;
    const bool extend = (event->modifiers() & Qt::ShiftModifier) && room == m_anchorRoom && m_anchorDay >= 0;
    if (!extend) {
        m_anchorRoom = room;
        m_anchorDay = day;
    }
    m_dragging = true;
    selectCells(room, m_anchorDay, day);
}

void WeekGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        PlanningGrid::mouseMoveEvent(event);
        return;
    }
    // A drag stays in the column where it started, whatever the pointer's column.
    const int y = event->position().toPoint().y();
    int day = rowAt(y);
    if (day < 0)
        day = y < 0 ? 0 : dayCount() - 1;
    selectCells(m_anchorRoom, m_anchorDay, day);
}

void WeekGrid::mouseReleaseEvent(QMouseEvent *event)
{
    PlanningGrid::mouseReleaseEvent(event);
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    const QList<int> days = selectedDays();
    if (!days.isEmpty())
        emit cellClicked(m_anchorRoom, days.first());
}

void WeekGrid::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex current = currentIndex();
    int room = PlanningModel::roomOfColumn(current.column());
    int day = current.row();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    bool moves = false;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        moves = true;
        break;
    default:
        break;
    }
    if (!current.isValid() || room == 0) {
        // The first move of the keyboard lands on the first room, not on the day names.
        if (moves && roomCount() > 0 && dayCount() > 0)
            moveTo(1, current.isValid() ? current.row() : 0, false);
        else
            PlanningGrid::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Home:
    case Qt::Key_PageUp:
        moveTo(room, 0, shift);
        break;
    case Qt::Key_End:
    case Qt::Key_PageDown:
        moveTo(room, dayCount() - 1, shift);
        break;
    case Qt::Key_Up:
        moveTo(room, qMax(0, day - 1), shift);
        break;
    case Qt::Key_Down:
        moveTo(room, qMin(dayCount() - 1, day + 1), shift);
        break;
    case Qt::Key_Left:
        moveTo(qMax(1, room - 1), day, false);
        break;
    case Qt::Key_Right:
        moveTo(qMin(roomCount(), room + 1), day, false);
        break;
    default:
        PlanningGrid::keyPressEvent(event);
    }
}

void WeekGrid::moveTo(int room, int day, bool extend)
{
    if (!(extend && room == m_anchorRoom && m_anchorDay >= 0)) {
        m_anchorRoom = room;
        m_anchorDay = day;
    }
    selectCells(room, m_anchorDay, day);
    selectionModel()->setCurrentIndex(model()->index(day, PlanningModel::columnOfRoom(room)),
                                      QItemSelectionModel::NoUpdate);
    const QList<int> days = selectedDays();
    if (!days.isEmpty())
        emit cellClicked(room, days.first());
}

void WeekGrid::onHeaderClicked(int section)
{
    const int room = PlanningModel::roomOfColumn(section);
    if (room < 1 || room > roomCount())
        return;
    selectWeek(room);
    emit roomHeaderClicked(room);
}

void WeekGrid::onSelectionChanged()
{
    const int room = selectedRoom();
    const QList<int> days = selectedDays();
    const QDate first = days.isEmpty() ? QDate() : dayDate(days.first());
    const QDate last = days.isEmpty() ? QDate() : dayDate(days.last());
    if (room == m_reportedRoom && first == m_reportedFirst && last == m_reportedLast)
        return;
    m_reportedRoom = room;
    m_reportedFirst = first;
    m_reportedLast = last;
    emit daySelectionChanged(room, first, last);
}
