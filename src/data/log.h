#pragma once

#include "data/data_module.h"

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

private:
    void insert(const QString &operation, const QString &apres);

    DataModule::Use m_use;
    bool m_journalActif = false;
};
