#pragma once

#include "data/data_module.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

// The night rows of one room on one day, as the entry panel of the main window
// reads and writes them. A day is the half-open range [day, next day) of
// r_date, so that the (numero, r_date) index serves it and a value with a time
// is found too. Works on the shared connection: writes join the caller's
// transaction. What a save decides stays with the panel's rules (NightEntry).
class Nuit
{
public:
    // A night row; nullable columns kept as stored.
    struct Ligne
    {
        int id = 0;
        QVariant info; // client id
        QString etat;
        QVariant reglement;
        QVariant nbpers;
        QVariant nbenfants;
    };

    // The first night of the room on that day (by date, then id); none when free.
    std::optional<Ligne> premiere(int room, const QDate &day) const;
    // Sets the state of night id and each of the other values that is valid;
    // an invalid value leaves its column as stored.
    void modifier(int id, const QString &etat, const QVariant &reglement, const QVariant &nbpers,
                  const QVariant &nbenfants, const QVariant &info);
    // Deletes every night of the room on that day with their services.
    void supprimerJour(int room, const QDate &day);
    // Inserts a night (invalid values stored as null); its id.
    int creer(int room, const QDate &day, int client, const QString &etat, const QVariant &reglement,
              const QVariant &nbpers, const QVariant &nbenfants);
    // Every night row of the database.
    int compter() const;

private:
    DataModule::Use m_use;
};
