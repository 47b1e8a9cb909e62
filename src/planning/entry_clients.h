#pragma once

#include "data/data_module.h"

#include <QString>

// A client as the entry panel edits it. type is the panel's coding: 1
// "Particulier", 2 "Entreprise", 0 when neither is chosen (written as empty).
struct EntryClient
{
    int id = 0;
    int type = 0;
    QString nomEts;
    QString nom;
    QString prenom;
    QString tel;
    QString fax;
    QString email;
    QString informations;
};

// The client rows the entry panel writes: the new client of "Nouveau Client",
// the loaded client of "Infos Client", and the rows posted or deleted through
// the navigator of "Liste Clients". Each operation joins the caller's
// transaction when there is one; database errors throw DatabaseError.
class EntryClients
{
public:
    static constexpr int defaultClient = 1;

    // Inserts a client (somme 0, company name only for "Entreprise"); its id.
    int creer(const EntryClient &client);
    // Writes kind, names, phone, fax, e-mail and notes of the client's row.
    // Leaves `type` and `nom_ets` as stored when no kind is chosen.
    void mettreAJour(const EntryClient &client);

    // The navigator of "Liste Clients" posts company name, names, phone, fax and
    // e-mail: a new row when id is 0 (its id is returned), else that row.
    int enregistrerFiche(const EntryClient &client);
    // Moves the client's nights to the default client, then deletes the client,
    // all or nothing. The default client itself is never deleted (false).
    bool supprimer(int id);

private:
    DataModule::Use m_use;
};
