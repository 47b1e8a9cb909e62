#pragma once

#include "common/text_grid.h"

#include <QDate>
#include <QString>

#include <functional>

class QWidget;

// What the client card asks of the invoice, quote, e-mail and reservation
// windows. Each link is set once, at start-up, by the code that owns that
// window; a link left empty keeps its tab empty and its menu entries disabled.
struct ClientCardLinks
{
    // An invoice prepared from the card: the client, the room of the last stay
    // selected (0 none) and, when a stay row is current, that stay with its days.
    struct NouvelleFacture
    {
        int client = 0;
        int chambre = 0;
        int reservation = 0; // first night of the stay, 0 for none
        QDate du;
        QDate au;
    };

    // Tabs: append the client's rows under the title row of grid.
    std::function<void(int client, TextGrid &grid)> listeFactures;
    std::function<void(int client, TextGrid &grid)> listeDevis;
    std::function<void(int client, TextGrid &grid)> listeEmails;

    // "Réservations": the advanced reservation form, for a new stay or one stay.
    std::function<void(QWidget *parent, int client)> nouvelleReservation;
    std::function<void(QWidget *parent, int reservation, int client)> modifierReservation;

    // "Factures".
    std::function<void(QWidget *parent, const NouvelleFacture &facture)> nouvelleFacture;
    std::function<void(QWidget *parent, int facture, bool modification)> ouvrirFacture;
    std::function<void(int facture)> imprimerFacture;
    std::function<void(int facture, bool ouvrir)> pdfFacture;
    std::function<void(QWidget *parent, int facture)> envoyerFacture;
    std::function<void(int facture)> supprimerFacture;
    std::function<void(int facture, const QString &mode)> changerModeReglement;

    // "Devis".
    std::function<void(QWidget *parent, int client)> nouveauDevis;
    std::function<void(QWidget *parent, int devis, bool modification)> ouvrirDevis;
    std::function<void(int devis)> imprimerDevis;
    std::function<void(int devis, bool ouvrir)> pdfDevis;
    std::function<void(QWidget *parent, int devis, const QString &email, int client)> envoyerDevis;
    std::function<bool(int devis)> supprimerDevis; // true when a row was deleted

    // "Emails".
    std::function<void(QWidget *parent, const QString &email, int client)> nouvelEmail;
    std::function<bool(int email)> supprimerEmail; // true when a row was deleted

    // The links of the process.
    static ClientCardLinks &instance();
};
