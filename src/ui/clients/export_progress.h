#pragma once

#include "xlsx/spreadsheet_export.h"

class QWidget;

// "Exporter sous Excel" for a window: exporterGrilleExcel with a progress
// dialog for long exports, the failure in an error box and the file's path in
// the status bar of the main window. Returns the file written, empty on failure.
namespace ExportProgress {

QString exporter(QWidget *parent, const TextGrid &grid, const QString &title, bool leaveOpen,
                 SpreadsheetOptions options = {});

} // namespace ExportProgress
