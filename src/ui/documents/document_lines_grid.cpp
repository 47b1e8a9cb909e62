#include "ui/documents/document_lines_grid.h"

#include "documents/document_lines.h"

DocumentLinesGrid::DocumentLinesGrid(QWidget *parent)
    : ServiceLinesGrid(QStringLiteral("StringGrid1"), QStringLiteral("Ligne"), DocumentLines::Nb, parent)
{
    clearLines();
}

void DocumentLinesGrid::clearLines()
{
    setGrid(DocumentLines::emptyGrid());
}

TextGrid DocumentLinesGrid::shaped(const TextGrid &grid) const
{
    TextGrid lines = grid;
    DocumentLines::setTitles(lines);
    if (lines.rowCount() < 2 || !lines.isRowEmpty(lines.rowCount() - 1))
        lines.appendRow();
    return lines;
}

void DocumentLinesGrid::removeLine(TextGrid &grid, int row) const
{
    DocumentLines::removeLine(grid, row);
}

void DocumentLinesGrid::MajListePrestations()
{
    if (repriceLines([this](TextGrid &lines) { DocumentLines::reprice(lines, m_room); }))
        emit linesChanged();
}

void DocumentLinesGrid::layOutColumns()
{
    if (model()->columnCount() < DocumentLines::ColumnCount)
        return;
    setColumnHidden(DocumentLines::Service, true);
    const int numbers = fontMetrics().horizontalAdvance(QStringLiteral("0000000,00")) + 12;
    const int nb = fontMetrics().horizontalAdvance(QStringLiteral("Nb000")) + 8;
    const int rate = fontMetrics().horizontalAdvance(QStringLiteral("---------")) + 12;
    setColumnWidth(DocumentLines::Nb, nb);
    setColumnWidth(DocumentLines::TotalHt, numbers);
    setColumnWidth(DocumentLines::Tva, rate);
    setColumnWidth(DocumentLines::TotalTtc, numbers);
    // The label takes what the numbers leave.
    setColumnWidth(DocumentLines::Libelle, qMax(120, viewport()->width() - nb - rate - 2 * numbers));
}
