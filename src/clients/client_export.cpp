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
    o.caption = Spreadsheet::clientListCaption(searchText);
    return o;
}

bool ecrire(const QString &file, const QString &searchText, QString *error)
{
    const TextGrid grid = Client().listeClients(searchText);
    return Spreadsheet::writeGrid(grid, title(), file, options(searchText), error);
}

} // namespace ClientExport
