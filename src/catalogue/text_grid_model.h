#pragma once

#include "common/text_grid.h"

#include <QAbstractTableModel>

// Shows a TextGrid in a table view: grid row 0 gives the column titles, grid
// row r + 1 is view row r. Read-only unless a subclass says otherwise.
class TextGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TextGridModel(QObject *parent = nullptr);

    const TextGrid &grid() const { return m_grid; }
    // Replaces the whole grid (titles included).
    void setGrid(const TextGrid &grid);
    // Cell of the grid (row 0 = titles), shown at once.
    QString cell(int gridRow, int column) const { return m_grid.cell(gridRow, column); }
    void setCell(int gridRow, int column, const QString &text);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    // For subclasses that change many cells and signal once.
    TextGrid &mutableGrid() { return m_grid; }
    void cellsChanged(int firstGridRow, int lastGridRow, int firstColumn, int lastColumn);

private:
    TextGrid m_grid;
};
