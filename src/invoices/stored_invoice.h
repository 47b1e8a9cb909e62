#pragma once

#include "common/text_grid.h"

#include <QDate>
#include <QString>

// A stored invoice as the invoice form shows it: amounts as texts in the
// general number format, lines in the form's line grid (see DocumentLines).
struct StoredInvoice
{
    bool found = false;
    int idClient = 0;
    QString adresse;
    QString modeReglement;
    QDate sejourDebut; // invalid when not set
    QDate sejourFin;
    QString remise = QStringLiteral("0");
    QString acompte = QStringLiteral("0");
    QString totalHt = QStringLiteral("0");
    QString totalTva = QStringLiteral("0");
    QString totalTtc = QStringLiteral("0");
    TextGrid lignes;
    // False when the last line read has no service id: such an invoice cannot
    // be saved again from the form.
    bool modifiable = true;

    // Reads invoice numero and its lines in insertion order.
    static StoredInvoice lire(int numero);
};
