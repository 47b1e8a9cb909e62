#pragma once

#include "data/client.h"
#include "data/data_module.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <optional>

// Everything the database holds about one client, read for the guest's right
// of access, and the erasure that keeps the law's ten years of invoices. Rows
// come as column name -> value maps, the names being those of the tables.
// Database errors throw DatabaseError.
class ClientData
{
public:
    ClientData();

    struct Night
    {
        QVariantMap row;               // the reserv row
        QList<QVariantMap> prestations; // id_prestation, libelle, nb
    };
    struct Document
    {
        QVariantMap row;          // the facturation or devis row
        QList<QVariantMap> lignes; // its lines, in order
    };
    struct All
    {
        QVariantMap client; // the infos row
        QList<Night> nuits; // by room, then date
        QList<Document> factures;
        QList<Document> devis;
        QList<QVariantMap> emails;
        QList<QVariantMap> reservationsEnLigne; // ical_import rows
    };
    // Nothing when the client does not exist.
    std::optional<All> lire(int id) const;

    // What the erasure keeps, for its question.
    struct Counts
    {
        int factures = 0;
        int devis = 0;
        int nuits = 0;
        int emails = 0;
    };
    Counts compter(int id) const;

    // The buyer of an invoice whose client was erased, as the card held it then;
    // nothing for any other invoice.
    std::optional<ClientRecord> acheteurConserve(int facture) const;

    // "Client effacé n° ID".
    static QString nomEfface(int id);

    // Anonymises the client in one transaction: the card's name becomes
    // nomEfface(id), every other field and the notes are emptied, the e-mail
    // history is deleted, the quotes' address block and comment are replaced,
    // the summary of a stay imported from a booking site is dropped (and never
    // taken again from the site's feed), the client
    // entries of the operation log are rewritten, and one log entry records
    // the erasure. Stays (dates, rooms, services) and invoices (address,
    // lines, totals, number) are kept as they are. Freed space is overwritten
    // so that the old values do not linger in the file. Throws KestrovaError
    // for the hotel's own record (client 1) and for a client that does not exist.
    Counts effacer(int id);

private:
    DataModule::Use m_use;
};
