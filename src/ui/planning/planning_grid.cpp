#include "ui/planning/planning_grid.h"

#include "common/format.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// A light tint of the highlight colour: the state colours of the cells stay
// readable on a selected day.
QColor selectionColor(const QPalette &pal)
{
    const QColor h = pal.color(QPalette::Highlight);
    const QColor b = pal.color(QPalette::Base);
    const auto mix = [](int x, int y) { return (x * 2 + y * 3) / 5; };
    return QColor(mix(h.red(), b.red()), mix(h.green(), b.green()), mix(h.blue(), b.blue()));
}

// Draws a cell as the planning wants it: the room's background, its border
// along the column's edges, and the filler's text colour even when selected.
class PlanningCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const bool roomColumn = index.column() >= PlanningModel::FirstRoomColumn;
        const QPalette &pal = option.palette;
        QRect r = option.rect;

        painter->save();
        QColor background;
        if (selected)
            background = selectionColor(pal);
        else if (roomColumn)
            background = index.data(Qt::BackgroundRole).value<QColor>();
        else if (index.data(PlanningModel::DateRole).toDate().dayOfWeek() >= Qt::Saturday)
            background = pal.color(QPalette::AlternateBase).darker(106);
        else
            background = pal.color(QPalette::AlternateBase);
        if (!background.isValid())
            background = pal.color(QPalette::Base);
        painter->fillRect(r, background);

        if (roomColumn) {
            const QColor border = index.data(PlanningModel::BorderColorRole).value<QColor>();
            if (border.isValid() && !selected) {
                painter->setPen(border);
                painter->drawLine(r.topLeft(), r.bottomLeft());
                painter->drawLine(r.topRight(), r.bottomRight());
                if (index.row() == 0)
                    painter->drawLine(r.topLeft(), r.topRight());
                if (index.row() == index.model()->rowCount() - 1)
                    painter->drawLine(r.bottomLeft(), r.bottomRight());
            }
        }

        // The cell the keyboard is on, so that arrows can be followed.
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(pal.color(QPalette::Highlight).darker(130), 2));
            painter->drawRect(r.adjusted(1, 1, -1, -1));
        }

        const QString text = index.data(Qt::DisplayRole).toString();
        if (!text.isEmpty()) {
            QColor color = index.data(Qt::ForegroundRole).value<QColor>();
            if (!color.isValid())
                color = pal.color(QPalette::Text);
            painter->setPen(color);
            painter->setFont(option.font);
            const int alignment = index.data(Qt::TextAlignmentRole).toInt();
            const QRect textRect = r.adjusted(4, 0, -4, 0);
            painter->drawText(textRect, alignment,
                              option.fontMetrics.elidedText(text, Qt::ElideRight, textRect.width()));
        }
        painter->restore();
    }
};

} // namespace

PlanningGrid::PlanningGrid(QWidget *parent) : QTableView(parent), m_model(new PlanningModel(this))
{
    setModel(m_model);
    setItemDelegate(new PlanningCellDelegate(this));
    // Selection is decided by the grids themselves (one room, consecutive days).
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();

    QHeaderView *header = horizontalHeader();
    QFont headerFont = header->font();
    headerFont.setPointSize(8);
    header->setFont(headerFont);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setTextElideMode(Qt::ElideRight);
    header->setMinimumSectionSize(20);
    header->setSectionResizeMode(QHeaderView::Stretch);
    layOutDayColumns();
    setRoomCount(PlanningModel::MaxRooms);
}

void PlanningGrid::layOutDayColumns()
{
    QHeaderView *header = horizontalHeader();
    const QFontMetrics fm(font());
    header->setSectionResizeMode(PlanningModel::DayNameColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(PlanningModel::DayNumberColumn, QHeaderView::Fixed);
    int nameWidth = 0;
    for (int d = 1; d <= 7; ++d)
        nameWidth = qMax(nameWidth, fm.horizontalAdvance(Format::dayName(d)));
    header->resizeSection(PlanningModel::DayNameColumn, nameWidth + 18);
    header->resizeSection(PlanningModel::DayNumberColumn, fm.horizontalAdvance(QStringLiteral("31")) + 14);
}

void PlanningGrid::setRoomCount(int count)
{
    m_roomCount = qBound(1, count, int(PlanningModel::MaxRooms));
    for (int room = 1; room <= PlanningModel::MaxRooms; ++room) {
        const int column = PlanningModel::columnOfRoom(room);
        const bool hidden = room > m_roomCount;
        if (hidden) {
            const QModelIndex top = m_model->index(0, column);
            if (top.isValid() && selectionModel())
                selectionModel()->select(QItemSelection(top, m_model->index(dayCount() - 1, column)),
                                         QItemSelectionModel::Deselect);
        }
        setColumnHidden(column, hidden);
    }
}

void PlanningGrid::showRoomTexts(int room, const QStringList &texts, const StateColors &colors)
{
    if (room < 1 || room > PlanningModel::MaxRooms)
        return;
    QList<PlanningModel::Cell> cells(dayCount());
    for (int d = 0; d < dayCount() && d < texts.size(); ++d) {
        const QString &text = texts.at(d);
        if (text.isEmpty())
            continue;
        const CellStyle style = CellStyles::style(text, colors);
        cells[d] = PlanningModel::Cell{style.text, style.color, text};
    }
    m_model->setRoomCells(room, cells);
    deselectRoom(room);
}

void PlanningGrid::clearRoom(int room)
{
    if (room < 1 || room > PlanningModel::MaxRooms)
        return;
    m_model->clearRoom(room);
    deselectRoom(room);
}

void PlanningGrid::deselectRoom(int room)
{
    if (dayCount() > 0) {
        const int column = PlanningModel::columnOfRoom(room);
        selectionModel()->select(
            QItemSelection(m_model->index(0, column), m_model->index(dayCount() - 1, column)),
            QItemSelectionModel::Deselect);
    }
}

QStringList PlanningGrid::visibleRoomNames() const
{
    QStringList names;
    for (int room = 1; room <= PlanningModel::MaxRooms; ++room)
        if (!isColumnHidden(PlanningModel::columnOfRoom(room)))
            names << m_model->roomName(room);
    return names;
}

int PlanningGrid::roomAt(const QPoint &pos) const
{
    const int column = columnAt(pos.x());
    return column < 0 ? 0 : PlanningModel::roomOfColumn(column);
}

int PlanningGrid::dayAt(const QPoint &pos) const
{
    return rowAt(pos.y());
}

void PlanningGrid::setDays(const QList<QDate> &days, const QStringList &dayNames)
{
    m_model->setDays(days, dayNames);
}

void PlanningGrid::contextMenuEvent(QContextMenuEvent *event)
{
    const int room = roomAt(event->pos());
    if (room == 0) {
        QTableView::contextMenuEvent(event);
        return;
    }
    emit roomContextMenuRequested(room, dayAt(event->pos()), event->globalPos());
    event->accept();
}

void PlanningGrid::selectCells(int room, int firstDay, int lastDay, bool wholeRow)
{
    if (dayCount() == 0)
        return;
    const int top = qBound(0, qMin(firstDay, lastDay), dayCount() - 1);
    const int bottom = qBound(0, qMax(firstDay, lastDay), dayCount() - 1);
    QItemSelection selection;
    if (wholeRow) {
        selection.select(m_model->index(top, 0), m_model->index(bottom, m_model->columnCount() - 1));
    } else {
        const int column = PlanningModel::columnOfRoom(room);
        selection.select(m_model->index(top, column), m_model->index(bottom, column));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}
