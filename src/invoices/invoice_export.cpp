#include "invoices/invoice_export.h"

#include "xlsx/spreadsheet_export.h"
#include "common/errors.h"
#include "invoices/invoice_list.h"

namespace InvoiceExport {

SpreadsheetOptions options(const QString &modeReglement)
{
    using Cell = SpreadsheetOptions::Cell;
    SpreadsheetOptions o;
    // The invoice number comes first: it is how an invoice is looked up.
    o.dropFirstColumn = false;
    o.columns = {Cell::Count,  Cell::Date,   Cell::Date,   Cell::Date,   Cell::Text, Cell::Text,
                 Cell::Amount, Cell::Amount, Cell::Amount, Cell::Amount, Cell::Amount, Cell::Date};
    o.caption = InvoiceList::legende(modeReglement);
    return o;
}

bool ecrire(const QString &file, const QString &modeReglement, QString *error)
{
    const QString mode = InvoiceList::filtreCourant(modeReglement);
    if (!mode.isEmpty() && !InvoiceList::modesReglement().contains(mode)) {
        if (error)
            *error = QStringLiteral("mode de paiement inconnu « %1 » (Tous, %2).")
                         .arg(mode, InvoiceList::modesReglement().join(QStringLiteral(", ")));
        return false;
    }
    try {
        const TextGrid grid = InvoiceList::remplir(mode);
        return Spreadsheet::writeGrid(grid, InvoiceList::titre(), file, options(mode), error);
    } catch (const KestrovaError &e) {
        if (error)
            *error = e.text();
        return false;
    }
}

} // namespace InvoiceExport
