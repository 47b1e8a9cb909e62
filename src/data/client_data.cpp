#include "data/client_data.h"

#include "common/errors.h"
#include "data/log.h"
#include "data/dialect.h"
#include "data/sql.h"

#include <QSqlRecord>

namespace {

QList<QVariantMap> maps(const QSqlDatabase &db, const QString &statement, int id)
{
    Sql q(db, statement);
    q.bind(QStringLiteral(":id"), id);
    QList<QVariantMap> out;
    while (q.next()) {
        const QSqlRecord record = q.query().record();
        QVariantMap row;
        for (int i = 0; i < record.count(); ++i)
            row.insert(record.fieldName(i), record.value(i));
        out.append(row);
    }
    return out;
}

int count(const QSqlDatabase &db, const QString &statement, int id)
{
    return Sql(db, statement).bind(QStringLiteral(":id"), id).scalar().toInt();
}

} // namespace

ClientData::ClientData() = default;

QString ClientData::nomEfface(int id)
{
    return QStringLiteral("Client effacé n° %1").arg(id);
}

std::optional<ClientData::All> ClientData::lire(int id) const
{
    const QSqlDatabase db = m_use.db();
    const QList<QVariantMap> client = maps(db, QStringLiteral("SELECT * FROM infos WHERE id = :id"), id);
    if (client.isEmpty())
        return std::nullopt;
    All all;
    all.client = client.first();
    for (const QVariantMap &night :
         maps(db, QStringLiteral("SELECT * FROM reserv WHERE info = :id ORDER BY numero, r_date, id"), id)) {
        Night n;
        n.row = night;
        n.prestations = maps(db,
                             QStringLiteral("SELECT rp.id_prestations AS id_prestation, COALESCE("
                                            "(SELECT libelle FROM prestations p WHERE p.id_prestation = rp.id_prestations "
                                            "AND p.numero_chambre = r.numero), "
                                            "(SELECT MIN(libelle) FROM prestations p WHERE p.id_prestation = rp.id_prestations)) "
                                            "AS libelle, "
                                            "rp.nb FROM reserv_prestations rp JOIN reserv r ON r.id = rp.id_reserv "
                                            "WHERE rp.id_reserv = :id ORDER BY rp.id"),
                             night.value(QStringLiteral("id")).toInt());
        all.nuits.append(n);
    }
    for (const QVariantMap &row : maps(db, QStringLiteral("SELECT * FROM facturation WHERE id_client = :id ORDER BY id"), id))
        all.factures.append({row, maps(db, QStringLiteral("SELECT * FROM facturation_item WHERE id_facture = :id ORDER BY id"),
                                       row.value(QStringLiteral("id")).toInt())});
    for (const QVariantMap &row : maps(db, QStringLiteral("SELECT * FROM devis WHERE id_client = :id ORDER BY id"), id))
        all.devis.append({row, maps(db, QStringLiteral("SELECT * FROM devis_item WHERE id_devis = :id ORDER BY id"),
                                    row.value(QStringLiteral("id")).toInt())});
    all.emails = maps(db, QStringLiteral("SELECT * FROM email_historique WHERE id_client = :id ORDER BY id"), id);
    all.reservationsEnLigne = maps(db, QStringLiteral("SELECT * FROM ical_import WHERE id_client = :id ORDER BY id"), id);
    return all;
}

std::optional<ClientRecord> ClientData::acheteurConserve(int facture) const
{
    const QList<QVariantMap> rows = maps(m_use.db(), QStringLiteral("SELECT * FROM facture_acheteur WHERE id_facture = :id"), facture);
    if (rows.isEmpty())
        return std::nullopt;
    const QVariantMap &r = rows.first();
    auto t = [&r](const char *column) { return r.value(QString::fromLatin1(column)).toString(); };
    ClientRecord c;
    c.type = r.value(QStringLiteral("type")).toInt();
    c.nomEts = t("nom_ets");
    c.nom = t("nom");
    c.prenom = t("prenom");
    c.adresse1 = t("adresse1");
    c.adresse2 = t("adresse2");
    c.codepostal = t("codepostal");
    c.ville = t("ville");
    c.siren = t("siren");
    c.tvaIntra = t("tva_intra");
    c.email = t("email");
    return c;
}

