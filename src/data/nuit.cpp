#include "data/nuit.h"

#include "common/format.h"
#include "data/sql.h"

namespace {

Sql &bindDay(Sql &q, int room, const QDate &day)
{
    return q.bind(QStringLiteral(":numero"), room)
        .bind(QStringLiteral(":debut"), Format::isoDate(day))
        .bind(QStringLiteral(":fin"), Format::isoDate(day.addDays(1)));
}

const char *const kDayCondition = " numero = :numero AND r_date >= :debut AND r_date < :fin ";

} // namespace

std::optional<Nuit::Ligne> Nuit::premiere(int room, const QDate &day) const
{
    Sql q(m_use.db(), QStringLiteral("SELECT id, info, etat, reglement, nbpers, nbenfants FROM reserv WHERE") +
                          QLatin1String(kDayCondition) + QStringLiteral("ORDER BY r_date, id LIMIT 1"));
    const QList<QVariantList> rows = bindDay(q, room, day).rows();
    if (rows.isEmpty())
        return std::nullopt;
    const QVariantList &row = rows.first();
    return Ligne{row[0].toInt(), row[1], row[2].toString(), row[3], row[4], row[5]};
}

void Nuit::modifier(int id, const QString &etat, const QVariant &reglement, const QVariant &nbpers,
                    const QVariant &nbenfants, const QVariant &info)
{
    const struct
    {
        const char *column;
        const QVariant &value;
    } columns[] = {{"reglement", reglement}, {"nbpers", nbpers}, {"nbenfants", nbenfants}, {"info", info}};
    QString set = QStringLiteral("UPDATE reserv SET etat = :etat");
    for (const auto &o : columns)
        if (o.value.isValid())
            set += QStringLiteral(", %1 = :%1").arg(QLatin1String(o.column));
    Sql update(m_use.db(), set + QStringLiteral(" WHERE id = :id"));
    update.bind(QStringLiteral(":etat"), etat).bind(QStringLiteral(":id"), id);
    for (const auto &o : columns)
        if (o.value.isValid())
            update.bind(QStringLiteral(":%1").arg(QLatin1String(o.column)), o.value);
    update.exec();
}

void Nuit::supprimerJour(int room, const QDate &day)
{
    const QSqlDatabase db = m_use.db();
    Sql services(db, QStringLiteral("DELETE FROM reserv_prestations WHERE id_reserv IN "
                                    "(SELECT id FROM reserv WHERE") +
                         QLatin1String(kDayCondition) + QLatin1Char(')'));
    bindDay(services, room, day).exec();
    Sql nights(db, QStringLiteral("DELETE FROM reserv WHERE") + QLatin1String(kDayCondition));
    bindDay(nights, room, day).exec();
}

int Nuit::creer(int room, const QDate &day, int client, const QString &etat, const QVariant &reglement,
                const QVariant &nbpers, const QVariant &nbenfants)
{
    Sql insert(m_use.db(), QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, reglement, nbpers, "
                                          "nbenfants) VALUES (:r_date, :numero, :info, :etat, :reglement, "
                                          ":nbpers, :nbenfants)"));
    insert.bind(QStringLiteral(":r_date"), Format::isoDate(day))
        .bind(QStringLiteral(":numero"), room)
        .bind(QStringLiteral(":info"), client)
        .bind(QStringLiteral(":etat"), etat)
        .bind(QStringLiteral(":reglement"), reglement)
        .bind(QStringLiteral(":nbpers"), nbpers)
        .bind(QStringLiteral(":nbenfants"), nbenfants)
        .exec();
    return insert.lastInsertId().toInt();
}

int Nuit::compter() const
{
    return Sql(m_use.db(), QStringLiteral("SELECT COUNT(*) FROM reserv")).scalar().toInt();
}
