#pragma once

#include "common/text_grid.h"
#include "data/document_store.h"

#include <QString>

struct SpreadsheetOptions;

// What the quote list shows and exports, without its window: the grid of
// every quote, newest first, and the sheet written from it.
namespace QuoteList {

enum Column { Numero = 0, Date, Du, Au, Client, Remise, Acompte, MontantHt, MontantTva, MontantTtc, ColumnCount };

// "Liste des devis " (with its trailing blank, as the sheets are named).
QString titre();

// The 10 column titles, and the stored field each column shows.
QStringList titres();
const QList<DocumentStore::ListField> &champs();

// AfficheFactures: the 10 titles, then one row per quote, newest first; one
// empty row when there is none.
TextGrid remplir();

// The sheet of the list: no "N°" column and no line under the data.
SpreadsheetOptions options();

// Writes the sheet of every quote to file (`kestrova xlsx devis`); false with
// a French message in *error. The option value is unused (no filter).
bool ecrire(const QString &file, const QString &unused, QString *error);

} // namespace QuoteList
