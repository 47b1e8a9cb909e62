#pragma once

#include <QDate>
#include <QString>

// What an invoice or quote form holds when it is saved, as the form holds it:
// amounts are the texts of its fields ("12,5" or "12.5"; an empty text is 0).
// An invalid date is stored as no date. The lines come with it as the form's
// line grid (row 0 titles; from row 1 column 0 service id, 1 label, 2 quantity,
// 3 total before tax, 4 rate text, 5 total after tax; rows without a service id
// are skipped).
struct DocumentEntry
{
    int idClient = 0;
    QString adresse; // billing address, lines separated by "\r\n"
    QString remise;  // general discount before tax
    QString acompte; // deposit already paid
    QDate sejourDebut;
    QDate sejourFin;
    QDate date; // document date (today for a new one)
    QString totalHt;
    QString totalTva;
    QString totalTtc;
    QString modeReglement; // invoices only
    QString commentaires;  // quotes only
    int idChambre = 0;     // quotes only: the room index of the quote form (0 = none)
};
