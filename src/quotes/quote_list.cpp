#include "quotes/quote_list.h"

#include "xlsx/spreadsheet_export.h"
#include "common/errors.h"
#include "quotes/devis.h"

namespace QuoteList {

QString titre()
{
    return QStringLiteral("Liste des devis ");
}

QStringList titres()
{
    return {QStringLiteral("N°"),         QStringLiteral("Date"),       QStringLiteral("Du"),
            QStringLiteral("Au"),         QStringLiteral("Client"),     QStringLiteral("Remise"),
            QStringLiteral("Acompte"),    QStringLiteral("Montant HT"), QStringLiteral("Montant TVA"),
            QStringLiteral("Montant TTC")};
}

const QList<DocumentStore::ListField> &champs()
{
    using S = DocumentStore;
    static const QList<S::ListField> fields = {S::Id,      S::FDate,   S::SejourDebut, S::SejourFin,
                                               S::Adresse, S::Remise,  S::Acompte,     S::TotalHt,
                                               S::TotalTva, S::TotalTtc};
    return fields;
}

TextGrid remplir()
{
    TextGrid grid(2, ColumnCount);
    grid.setRow(0, titres());
    Devis().listeDevis(grid);
    // The entry row stays only when no quote was listed.
    if (grid.rowCount() > 2 && grid.isRowEmpty(grid.rowCount() - 1))
        grid.removeRow(grid.rowCount() - 1);
    return grid;
}

SpreadsheetOptions options()
{
    using Cell = SpreadsheetOptions::Cell;
    SpreadsheetOptions o;
    o.dropFirstColumn = true;
    o.columns = {Cell::Count,  Cell::Date,   Cell::Date,   Cell::Date,   Cell::Text,
                 Cell::Amount, Cell::Amount, Cell::Amount, Cell::Amount, Cell::Amount};
    return o;
}

bool ecrire(const QString &file, const QString &unused, QString *error)
{
    Q_UNUSED(unused);
    try {
        return Spreadsheet::writeGrid(remplir(), titre(), file, options(), error);
    } catch (const KestrovaError &e) {
        if (error)
            *error = e.text();
        return false;
    }
}

} // namespace QuoteList
