#include "data/ical_store.h"

#include "common/format.h"
#include "data/log.h"
#include "data/reservation.h"
#include "data/dialect.h"
#include "data/sql.h"

#include <QSet>
#include <QTimeZone>

namespace {

QDate isoDay(const QVariant &value)
{
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

QString displayName(const QVariant &nom, const QVariant &prenom, const QVariant &nomEts)
{
    const QString person = QString(nom.toString().trimmed() + QLatin1Char(' ') + prenom.toString().trimmed()).trimmed();
    return person.isEmpty() ? nomEts.toString().trimmed() : person;
}

// Nights of one client in one room: date -> night id.
QHash<QDate, int> clientNights(const QSqlDatabase &db, int client, int room)
{
    QHash<QDate, int> out;
    Sql q(db, QStringLiteral("SELECT id, r_date FROM reserv WHERE info = :c AND numero = :r"));
    q.bind(QStringLiteral(":c"), client).bind(QStringLiteral(":r"), room);
    for (const QVariantList &row : q.rows())
        out.insert(isoDay(row.at(1)), row.at(0).toInt());
    return out;
}

// The first night from debut to fin excluded that the room holds for someone
// other than client (0: anyone); invalid when none.
QDate firstTaken(const QSqlDatabase &db, int room, const QDate &debut, const QDate &fin, int client)
{
    Dialect::serializeNightWrites(db);
    Sql q(db, QStringLiteral("SELECT MIN(r_date) FROM reserv WHERE numero = :r AND r_date >= :d AND r_date < :f "
                             "AND info IS DISTINCT FROM :c"));
    q.bind(QStringLiteral(":r"), room)
        .bind(QStringLiteral(":d"), Format::isoDate(debut))
        .bind(QStringLiteral(":f"), Format::isoDate(fin))
        .bind(QStringLiteral(":c"), client == 0 ? QVariant() : QVariant(client));
    return isoDay(q.scalar());
}

void deleteNight(const QSqlDatabase &db, int id)
{
    Sql(db, QStringLiteral("DELETE FROM reserv_prestations WHERE id_reserv = :id")).bind(QStringLiteral(":id"), id).exec();
    Sql(db, QStringLiteral("DELETE FROM reserv WHERE id = :id")).bind(QStringLiteral(":id"), id).exec();
}

} // namespace

IcalStore::IcalStore() = default;

QList<IcalStore::ExportNight> IcalStore::nuitsAExporter(const QDate &from) const
{
    Sql q(m_use.db(),
          QStringLiteral("SELECT r.id, r.r_date, r.numero, r.info, i.nom, i.prenom, i.nom_ets, n.uid "
                         "FROM reserv r LEFT JOIN infos i ON i.id = r.info "
                         "LEFT JOIN ical_export_nuit n ON n.id_reserv = r.id "
                         "WHERE r.r_date >= :from ORDER BY r.numero, r.r_date, r.id"));
    q.bind(QStringLiteral(":from"), Format::isoDate(from));
    QList<ExportNight> out;
    while (q.next()) {
        ExportNight n;
        n.night.id = q.value(0).toInt();
        n.night.date = isoDay(q.value(1));
        n.night.room = q.value(2).toInt();
        n.night.client = q.value(3).toInt();
        n.night.clientName = displayName(q.value(4), q.value(5), q.value(6));
        n.uid = q.value(7).toString();
        if (n.night.date.isValid())
            out.append(n);
    }
    return out;
}

QHash<QString, IcalStore::Published> IcalStore::publies() const
{
    QHash<QString, Published> out;
    Sql q(m_use.db(), QStringLiteral("SELECT uid, sequence, empreinte, dtstamp FROM ical_export"));
    while (q.next()) {
        Published p;
        p.sequence = q.value(1).toInt();
        p.empreinte = q.value(2).toString();
        p.dtstamp = QDateTime::fromString(q.value(3).toString(), Qt::ISODate);
        p.dtstamp.setTimeZone(QTimeZone::utc());
        out.insert(q.value(0).toString(), p);
    }
    return out;
}

void IcalStore::enregistrerExport(const QList<ExportedStay> &stays)
{
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    Sql state(db, QStringLiteral("INSERT INTO ical_export (uid, sequence, empreinte, dtstamp) VALUES (:u, :s, :e, :d) "
                                 "ON CONFLICT(uid) DO UPDATE SET sequence = excluded.sequence, "
                                 "empreinte = excluded.empreinte, dtstamp = excluded.dtstamp "
                                 "WHERE ical_export.sequence IS DISTINCT FROM excluded.sequence "
                                 "OR ical_export.empreinte IS DISTINCT FROM excluded.empreinte"));
    Sql night(db, QStringLiteral("INSERT INTO ical_export_nuit (id_reserv, uid) VALUES (:n, :u) "
                                 "ON CONFLICT(id_reserv) DO UPDATE SET uid = excluded.uid WHERE ical_export_nuit.uid IS DISTINCT FROM excluded.uid"));
    for (const ExportedStay &s : stays) {
        state.bind(QStringLiteral(":u"), s.uid)
            .bind(QStringLiteral(":s"), s.published.sequence)
            .bind(QStringLiteral(":e"), s.published.empreinte)
            .bind(QStringLiteral(":d"), s.published.dtstamp.toUTC().toString(Qt::ISODate))
            .exec();
        for (int id : s.nights)
            night.bind(QStringLiteral(":n"), id).bind(QStringLiteral(":u"), s.uid).exec();
    }
    execSql(db, QStringLiteral("DELETE FROM ical_export_nuit WHERE id_reserv NOT IN (SELECT id FROM reserv)"));
    transaction.commit();
}

QList<IcalStore::Imported> IcalStore::importes(int room, const QString &produit) const
{
    Sql q(m_use.db(),
          QStringLiteral("SELECT uid, id_client, debut, fin, resume, "
                         "(SELECT numero FROM reserv WHERE info = ical_import.id_client ORDER BY r_date LIMIT 1) "
                         "FROM ical_import WHERE numero_chambre = :r AND produit = :p ORDER BY debut, uid"));
    q.bind(QStringLiteral(":r"), room).bind(QStringLiteral(":p"), produit);
    QList<Imported> out;
    while (q.next()) {
        Imported i;
        i.uid = q.value(0).toString();
        i.client = q.value(1).toInt();
        i.debut = isoDay(q.value(2));
        i.fin = isoDay(q.value(3));
        i.resume = q.value(4).toString();
        i.efface = q.value(4).isNull();
        i.room = q.value(5).isNull() ? room : q.value(5).toInt();
        out.append(i);
    }
    return out;
}

QList<IcalStore::Taken> IcalStore::nuitsOccupees(int room, const QDate &debut, const QDate &fin) const
{
    Sql q(m_use.db(), QStringLiteral("SELECT r.r_date, r.info, i.nom, i.prenom, i.nom_ets FROM reserv r "
                                     "LEFT JOIN infos i ON i.id = r.info "
                                     "WHERE r.numero = :r AND r.r_date >= :d AND r.r_date < :f ORDER BY r.r_date"));
    q.bind(QStringLiteral(":r"), room)
        .bind(QStringLiteral(":d"), Format::isoDate(debut))
        .bind(QStringLiteral(":f"), Format::isoDate(fin));
    QList<Taken> out;
    while (q.next())
        out.append({isoDay(q.value(0)), q.value(1).toInt(), displayName(q.value(2), q.value(3), q.value(4))});
    return out;
}

void IcalStore::appliquerImport(const Writes &w)
{
    if (w.isEmpty())
        return;
    const QSqlDatabase db = m_use.db();
    Log log;
    Transaction transaction(db);
    Sql insertNight(db, QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, nbpers, nbenfants) "
                                       "VALUES (:d, :r, :c, :e, 0, 0)"));
    auto addNight = [&](int room, int client, const QDate &d) {
        try {
            insertNight.bind(QStringLiteral(":d"), Format::isoDate(d))
                .bind(QStringLiteral(":r"), room)
                .bind(QStringLiteral(":c"), client)
                .bind(QStringLiteral(":e"), w.etat)
                .exec();
        } catch (const UniqueViolation &) {
            throw RoomTakenError::byIndex(room, d);
        }
        log.journaliserAjoutReservation(insertNight.lastInsertId().toInt(), Format::date(d), QStringLiteral("0"),
                                        w.etat, QString::number(client), QString::number(room));
    };

    for (const NewStay &s : w.nouveaux) {
        if (const QDate taken = firstTaken(db, w.room, s.debut, s.fin, 0); taken.isValid())
            throw RoomTakenError(w.room, taken);
        Sql client(db, QStringLiteral("INSERT INTO infos (type, nom_ets, nom, prenom, tel, somme, fax, email, "
                                      "informations, adresse1, adresse2, codepostal, ville) "
                                      "VALUES (2, '', :n, '', '', 0, '', '', '', '', '', '', '')"));
        client.bind(QStringLiteral(":n"), s.clientName).exec();
        const int id = client.lastInsertId().toInt();
        log.journaliserAjoutClient(id);
        for (QDate d = s.debut; d < s.fin; d = d.addDays(1))
            addNight(w.room, id, d);
        Sql(db, QStringLiteral("INSERT INTO ical_import (numero_chambre, produit, uid, id_client, debut, fin, resume) "
                               "VALUES (:r, :p, :u, :c, :d, :f, :s)"))
            .bind(QStringLiteral(":r"), w.room)
            .bind(QStringLiteral(":p"), w.produit)
            .bind(QStringLiteral(":u"), s.uid)
            .bind(QStringLiteral(":c"), id)
            .bind(QStringLiteral(":d"), Format::isoDate(s.debut))
            .bind(QStringLiteral(":f"), Format::isoDate(s.fin))
            .bind(QStringLiteral(":s"), s.resume)
            .exec();
    }

    for (const ChangedStay &s : w.modifies) {
        const QHash<QDate, int> held = clientNights(db, s.client, s.room);
        for (QDate d = s.debut; d < s.fin; d = d.addDays(1)) {
            if (held.contains(d))
                continue;
            if (const QDate taken = firstTaken(db, s.room, d, d.addDays(1), s.client); taken.isValid())
                throw RoomTakenError(s.room, taken);
            addNight(s.room, s.client, d);
        }
        for (auto it = held.cbegin(); it != held.cend(); ++it)
            if (it.key() < s.debut || it.key() >= s.fin)
                deleteNight(db, it.value());
        Sql(db, QStringLiteral("UPDATE infos SET nom = :n WHERE id = :c"))
            .bind(QStringLiteral(":n"), s.clientName)
            .bind(QStringLiteral(":c"), s.client)
            .exec();
        Sql(db, QStringLiteral("UPDATE ical_import SET debut = :d, fin = :f, resume = :s "
                               "WHERE numero_chambre = :r AND produit = :p AND uid = :u"))
            .bind(QStringLiteral(":d"), Format::isoDate(s.debut))
            .bind(QStringLiteral(":f"), Format::isoDate(s.fin))
            .bind(QStringLiteral(":s"), s.resume.isNull() ? QVariant() : QVariant(s.resume))
            .bind(QStringLiteral(":r"), w.room)
            .bind(QStringLiteral(":p"), w.produit)
            .bind(QStringLiteral(":u"), s.uid)
            .exec();
    }

    for (const Removal &r : w.supprimes) {
        Sql(db, QStringLiteral("DELETE FROM reserv_prestations WHERE id_reserv IN (SELECT id FROM reserv WHERE info = :c)"))
            .bind(QStringLiteral(":c"), r.client)
            .exec();
        Sql(db, QStringLiteral("DELETE FROM reserv WHERE info = :c")).bind(QStringLiteral(":c"), r.client).exec();
        Sql(db, QStringLiteral("DELETE FROM ical_import WHERE numero_chambre = :r AND produit = :p AND uid = :u"))
            .bind(QStringLiteral(":r"), w.room)
            .bind(QStringLiteral(":p"), w.produit)
            .bind(QStringLiteral(":u"), r.uid)
            .exec();
        // The stay's own client goes with it unless a document or an e-mail names it.
        Sql(db, QStringLiteral("DELETE FROM infos WHERE id = :c AND id <> 1 "
                               "AND NOT EXISTS (SELECT 1 FROM facturation WHERE id_client = :c) "
                               "AND NOT EXISTS (SELECT 1 FROM devis WHERE id_client = :c) "
                               "AND NOT EXISTS (SELECT 1 FROM email_historique WHERE id_client = :c) "
                               "AND NOT EXISTS (SELECT 1 FROM ical_import WHERE id_client = :c)"))
            .bind(QStringLiteral(":c"), r.client)
            .exec();
    }
    transaction.commit();
}
