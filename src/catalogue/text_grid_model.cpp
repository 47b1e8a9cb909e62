#include "catalogue/text_grid_model.h"

TextGridModel::TextGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void TextGridModel::setGrid(const TextGrid &grid)
{
    beginResetModel();
    m_grid = grid;
    endResetModel();
}

void TextGridModel::setCell(int gridRow, int column, const QString &text)
{
    if (gridRow < 1 || gridRow >= m_grid.rowCount() || column < 0 || column >= m_grid.columnCount()) {
        // Writing outside grows the grid: let the views know the shape changed.
        beginResetModel();
        m_grid.setCell(gridRow, column, text);
        endResetModel();
        return;
    }
    if (m_grid.cell(gridRow, column) == text)
        return;
    m_grid.setCell(gridRow, column, text);
    cellsChanged(gridRow, gridRow, column, column);
}

void TextGridModel::cellsChanged(int firstGridRow, int lastGridRow, int firstColumn, int lastColumn)
{
    emit dataChanged(index(firstGridRow - 1, firstColumn), index(lastGridRow - 1, lastColumn),
                     {Qt::DisplayRole, Qt::EditRole});
}

int TextGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : qMax(0, m_grid.rowCount() - 1);
}

int TextGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid.columnCount();
}

QVariant TextGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_grid.cell(index.row() + 1, index.column());
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_grid.cell(0, section);
    return {};
}
