#include "common/text_grid.h"

void TextGrid::resize(int rows, int columns)
{
    rows = qMax(0, rows);
    columns = qMax(0, columns);
    // Growing by a row at a time (lists filled row by row) must not walk every
    // kept row again: when the width stays, only the new rows need their cells.
    const int kept = columns == m_columns ? qMin(rows, rowCount()) : 0;
    m_rows.resize(rows);
    for (int i = kept; i < rows; ++i) {
        QStringList &r = m_rows[i];
        while (r.size() < columns)
            r.append(QString());
        while (r.size() > columns)
            r.removeLast();
    }
    m_columns = columns;
}

QString TextGrid::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return {};
    return m_rows.at(row).at(column);
}

void TextGrid::setCell(int row, int column, const QString &text)
{
    if (row < 0 || column < 0)
        return;
    if (row >= rowCount() || column >= m_columns)
        resize(qMax(row + 1, rowCount()), qMax(column + 1, m_columns));
    m_rows[row][column] = text;
}

QStringList TextGrid::row(int row) const
{
    if (row < 0 || row >= rowCount())
        return QStringList(m_columns, QString());
    return m_rows.at(row);
}

void TextGrid::setRow(int row, const QStringList &texts)
{
    for (int c = 0; c < texts.size(); ++c)
        setCell(row, c, texts.at(c));
    for (int c = int(texts.size()); c < m_columns; ++c)
        setCell(row, c, QString());
}

int TextGrid::appendRow(const QStringList &texts)
{
    const int r = rowCount();
    resize(r + 1, qMax(m_columns, int(texts.size())));
    setRow(r, texts);
    return r;
}

void TextGrid::removeRow(int row)
{
    if (row >= 0 && row < rowCount())
        m_rows.removeAt(row);
}

void TextGrid::clearRow(int row)
{
    if (row >= 0 && row < rowCount())
        m_rows[row] = QStringList(m_columns, QString());
}

void TextGrid::clearData()
{
    resize(qMin(rowCount(), 1), m_columns);
    if (rowCount() == 0)
        resize(1, m_columns);
    resize(2, m_columns);
    clearRow(1);
}

bool TextGrid::isRowEmpty(int row) const
{
    for (const QString &t : this->row(row))
        if (!t.isEmpty())
            return false;
    return true;
}
