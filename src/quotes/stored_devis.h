#pragma once

#include "common/text_grid.h"

#include <QDate>
#include <QString>

// A stored quote as the quote form shows it: amounts as texts in the general
// number format ("0" when not set), lines in the form's line grid, stay dates
// invalid when not set or when they hold the no-date marker.
struct StoredDevis
{
    bool found = false;
    int idClient = -1;
    QString adresse;
    QString commentaires;
    int idChambre = 0;
    QDate sejourDebut;
    QDate sejourFin;
    QString remise = QStringLiteral("0");
    QString acompte = QStringLiteral("0");
    QString totalHt = QStringLiteral("0");
    QString totalTva = QStringLiteral("0");
    QString totalTtc = QStringLiteral("0");
    TextGrid lignes;
    // False when the last line read has no service id: such a quote cannot be
    // saved again from the form.
    bool modifiable = true;

    // Reads quote numero and its lines in insertion order.
    static StoredDevis lire(int numero);
};
