#include "catalogue/row_list_model.h"

RowListModel::RowListModel(const QStringList &titles, QObject *parent)
    : QAbstractTableModel(parent), m_titles(titles)
{
}

QString RowListModel::cell(int gridRow, int column) const
{
    if (column < 0 || column >= m_titles.size())
        return {};
    if (gridRow == 0)
        return m_titles.at(column);
    if (gridRow < 1 || gridRow > listedRows())
        return {};
    return text(gridRow - 1, column);
}

TextGrid RowListModel::grid() const
{
    const int rows = listedRows();
    const int columns = int(m_titles.size());
    TextGrid out(1 + qMax(1, rows), columns);
    out.setRow(0, m_titles);
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        cells.reserve(columns);
        for (int c = 0; c < columns; ++c)
            cells << text(r, c);
        out.setRow(r + 1, cells);
    }
    return out;
}

int RowListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : qMax(1, listedRows());
}

int RowListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant RowListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return index.row() < listedRows() ? text(index.row(), index.column()) : QString();
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment a = alignment(index.column());
        return a ? QVariant(a) : QVariant();
    }
    return {};
}

QVariant RowListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= m_titles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_titles.at(section);
}

Qt::Alignment RowListModel::alignment(int) const
{
    return {};
}

void RowListModel::rowChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}
