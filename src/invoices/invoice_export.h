#pragma once

#include <QString>

struct SpreadsheetOptions;
class TextGrid;

// The spreadsheet of the invoice list: the list's grid, invoice number first,
// amounts and dates as numbers and dates, named after the list's title, with
// the line that says which invoices it holds two rows below. The window's "Exporter sous Excel" and
// `kestrova xlsx factures` write the same sheet.
namespace InvoiceExport {

// The options of the sheet for the list shown with that payment filter.
SpreadsheetOptions options(const QString &modeReglement);

// Writes the sheet of every invoice (or of one payment mode: one of the five
// modes, "Tous" or empty for all) to file. False with a French message in
// *error for an unknown mode or a file that cannot be written.
bool ecrire(const QString &file, const QString &modeReglement, QString *error);

} // namespace InvoiceExport
