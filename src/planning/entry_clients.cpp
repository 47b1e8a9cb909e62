#include "planning/entry_clients.h"

#include "data/sql.h"

#include <QVariant>

namespace {

QVariant typeValue(int type)
{
    return type == 1 || type == 2 ? QVariant(type) : QVariant(QMetaType(QMetaType::Int));
}

// The contact fields every client statement of the panel writes.
Sql &bindContact(Sql &statement, const EntryClient &client)
{
    return statement.bind(QStringLiteral(":nom"), client.nom)
        .bind(QStringLiteral(":prenom"), client.prenom)
        .bind(QStringLiteral(":tel"), client.tel)
        .bind(QStringLiteral(":fax"), client.fax)
        .bind(QStringLiteral(":email"), client.email);
}

} // namespace

int EntryClients::creer(const EntryClient &client)
{
    Sql insert(
        m_use.db(),
        QStringLiteral("INSERT INTO infos (type, nom_ets, nom, prenom, tel, somme, fax, email, informations) "
                       "VALUES (:type, :nom_ets, :nom, :prenom, :tel, 0, :fax, :email, :informations)"));
    // A private person has no company name, whatever the hidden field still holds.
    insert.bind(QStringLiteral(":type"), typeValue(client.type))
        .bind(QStringLiteral(":nom_ets"),
              client.type == 2 ? QVariant(client.nomEts) : QVariant(QMetaType(QMetaType::QString)))
        .bind(QStringLiteral(":informations"), client.informations);
    bindContact(insert, client).exec();
    return insert.lastInsertId().toInt();
}

void EntryClients::mettreAJour(const EntryClient &client)
{
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    if (client.type == 1 || client.type == 2) {
        Sql kind(db, client.type == 2
                         ? QStringLiteral("UPDATE infos SET type = 2, nom_ets = :nom_ets WHERE id = :id")
                         : QStringLiteral("UPDATE infos SET type = 1 WHERE id = :id"));
        if (client.type == 2)
            kind.bind(QStringLiteral(":nom_ets"), client.nomEts);
        kind.bind(QStringLiteral(":id"), client.id).exec();
    }
    Sql update(db, QStringLiteral("UPDATE infos SET nom = :nom, prenom = :prenom, tel = :tel, fax = :fax, "
                                  "email = :email, informations = :informations WHERE id = :id"));
    update.bind(QStringLiteral(":informations"), client.informations).bind(QStringLiteral(":id"), client.id);
    bindContact(update, client).exec();
    transaction.commit();
}

int EntryClients::enregistrerFiche(const EntryClient &client)
{
    const QSqlDatabase db = m_use.db();
    Sql write(db, client.id == 0
                      ? QStringLiteral("INSERT INTO infos (nom_ets, nom, prenom, tel, fax, email) "
                                       "VALUES (:nom_ets, :nom, :prenom, :tel, :fax, :email)")
                      : QStringLiteral("UPDATE infos SET nom_ets = :nom_ets, nom = :nom, prenom = :prenom, "
                                       "tel = :tel, fax = :fax, email = :email WHERE id = :id"));
    write.bind(QStringLiteral(":nom_ets"), client.nomEts);
    bindContact(write, client);
    if (client.id != 0)
        write.bind(QStringLiteral(":id"), client.id);
    write.exec();
    return client.id != 0 ? client.id : write.lastInsertId().toInt();
}

bool EntryClients::supprimer(int id)
{
    // The default client receives the nights of deleted clients: it must stay.
    if (id == defaultClient || id <= 0)
        return false;
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    Sql(db, QStringLiteral("UPDATE reserv SET info = :defaut WHERE info = :id"))
        .bind(QStringLiteral(":defaut"), defaultClient)
        .bind(QStringLiteral(":id"), id)
        .exec();
    Sql(db, QStringLiteral("DELETE FROM infos WHERE id = :id")).bind(QStringLiteral(":id"), id).exec();
    transaction.commit();
    return true;
}
