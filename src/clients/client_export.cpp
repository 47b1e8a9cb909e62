#include "clients/client_export.h"

#include "data/client.h"

namespace ClientExport {

QString title()
{
    return QStringLiteral("Fichier Clients");
}

SpreadsheetOptions options(const QString &searchText)
{
    SpreadsheetOptions o;
    o.dropFirstColumn = true;
    // Names, telephone numbers and e-mails stay texts; "Première Résa" is a date.
    o.columns = QList<SpreadsheetOptions::Cell>(7, SpreadsheetOptions::Cell::Text) << SpreadsheetOptions::Cell::Date;
    o.caption = Spreadsheet::clientListCaption(searchText);
    return o;
}

bool ecrire(const QString &file, const QString &searchText, QString *error)
{
    const TextGrid grid = Client().listeClients(searchText);
    return Spreadsheet::writeGrid(grid, title(), file, options(searchText), error);
}

} // namespace ClientExport
