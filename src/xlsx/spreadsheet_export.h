#pragma once

#include "common/text_grid.h"

#include <QDateTime>
#include <QString>

#include <functional>

// Writes a grid to an .xlsx workbook: bold title row, all borders, fitted
// widths and an italic line two rows below the data. A data cell is text ("@")
// unless its column says otherwise: amounts are number cells shown with two
// decimals and a decimal comma, dates date cells shown dd/mm/yyyy, counts
// whole numbers; a cell of such a column that does not read as one (an empty
// cell, a label) stays text. Grids larger than a page (256 columns x 65 536
// rows) go on several sheets named title + " (n)"; every page repeats the
// title row and the line below.
struct SpreadsheetOptions
{
    enum class Cell { Text, Amount, Date, Count };
    // The kind of each grid column, indexed as in the grid (before the first
    // column is left out); columns beyond the list are otherColumns.
    QList<Cell> columns;
    Cell otherColumns = Cell::Text;
    Cell kindOf(int gridColumn) const
    {
        return gridColumn >= 0 && gridColumn < columns.size() ? columns.at(gridColumn) : otherColumns;
    }

    // The first column holds ids the user never sees: leave it out of the sheet.
    bool dropFirstColumn = true;
    // The italic line two rows below the data; when empty the cell is only set to italics.
    QString caption;
    // Page limits; tests lower them to see the paging.
    int pageRows = 65536;
    int pageColumns = 256;
    // Called now and then with the cells written so far and the total.
    std::function<void(qint64 done, qint64 total)> progress;
};

namespace Spreadsheet {

// Writes the workbook to path, replacing it only once complete. False with a
// French message in *error when the file cannot be written.
bool writeGrid(const TextGrid &grid, const QString &title, const QString &path, const SpreadsheetOptions &options,
               QString *error);

// The sheet name of page n (1-based): the title without its surrounding blanks
// + " (n)", made valid for a workbook (at most 31 characters, none of []:*?/\).
QString sheetName(const QString &title, int page);

// exports/<title> <yyyy-MM-dd HH-mm-ss>.xlsx in the data directory (a free name).
QString exportPath(const QString &title, const QDateTime &when = QDateTime::currentDateTime());

// The texts of the lines below the client list's data.
QString clientListCaption(const QString &searchText, const QDate &today = QDate::currentDate());

} // namespace Spreadsheet

// The "Exporter sous Excel" of every list: writes the grid into exports/ of the
// data directory and, when leaveOpen, opens it with the desktop's default
// application. Returns the file written, or the empty text with a French
// message in *error.
QString exporterGrilleExcel(const TextGrid &grid, const QString &title, bool leaveOpen,
                            const SpreadsheetOptions &options = {}, QString *error = nullptr);
