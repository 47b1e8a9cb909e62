#include "data/email.h"

#include "common/format.h"
#include "common/text_grid.h"
#include "data/sql.h"

Email::Email() = default;

int Email::ajouterEmail(int idClient, const QString &objet, const QString &message)
{
    Sql q(
        m_use.db(),
        QStringLiteral("INSERT INTO email_historique (id_client, objet, email_message) VALUES (:c, :o, :m)"));
    q.bind(QStringLiteral(":c"), idClient)
        .bind(QStringLiteral(":o"), objet)
        .bind(QStringLiteral(":m"), message);
    q.exec();
    return q.lastInsertId().toInt();
}

int Email::afficherEmailsClient(const QString &idClient, TextGrid &grille) const
{
    bool ok = false;
    const int id = idClient.trimmed().toInt(&ok);
    if (!ok)
        return 0;
    const QList<QVariantList> rows =
        Sql(m_use.db(), QStringLiteral("SELECT id, date_envoi, objet FROM email_historique "
                                       "WHERE id_client = :c ORDER BY id DESC"))
            .bind(QStringLiteral(":c"), id)
            .rows();
    for (const QVariantList &r : rows)
        grille.appendRow(
            {r.at(0).toString(), Format::date(Format::fromIsoDate(r.at(1).toString())), r.at(2).toString()});
    return int(rows.size());
}

bool Email::supprimerEmail(int id)
{
    Sql q(m_use.db(), QStringLiteral("DELETE FROM email_historique WHERE id = :id"));
    q.bind(QStringLiteral(":id"), id).exec();
    return q.numRowsAffected() > 0;
}
