#pragma once

#include "data/data_module.h"

#include <QByteArray>
#include <QString>

// The operation log of the on-line planning (table `log`): once the planning
// has been published, every client and reservation night added is recorded
// as an XML element, so that the next publication can send the changes.
class Log
{
public:
    // Reads once whether logging is on: [Sauvegarde] dateMaJPlanning of
    // config.ini is set after the first successful planning update.
    Log();

    bool journalActif() const { return m_journalActif; }

    // Records a reservation night just inserted ("ajout_resa"). The day comes
    // already in the short date format; the payment flag of a new night is "0".
    // Does nothing while logging is off.
    void journaliserAjoutReservation(int id, const QString &jour, const QString &reglement,
                                     const QString &etat, const QString &client, const QString &chambre);
    // Records a client just inserted ("ajout_client"). Throws DatabaseError when
    // the client does not exist. Does nothing while logging is off.
    void journaliserAjoutClient(int idClient);
    // After a client's erasure: the client entries already logged show the
    // anonymised row, and one entry ("effacement_client") records the erasure
    // itself, whether logging is on or not: the hotel must be able to show it.
    void anonymiserClient(int idClient);
    void journaliserEffacementClient(int idClient, int facturesGardees, int sejoursGardes);

    // Whole tables as XML documents for the on-line planning, on one line: the
    // declaration, the root (`majclient` for clients, `majplanning` for the
    // others), `<ajout>` with one empty element per row, `</ajout>`, the empty
    // `<modification>` and `<suppression>` sections and the closing root.
    // Attribute values are single-quoted and escaped; numbers have a decimal
    // comma and dates read dd/MM/yyyy; a null gives an empty value (a client's
    // `somme` gives "0"). A table without rows gives the empty text. A
    // database error throws DatabaseError: a partial document is never returned.

    // <client id type_client nom_ets nom prenom tel somme fax email informations
    // adresse1 adresse2 codepostal ville />, in the database's order.
    QString exporterClients() const;
    // <reservation id r_date numero info etat reglement nbpers />, by id.
    QString exporterReservations() const;
    // <prestation id id_prestation libelle numero_chambre tarif_ht tarif_tva tarif_ttc />, by id.
    QString exporterPrestations() const;
    // <prestation_detail id id_reserv id_prestation nb_prestation />, by id.
    QString exporterReservPrestations() const;

    // The bytes of a document in the encoding its declaration names
    // (ISO-8859-1); characters outside it become character references.
    static QByteArray encoderDocument(const QString &document);

private:
    void insert(const QString &operation, const QString &apres);

    DataModule::Use m_use;
    bool m_journalActif = false;
};
