#pragma once

#include "common/text_grid.h"
#include "data/document_store.h"

#include <QDate>
#include <QStringList>

// What the invoice list shows and exports, without its window: the grid of
// every invoice (or those of one payment mode), newest first, and the texts
// that go with its spreadsheet.
namespace InvoiceList {

enum Column { Numero = 0, Date, Du, Au, Client, Paiement, Remise, Acompte, MontantHt, MontantTva, MontantTtc, FacturX, ColumnCount };

// "Liste des factures " (with its trailing blank, as the sheets are named).
QString titre();
// The payment modes an invoice is written with.
const QStringList &modesReglement();
// The filter box's items: "Tous", then the five payment modes.
QStringList filtres();
// The filter a text of the filter box stands for: empty for "Tous", for the
// placeholder "Filtrer sur paiement" and for the empty text.
QString filtreCourant(const QString &texteFiltre);

// The 12 column titles, and the stored field each column shows.
QStringList titres();
const QList<DocumentStore::ListField> &champs();

// AfficheFactures: the 12 titles (the last, "Factur-X", the day the
// electronic invoice was last written), then one row per invoice of that payment
// mode (every invoice when empty), newest first; one empty row when none.
TextGrid remplir(const QString &modeReglement);

// The italic line under the exported sheet.
QString legende(const QString &modeReglement, const QDate &today = QDate::currentDate());

} // namespace InvoiceList
