#pragma once

#include <QString>
#include <QStringList>
#include <QList>

// Rows x columns of text that a domain class fills and a window shows.
// Row 0 holds the titles; hidden columns are ordinary columns.
class TextGrid
{
public:
    TextGrid() = default;
    TextGrid(int rows, int columns) { resize(rows, columns); }

    int rowCount() const { return int(m_rows.size()); }
    int columnCount() const { return m_columns; }

    // Grows or shrinks the grid; new cells are empty, kept cells keep their text.
    void resize(int rows, int columns);
    void setRowCount(int rows) { resize(rows, m_columns); }
    void setColumnCount(int columns) { resize(rowCount(), columns); }

    // Out-of-range reads give the empty text; out-of-range writes grow the grid.
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);

    QStringList row(int row) const;
    void setRow(int row, const QStringList &texts);
    int appendRow(const QStringList &texts = {});
    void removeRow(int row);
    void clearRow(int row);
    // Keeps the title row and leaves one empty row below it.
    void clearData();
    void clear() { m_rows.clear(); m_columns = 0; }

    // True when every cell of the row is empty (the trailing entry row of a grid).
    bool isRowEmpty(int row) const;

    bool operator==(const TextGrid &other) const = default;

private:
    QList<QStringList> m_rows;
    int m_columns = 0;
};
