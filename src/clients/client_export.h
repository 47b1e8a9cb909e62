#pragma once

#include "xlsx/spreadsheet_export.h"

#include <QString>

// The client list's spreadsheet: the rows the list shows for a search text,
// without the id column, titled "Fichier Clients", with the line that says
// whether the list is complete or partial.
namespace ClientExport {

QString title();
SpreadsheetOptions options(const QString &searchText);
// Writes the sheet for searchText to file; false with a French message in *error.
bool ecrire(const QString &file, const QString &searchText, QString *error);

} // namespace ClientExport
