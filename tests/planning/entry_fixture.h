#pragma once

// Rows for the entry panel's tests, written straight into the test database.

#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/sql.h"
#include "test_support.h"

#include <QDate>
#include <QStringList>
#include <QVariant>

namespace EntryFixture {

inline QSqlDatabase db()
{
    return DataModule::shared();
}

inline QString iso(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

inline int addClient(const QString &nom, int type = 1, const QString &informations = QString())
{
    Sql q(db(), QStringLiteral("INSERT INTO infos (type, nom, prenom, tel, somme, informations) "
                               "VALUES (:t, :n, 'Jean', '0102030405', 0, :i)"));
    q.bind(QStringLiteral(":t"), type)
        .bind(QStringLiteral(":n"), nom)
        .bind(QStringLiteral(":i"), informations.isNull() ? QVariant() : QVariant(informations))
        .exec();
    return q.lastInsertId().toInt();
}

inline int addNight(const QDate &day, int room, int client, const QString &etat = QStringLiteral("Réservé"),
                    const QVariant &nbpers = QVariant(), const QString &dateText = QString())
{
    Sql q(db(), QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, nbpers) "
                               "VALUES (:d, :n, :c, :e, :p)"));
    q.bind(QStringLiteral(":d"), dateText.isEmpty() ? iso(day) : dateText)
        .bind(QStringLiteral(":n"), room)
        .bind(QStringLiteral(":c"), client)
        .bind(QStringLiteral(":e"), etat)
        .bind(QStringLiteral(":p"), nbpers)
        .exec();
    return q.lastInsertId().toInt();
}

inline void attach(int night, int service, int nb)
{
    Sql(db(),
        QStringLiteral("INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) VALUES (:r, :p, :nb)"))
        .bind(QStringLiteral(":r"), night)
        .bind(QStringLiteral(":p"), service)
        .bind(QStringLiteral(":nb"), nb)
        .exec();
}

// A service in rooms 1..roomCount; room r costs ht * r before VAT.
inline void addService(int id, const QString &label, double ht, const QVariant &rate, int roomCount = 3)
{
    for (int room = 1; room <= roomCount; ++room) {
        const double price = ht * room;
        const double ttc = rate.isNull() ? price : price * (1 + rate.toDouble() / 100);
        Sql(db(), QStringLiteral("INSERT INTO prestations (id_prestation, libelle, numero_chambre, tarif_ht, "
                                 "tarif_tva, tarif_ttc) VALUES (:id, :l, :r, :ht, :tva, :ttc)"))
            .bind(QStringLiteral(":id"), id)
            .bind(QStringLiteral(":l"), label)
            .bind(QStringLiteral(":r"), room)
            .bind(QStringLiteral(":ht"), price)
            .bind(QStringLiteral(":tva"), rate)
            .bind(QStringLiteral(":ttc"), ttc)
            .exec();
    }
}

// The nights of a room as "yyyy-MM-dd etat client", in date order.
inline QStringList nightsOf(int room)
{
    QStringList out;
    Sql q(db(), QStringLiteral("SELECT substr(r_date, 1, 10), etat, info FROM reserv WHERE numero = :n "
                               "ORDER BY r_date, id"));
    q.bind(QStringLiteral(":n"), room);
    for (const QVariantList &row : q.rows())
        out << row[0].toString() + QLatin1Char(' ') + row[1].toString() + QLatin1Char(' ') +
                   row[2].toString();
    return out;
}

inline QVariant value(const QString &statement)
{
    return Sql(db(), statement).scalar();
}

inline int countOf(const QString &statement)
{
    return value(statement).toInt();
}

// A panel services grid: titles, one row per "service:nb", the empty row.
inline TextGrid servicesGrid(const QStringList &lines)
{
    return servicesGridOf(lines, 7);
}

// The Monday of a week safely in the future (no past-date question).
inline QDate futureMonday()
{
    const QDate inAMonth = QDate::currentDate().addDays(35);
    return inAMonth.addDays(1 - inAMonth.dayOfWeek());
}

} // namespace EntryFixture
