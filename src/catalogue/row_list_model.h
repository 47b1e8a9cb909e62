#pragma once

#include "common/text_grid.h"

#include <QAbstractTableModel>
#include <QStringList>

// Base of the long lists (invoices, quotes, clients): the rows stay typed in
// the subclass and a cell's text is made only when the view asks for it, so
// that showing thousands of rows costs what is on screen. It reads like a
// TextGrid: grid row 0 holds the titles, grid row r + 1 is view row r, and a
// list without rows shows one empty row.
class RowListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RowListModel(const QStringList &titles, QObject *parent = nullptr);

    // Cell of the grid (row 0 = titles); empty out of range.
    QString cell(int gridRow, int column) const;
    // The whole list as text (titles, then every row; one empty row when none),
    // as the spreadsheet export writes it.
    TextGrid grid() const;
    // Number of listed rows (0 while the list shows only its empty row).
    virtual int listedRows() const = 0;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    // Text of a listed row (0-based) and column.
    virtual QString text(int row, int column) const = 0;
    virtual Qt::Alignment alignment(int column) const;
    // Says that every column of one listed row changed.
    void rowChanged(int row);

private:
    QStringList m_titles;
};
