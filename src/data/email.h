#pragma once

#include "data/data_module.h"

#include <QString>

class TextGrid;

// The history of the e-mails the program has sent (table `email_historique`):
// one row per message that actually went out, with the subject as sent and the
// message text as typed. Database errors throw DatabaseError.
class Email
{
public:
    Email();

    // Records a sent message; the date of sending is today's (the column's default).
    // Returns the number of the new row.
    int ajouterEmail(int idClient, const QString &objet, const QString &message);

    // Appends one row per e-mail of the client, newest first: column 0 the
    // number, 1 the date of sending (dd/MM/yyyy), 2 the subject. Rows already in
    // the grid (its titles) are kept. An id that is not a number lists nothing.
    // Returns the number of rows appended.
    int afficherEmailsClient(const QString &idClient, TextGrid &grille) const;

    // True when a row was deleted; false when no row had that number.
    bool supprimerEmail(int id);

private:
    DataModule::Use m_use;
};