ClientData::Counts ClientData::compter(int id) const
{
    const QSqlDatabase db = m_use.db();
    Counts c;
    c.factures = count(db, QStringLiteral("SELECT COUNT(*) FROM facturation WHERE id_client = :id"), id);
    c.devis = count(db, QStringLiteral("SELECT COUNT(*) FROM devis WHERE id_client = :id"), id);
    c.nuits = count(db, QStringLiteral("SELECT COUNT(*) FROM reserv WHERE info = :id"), id);
    c.emails = count(db, QStringLiteral("SELECT COUNT(*) FROM email_historique WHERE id_client = :id"), id);
    return c;
}

ClientData::Counts ClientData::effacer(int id)
{
    if (id == 1)
        throw KestrovaError(QStringLiteral("La fiche de l'hôtel (client 1) ne peut pas être effacée."));
    const QSqlDatabase db = m_use.db();
    if (!Sql(db, QStringLiteral("SELECT 1 FROM infos WHERE id = :id")).bind(QStringLiteral(":id"), id).scalar().isValid())
        throw KestrovaError(QStringLiteral("Le client n° %1 n'existe pas.").arg(id));
    const Counts counts = compter(id);
    // Deleted and rewritten values are overwritten in the file, not only unlinked.
    // (PostgreSQL's own storage is the server's: its old row versions go at its next vacuum.)
    const bool sqlite = !Dialect::isPostgresql(db);
    if (sqlite)
        execSql(db, QStringLiteral("PRAGMA secure_delete = ON"));
    try {
        Log log;
        Transaction transaction(db);
        Sql(db, QStringLiteral("INSERT INTO facture_acheteur (id_facture, type, nom_ets, nom, prenom, adresse1, "
                               "adresse2, codepostal, ville, siren, tva_intra, email) "
                               "SELECT f.id, i.type, i.nom_ets, i.nom, i.prenom, i.adresse1, i.adresse2, i.codepostal, "
                               "i.ville, i.siren, i.tva_intra, i.email FROM facturation f JOIN infos i ON i.id = f.id_client "
                               "WHERE f.id_client = :id ON CONFLICT (id_facture) DO NOTHING"))
            .bind(QStringLiteral(":id"), id)
            .exec();
        Sql(db, QStringLiteral("UPDATE infos SET nom = :nom, prenom = '', nom_ets = '', tel = '', fax = '', "
                               "email = '', informations = '', adresse1 = '', adresse2 = '', codepostal = '', "
                               "ville = '', siren = '', tva_intra = '' WHERE id = :id"))
            .bind(QStringLiteral(":nom"), nomEfface(id))
            .bind(QStringLiteral(":id"), id)
            .exec();
        Sql(db, QStringLiteral("DELETE FROM email_historique WHERE id_client = :id")).bind(QStringLiteral(":id"), id).exec();
        Sql(db, QStringLiteral("UPDATE devis SET adresse_facturation = :nom, commentaires = '' WHERE id_client = :id"))
            .bind(QStringLiteral(":nom"), nomEfface(id))
            .bind(QStringLiteral(":id"), id)
            .exec();
        Sql(db, QStringLiteral("UPDATE ical_import SET resume = NULL WHERE id_client = :id"))
            .bind(QStringLiteral(":id"), id)
            .exec();
        log.anonymiserClient(id);
        log.journaliserEffacementClient(id, counts.factures, counts.nuits);
        transaction.commit();
    } catch (...) {
        if (sqlite)
            execSql(db, QStringLiteral("PRAGMA secure_delete = OFF"));
        throw;
    }
    if (!sqlite)
        return counts;
    execSql(db, QStringLiteral("PRAGMA secure_delete = OFF"));
    // Older copies of the pages may still sit in the write-ahead log: fold it
    // into the file now. Another connection reading may delay this; the next
    // checkpoint does it then.
    try {
        execSql(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    } catch (const DatabaseError &) {
    }
    return counts;
}
