#pragma once

#include "common/text_grid.h"
#include "data/data_module.h"

#include <QDate>
#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

#include <optional>

// A row of infos as the client card edits it. `type` is the stored value (0 for
// null); the card writes 1 for a company and 2 for a private person.
struct ClientRecord
{
    int id = 0;
    int type = 0;
    QString nomEts;
    QString nom;
    QString prenom;
    QString tel;
    QString fax;
    QString email;
    QString adresse1;
    QString adresse2;
    QString codepostal;
    QString ville;
    QString informations;
    bool informationsNull = true;
    // Business clients: SIREN (or SIRET) and intra-community VAT number, for
    // their electronic invoices.
    QString siren;
    QString tvaIntra;

    // How a client is shown, whichever window wrote it: the company name decides.
    bool isCompany() const { return !nomEts.trimmed().isEmpty(); }
    bool operator==(const ClientRecord &) const = default;
};

// A row of the client list, typed; its texts are made when shown (Client::listText).
struct ClientListRow
{
    int id = 0;
    QString nomEts;
    QString nom;
    QString prenom;
    QString tel;
    QString fax;
    QString email;
    // First night stayed; invalid when none (or when it could not be read).
    QDate premiere;
};

// A client as the entry panel of the main window edits it. type is the panel's
// coding: 1 "Particulier", 2 "Entreprise", 0 when neither is chosen (stored null).
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

// Every statement on the clients table. Works on the shared connection, so a
// write joins the caller's transaction when one is open there (Transaction on
// DataModule::shared()); database errors throw DatabaseError.
class Client
{
public:
    // The hotel's own record; nights saved without a client point to it.
    static constexpr int defaultClient = 1;
    // Column titles of the client list.
    static QStringList listTitles();

    // --- The client card (type 1 company, 2 private person) ---
    // The row, or nothing when there is none.
    std::optional<ClientRecord> lire(int id) const;
    // Every column of the row as stored, nulls kept (the address block of a
    // document leaves null columns out); nothing when there is none.
    std::optional<QSqlRecord> ligne(int id) const;
    // Inserts an empty private person (somme 0); the new id, taken from the insertion.
    int creerClient();
    // Inserts a complete client in the card's coding; the new id. For forms that
    // create a client inside their own transaction on the shared connection.
    int ajouterClient(const ClientRecord &client);
    // Writes every field of the row client.id: type 1 with the company name when
    // client.type is 1, else type 2 with an empty company name.
    void enregistrerFiche(const ClientRecord &client);
    // Deletes the client with its nights and their services, all or nothing;
    // invoices, quotes and e-mails stay. False when there was no such client.
    bool supprimerClient(int id);

    // --- The client list ---
    // The rows of the list for a search text, titles first (listTitles()), ordered
    // by name and first name as a French reader expects; one empty row when none.
    // A client matches when its company name, name, first name or e-mail begins
    // with the text, whatever the case (accented letters too); "%" and "_" are
    // ordinary characters, except the lone "%" that, like the empty text, lists all.
    TextGrid listeClients(const QString &recherche) const;
    // The same rows, typed, in the same order.
    QList<ClientListRow> lireListe(const QString &recherche) const;
    // The text of a column (listTitles() order) of a row, as listeClients writes it.
    static QString listText(const ClientListRow &row, int column);
    // The rows that match a search text, by the rule of listeClients.
    static QList<ClientListRow> filtrerLignes(const QList<ClientListRow> &rows, const QString &recherche);
    // The rows of a list (as listeClients gives it) that match a search text,
    // by the same rule, without reading the database again.
    static TextGrid filtrerListe(const TextGrid &liste, const QString &recherche);
    // True when text is a prefix of value, case ignored for every letter.
    static bool commencePar(const QString &value, const QString &text);

    // Ids of every client but the hotel's own record, oldest first.
    QList<int> autresClients() const;

    // --- The main window's client list, on the main window's own connection ---
    // Every client, in French alphabetical order of surname then first name.
    static QList<QSqlRecord> listeFenetrePrincipale(const QSqlDatabase &db);

    // --- The entry panel (its own coding, see EntryClient) ---
    // Inserts a client (somme 0, company name only for "Entreprise"); its id.
    int creerClientPanneau(const EntryClient &client);
    // Writes kind, names, phone, fax, e-mail and notes of the client's row.
    // Leaves `type` and `nom_ets` as stored when no kind is chosen.
    void majClientPanneau(const EntryClient &client);
    // The navigator of "Liste Clients" posts company name, names, phone, fax and
    // e-mail: a new row when id is 0 (its id is returned), else that row.
    int enregistrerLignePanneau(const EntryClient &client);
    // Moves the client's nights to the default client, then deletes the client,
    // all or nothing. The default client itself is never deleted (false).
    bool supprimerClientPanneau(int id);

private:
    DataModule::Use m_use;
};
