#include "xlsx/spreadsheet_export.h"

#include "common/format.h"
#include "common/paths.h"

#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>

namespace {

// The longest text a cell of a workbook holds.
constexpr int maxCellLength = 32767;
constexpr int maxSheetNameLength = 31;

QString cellText(const QString &text)
{
    return text.size() > maxCellLength ? text.left(maxCellLength) : text;
}

// Column width in the workbook's unit (about one character), as Excel's fitting would give.
double fittedWidth(int characters, bool bold)
{
    const double width = characters * (bold ? 1.1 : 1.0) + 2.0;
    return std::clamp(width, 4.0, 100.0);
}

struct Workbook
{
    lxw_workbook *book = nullptr;
    ~Workbook()
    {
        // A book never closed is freed without writing anything.
        if (book)
            lxw_workbook_free(book);
    }
};

// Writes value as the number or date its column holds; false (nothing
// written) for a text column or a cell that does not read as its kind.
bool writeTyped(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t column, const QString &value,
                SpreadsheetOptions::Cell kind, lxw_format *amount, lxw_format *date, lxw_format *count)
{
    using Cell = SpreadsheetOptions::Cell;
    if (kind == Cell::Text || value.trimmed().isEmpty())
        return false;
    if (kind == Cell::Date) {
        const QDate d = Format::parseDate(value);
        if (!d.isValid())
            return false;
        lxw_datetime when{};
        when.year = d.year();
        when.month = d.month();
        when.day = d.day();
        return worksheet_write_datetime(sheet, row, column, &when, date) == LXW_NO_ERROR;
    }
    bool ok = false;
    const double number = Format::parseAmount(value, &ok);
    if (!ok || (kind == Cell::Count && number != std::floor(number)))
        return false;
    return worksheet_write_number(sheet, row, column, number, kind == Cell::Amount ? amount : count) ==
           LXW_NO_ERROR;
}

QString lxwMessage(lxw_error code)
{
    return QString::fromUtf8(lxw_strerror(code));
}

} // namespace

namespace Spreadsheet {

QString sheetName(const QString &title, int page)
{
    // "Liste des factures " names its sheet "Liste des factures (1)", one blank before the number.
    QString base = title.trimmed();
    for (QChar &c : base)
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    const QString suffix = QStringLiteral(" (") + QString::number(page) + QLatin1Char(')');
    base = base.left(maxSheetNameLength - suffix.size()).trimmed();
    // A sheet name may not begin with an apostrophe.
    while (base.startsWith(QLatin1Char('\'')))
        base.remove(0, 1);
    return base + suffix;
}

QString exportPath(const QString &title, const QDateTime &when)
{
    QString base = title.trimmed();
    for (QChar &c : base)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    if (base.isEmpty())
        base = QStringLiteral("Export");
    const QString dir = Paths::dataPath(QStringLiteral("exports"));
    const QString stem = dir + QLatin1Char('/') + base + QLatin1Char(' ') +
                         when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    QString path = stem + QStringLiteral(".xlsx");
    for (int n = 2; QFileInfo::exists(path) && n < 1000; ++n)
        path = stem + QStringLiteral(" (") + QString::number(n) + QStringLiteral(").xlsx");
    return path;
}

QString clientListCaption(const QString &searchText, const QDate &today)
{
    if (!searchText.isEmpty())
        return QStringLiteral("Liste partielle du fichier client dont le nom, prenom ou entreprise débute par : ") +
               searchText + QStringLiteral(" à la date du ") + Format::date(today);
    return QStringLiteral("Liste complète du fichier client à la date du ") + Format::date(today);
}

bool writeGrid(const TextGrid &grid, const QString &title, const QString &path, const SpreadsheetOptions &options,
               QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Impossible d'écrire le classeur ") + QDir::toNativeSeparators(path) +
                     QStringLiteral(" : ") + why;
        return false;
    };

    const int firstColumn = options.dropFirstColumn ? 1 : 0;
    const int columns = std::max(0, grid.columnCount() - firstColumn);
    const int dataRows = std::max(0, grid.rowCount() - 1);
    const int pageRows = std::max(2, options.pageRows);
    const int pageColumns = std::max(1, options.pageColumns);
    // Every page repeats the title row, so a page holds pageRows - 1 data rows.
    const int rowsPerPage = pageRows - 1;
    const int rowPages = std::max(1, (dataRows + rowsPerPage - 1) / rowsPerPage);
    const int columnPages = std::max(1, (columns + pageColumns - 1) / pageColumns);

