#pragma once

// Clients, nights and documents written straight into a test database.

#include "data/data_module.h"
#include "data/sql.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace ClientFixture {

inline QSqlDatabase db()
{
    return DataModule::shared();
}

inline int addClient(const QString &nom, const QString &prenom = QString(), const QString &nomEts = QString(),
                     const QString &email = QString(), const QVariant &type = QVariant(2))
{
    Sql q(db(), QStringLiteral("INSERT INTO infos (type, nom_ets, nom, prenom, tel, somme, email) "
                               "VALUES (:t, :e, :n, :p, '0102', 0, :m)"));
    q.bind(QStringLiteral(":t"), type.isValid() ? type : QVariant(QMetaType(QMetaType::Int)))
        .bind(QStringLiteral(":e"), nomEts)
        .bind(QStringLiteral(":n"), nom)
        .bind(QStringLiteral(":p"), prenom)
        .bind(QStringLiteral(":m"), email)
        .exec();
    return q.lastInsertId().toInt();
}

inline int addNight(int client, const QDate &day, int room = 1, int service = 0)
{
    Sql q(db(), QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, nbpers, nbenfants) "
                               "VALUES (:d, :r, :c, 'Réservé', 2, 0)"));
    q.bind(QStringLiteral(":d"), day.toString(Qt::ISODate))
        .bind(QStringLiteral(":r"), room)
        .bind(QStringLiteral(":c"), client)
        .exec();
    const int night = q.lastInsertId().toInt();
    if (service > 0)
        Sql(db(), QStringLiteral("INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) VALUES (:n, :s, 1)"))
            .bind(QStringLiteral(":n"), night)
            .bind(QStringLiteral(":s"), service)
            .exec();
    return night;
}

inline int count(const QString &statement)
{
    return Sql(db(), statement).scalar().toInt();
}

inline QVariant value(const QString &statement)
{
    return Sql(db(), statement).scalar();
}

} // namespace ClientFixture
