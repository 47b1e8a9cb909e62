#pragma once

#include "common/text_grid.h"
#include "data/data_module.h"
#include "planning/entry_clients.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

// What the entry panel does with the database, without its widgets: loading
// the night of a clicked cell, and saving the selected days of one room.
//
// A save asks every question first (past start date, change of client,
// deletion of a night) through Dialogs, then writes the client and all the
// nights in one transaction: a failure leaves nothing written and is thrown
// (DatabaseError, or KestrovaError for a quantity that is not a whole number).
// Whether a day is occupied is read from the database, not from the column on
// screen, so a column that is out of date can neither give a room a second
// night on one day nor ask to delete a night that is gone.
class NightEntry
{
public:
    // The client tab showing when "Valider" is pressed.
    enum class ClientSource { Liste, Infos, Nouveau };

    struct Request
    {
        int room = 0;
        QDate monday;
        QList<int> days; // selected day indexes, 0 = Monday
        // "Réservé", "Acompte" or "Payé"; empty for "Libre" or no choice.
        QString etat;
        // As typed (digits or empty): empty means "not given".
        QString adultes;
        QString enfants;
        QString acompte; // payment written with "Acompte"
        QString paye;    // payment written with "Payé"
        ClientSource source = ClientSource::Liste;
        // "Liste Clients": id of the list's current row (0: none).
        // "Infos Client": the loaded client (id 0 when none is loaded).
        // "Nouveau Client": the client to create (id ignored).
        EntryClient client;
        // Services grid: rows 1 to row count - 2, column 0 service, 2 quantity.
        TextGrid services;
        QDate today = QDate::currentDate();
    };

    struct Outcome
    {
        bool saved = false; // false when the past-date question was declined
        int clientId = EntryClients::defaultClient;
        bool clientCreated = false;
        int nightsWritten = 0; // created, changed or deleted
        int created = 0;
        int changed = 0;
        int deleted = 0;
    };

    // The night of a room on a day with its client, as the panel loads it.
    struct LoadedNight
    {
        int id = 0;
        QVariant info; // client id; null when the row has none
        QString etat;
        QVariant reglement;
        QVariant nbpers;
        QVariant nbenfants;
        bool clientFound = false; // the client row exists
        EntryClient client;       // type as stored (1 "Particulier", other "Entreprise")
        QVariant informations;    // the client's notes, null when none
    };

    NightEntry() = default;

    // The first night of the room on that day, with its client; none when free.
    std::optional<LoadedNight> charger(int room, const QDate &day) const;
    // The services of a night in a panel services grid (7 columns, titles
    // kept) with its prices for the room.
    void chargerPrestations(int idNuit, int room, TextGrid &services) const;

    // Saves the request (see the class comment). Nothing happens without a room
    // or a selected day.
    Outcome valider(const Request &request);

    // Prices of a services grid for a room: for each service row, column 3 the
    // price before VAT x quantity, 4 the rate, 5 the price with VAT x quantity.
    static void majListePrestations(TextGrid &services, int room);

    // Titles and shape of the panel's services grid: 7 columns, titles in 1 to 5.
    static TextGrid emptyServicesGrid();

    static QString pastDateQuestion();
    static QString clientChangeQuestion(const QDate &day);
    static QString deletionQuestion(const QDate &day);

private:
    DataModule::Use m_use;
};
