#pragma once

// Rows for the invoice and quote tests, written through the shared connection
// of a TestDatabase.

#include "data/data_module.h"
#include "data/sql.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace InvoiceFixture {

inline int addNight(const QDate &day, int room, int client)
{
    Sql q(DataModule::shared(),
          QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat) VALUES (:d, :n, :c, 'Réservé')"));
    q.bind(QStringLiteral(":d"), day.toString(Qt::ISODate))
        .bind(QStringLiteral(":n"), room)
        .bind(QStringLiteral(":c"), client)
        .exec();
    return q.lastInsertId().toInt();
}

inline void attach(int night, int service, int nb)
{
    Sql(DataModule::shared(),
        QStringLiteral("INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) VALUES (:r, :p, :nb)"))
        .bind(QStringLiteral(":r"), night)
        .bind(QStringLiteral(":p"), service)
        .bind(QStringLiteral(":nb"), nb)
        .exec();
}

// One service in one room; a null rate is "no rate".
inline void addService(int id, const QString &label, int room, double ht, const QVariant &rate, double ttc)
{
    Sql(DataModule::shared(),
        QStringLiteral("INSERT INTO prestations (id_prestation, libelle, numero_chambre, tarif_ht, tarif_tva, "
                       "tarif_ttc, chk_gratuit_enfant, chk_add_auto) VALUES (:id, :l, :r, :ht, :tva, :ttc, 0, 0)"))
        .bind(QStringLiteral(":id"), id)
        .bind(QStringLiteral(":l"), label)
        .bind(QStringLiteral(":r"), room)
        .bind(QStringLiteral(":ht"), ht)
        .bind(QStringLiteral(":tva"), rate)
        .bind(QStringLiteral(":ttc"), ttc)
        .exec();
}

inline int addClient(const QString &nom, const QString &prenom, const QString &adresse1 = QString(),
                     const QString &codepostal = QString(), const QString &ville = QString())
{
    Sql q(DataModule::shared(),
          QStringLiteral("INSERT INTO infos (type, nom, prenom, adresse1, codepostal, ville) "
                         "VALUES (2, :n, :p, :a, :cp, :v)"));
    const auto orNull = [](const QString &s) { return s.isNull() ? QVariant() : QVariant(s); };
    q.bind(QStringLiteral(":n"), orNull(nom))
        .bind(QStringLiteral(":p"), orNull(prenom))
        .bind(QStringLiteral(":a"), orNull(adresse1))
        .bind(QStringLiteral(":cp"), orNull(codepostal))
        .bind(QStringLiteral(":v"), orNull(ville))
        .exec();
    return q.lastInsertId().toInt();
}

inline int count(const QString &statement)
{
    return Sql(DataModule::shared(), statement).scalar().toInt();
}

} // namespace InvoiceFixture