    QList<int> widths(columns, 0);
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < columns; ++c)
            widths[c] = std::max(widths[c], int(grid.cell(r, c + firstColumn).size() * (r == 0 ? 1.1 : 1.0)));

    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    const QByteArray partialName = QFile::encodeName(partial);
    Workbook wb;
    wb.book = workbook_new(partialName.constData());
    if (!wb.book)
        return fail(QStringLiteral("le fichier ne peut pas être créé."));

    lxw_format *text = workbook_add_format(wb.book);
    format_set_num_format(text, "@");
    format_set_border(text, LXW_BORDER_THIN);
    lxw_format *bold = workbook_add_format(wb.book);
    format_set_num_format(bold, "@");
    format_set_border(bold, LXW_BORDER_THIN);
    format_set_bold(bold);
    lxw_format *italic = workbook_add_format(wb.book);
    format_set_italic(italic);
    // Numbers a user can total: the French locale in the format gives the
    // decimal comma whatever the reader's own settings.
    const auto numberFormat = [&](const char *code) {
        lxw_format *f = workbook_add_format(wb.book);
        format_set_num_format(f, code);
        format_set_border(f, LXW_BORDER_THIN);
        return f;
    };
    lxw_format *amount = numberFormat("[$-40C]#,##0.00");
    lxw_format *date = numberFormat("dd/mm/yyyy");
    lxw_format *count = numberFormat("0");

    const qint64 total = qint64(grid.rowCount()) * columns;
    qint64 done = 0;
    int page = 0;
    for (int rp = 0; rp < rowPages; ++rp) {
        const int firstData = 1 + rp * rowsPerPage;
        const int lastData = std::min(dataRows, firstData + rowsPerPage - 1); // grid rows, inclusive
        for (int cp = 0; cp < columnPages; ++cp) {
            ++page;
            const QByteArray name = sheetName(title, page).toUtf8();
            lxw_worksheet *sheet = workbook_add_worksheet(wb.book, name.constData());
            if (!sheet)
                return fail(QStringLiteral("la feuille ") + QString::fromUtf8(name) +
                            QStringLiteral(" ne peut pas être ajoutée."));
            const int c0 = cp * pageColumns;
            const int c1 = std::min(columns, c0 + pageColumns);
            for (int c = c0; c < c1; ++c)
                worksheet_set_column(sheet, lxw_col_t(c - c0), lxw_col_t(c - c0), fittedWidth(widths[c], false),
                                     nullptr);

            auto writeRow = [&](int gridRow, int sheetRow, lxw_format *format) {
                for (int c = c0; c < c1; ++c) {
                    const QString value = cellText(grid.cell(gridRow, c + firstColumn));
                    const SpreadsheetOptions::Cell kind =
                        gridRow == 0 ? SpreadsheetOptions::Cell::Text : options.kindOf(c + firstColumn);
                    if (writeTyped(sheet, lxw_row_t(sheetRow), lxw_col_t(c - c0), value, kind, amount, date,
                                   count)) {
                        // written as a number or a date
                    } else if (value.isEmpty()) {
                        worksheet_write_blank(sheet, lxw_row_t(sheetRow), lxw_col_t(c - c0), format);
                    } else {
                        const QByteArray utf8 = value.toUtf8();
                        worksheet_write_string(sheet, lxw_row_t(sheetRow), lxw_col_t(c - c0), utf8.constData(),
                                               format);
                    }
                }
                done += c1 - c0;
                if (options.progress && (sheetRow % 1000 == 0))
                    options.progress(done, total);
            };

            writeRow(0, 0, bold);
            int sheetRow = 1;
            for (int r = firstData; r <= lastData; ++r)
                writeRow(r, sheetRow++, text);
            // Two rows below the last row of the table, in the first column.
            const lxw_row_t captionRow = lxw_row_t(sheetRow + 1);
            if (options.caption.isEmpty()) {
                worksheet_write_blank(sheet, captionRow, 0, italic);
            } else {
                const QByteArray utf8 = cellText(options.caption).toUtf8();
                worksheet_write_string(sheet, captionRow, 0, utf8.constData(), italic);
            }
            if (page == 1)
                worksheet_activate(sheet);
        }
    }

    lxw_workbook *book = wb.book;
    wb.book = nullptr; // workbook_close frees it, whatever its result
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR) {
        QFile::remove(partial);
        return fail(lxwMessage(closed));
    }
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        QFile::remove(partial);
        return fail(QStringLiteral("le fichier existant ne peut pas être remplacé."));
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return fail(QStringLiteral("le fichier ne peut pas être renommé."));
    }
    if (options.progress)
        options.progress(total, total);
    return true;
}

} // namespace Spreadsheet

QString exporterGrilleExcel(const TextGrid &grid, const QString &title, bool leaveOpen,
                            const SpreadsheetOptions &options, QString *error)
{
    const QString dir = Paths::dataPath(QStringLiteral("exports"));
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("Impossible de créer le dossier ") + QDir::toNativeSeparators(dir) +
                     QStringLiteral(".");
        return {};
    }
    const QString path = Spreadsheet::exportPath(title);
    if (!Spreadsheet::writeGrid(grid, title, path, options, error))
        return {};
    if (leaveOpen)
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    return path;
}
