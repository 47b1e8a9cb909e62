#include "data/client.h"

#include "common/errors.h"
#include "common/format.h"
#include "data/dialect.h"
#include "data/sql.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>

#include <algorithm>

namespace {

constexpr int kListColumns = 8;

QVariant typeValue(int type)
{
    return type == 1 || type == 2 ? QVariant(type) : QVariant(QMetaType(QMetaType::Int));
}

QString text(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString();
}

// The rows sorted by name then first name, the French way ("Émile" beside
// "Emma", "de Sousa" among the D); each name's sort key is made once, not at
// every comparison.
template <typename Row, typename Names> QList<Row> sortedByName(QList<Row> rows, Names names)
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::French, QLocale::France));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    struct Keyed
    {
        QCollatorSortKey nom;
        QCollatorSortKey prenom;
        int index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const auto [nom, prenom] = names(rows[i]);
        keyed.push_back({collator.sortKey(nom), collator.sortKey(prenom), i});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        const int byName = a.nom.compare(b.nom);
        return byName != 0 ? byName < 0 : a.prenom.compare(b.prenom) < 0;
    });
    QList<Row> sorted;
    sorted.reserve(rows.size());
    for (const Keyed &k : keyed)
        sorted.append(std::move(rows[k.index]));
    return sorted;
}

// The contact fields every client statement of the entry panel writes.
Sql &bindContact(Sql &statement, const EntryClient &client)
{
    return statement.bind(QStringLiteral(":nom"), client.nom)
        .bind(QStringLiteral(":prenom"), client.prenom)
        .bind(QStringLiteral(":tel"), client.tel)
        .bind(QStringLiteral(":fax"), client.fax)
        .bind(QStringLiteral(":email"), client.email);
}

// An empty field is stored as an empty text, never as null.
QString stored(const QString &field)
{
    return field.isNull() ? QString(QLatin1String("")) : field;
}

// The fields of the card, in the card's coding.
Sql &bindCard(Sql &statement, const ClientRecord &c)
{
    const bool company = c.type == 1;
    return statement.bind(QStringLiteral(":type"), company ? 1 : 2)
        .bind(QStringLiteral(":nom_ets"), company ? stored(c.nomEts) : stored(QString()))
        .bind(QStringLiteral(":nom"), stored(c.nom))
        .bind(QStringLiteral(":prenom"), stored(c.prenom))
        .bind(QStringLiteral(":tel"), stored(c.tel))
        .bind(QStringLiteral(":fax"), stored(c.fax))
        .bind(QStringLiteral(":email"), stored(c.email))
        .bind(QStringLiteral(":adresse1"), stored(c.adresse1))
        .bind(QStringLiteral(":adresse2"), stored(c.adresse2))
        .bind(QStringLiteral(":codepostal"), stored(c.codepostal))
        .bind(QStringLiteral(":ville"), stored(c.ville))
        .bind(QStringLiteral(":informations"), stored(c.informations))
        .bind(QStringLiteral(":siren"), stored(company ? c.siren.trimmed() : QString()))
        .bind(QStringLiteral(":tva_intra"), stored(company ? c.tvaIntra.trimmed() : QString()));
}

// A LIKE pattern that finds at least every client whose field begins with the
// text: ASCII letters compare without case in SQLite, any other character is
// left to "_" and checked exactly afterwards. The user's "%", "_" and "\" are
// escaped so that they mean themselves.
QString prefilterPattern(const QString &search)
{
    QString pattern;
    for (const char32_t cp : search.toUcs4()) {
        if (cp >= 128) {
            pattern += QLatin1Char('_');
            continue;
        }
        const QChar c{char16_t(cp)};
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('%');
}

} // namespace

QStringList Client::listTitles()
{
    return {QStringLiteral("id"),        QStringLiteral("Entreprise"), QStringLiteral("Nom"),
            QStringLiteral("Prénom"),    QStringLiteral("Téléphone"),  QStringLiteral("Fax"),
            QStringLiteral("Email"),     QStringLiteral("Première Résa")};
}

std::optional<ClientRecord> Client::lire(int id) const
{
    Sql q(m_use.db(), QStringLiteral("SELECT id, type, nom_ets, nom, prenom, tel, fax, email, adresse1, adresse2, "
                                     "codepostal, ville, informations, siren, tva_intra FROM infos WHERE id = :id"));
    const QList<QVariantList> rows = q.bind(QStringLiteral(":id"), id).rows();
    if (rows.isEmpty())
        return std::nullopt;
    const QVariantList &r = rows.first();
    ClientRecord c;
    c.id = r[0].toInt();
    c.type = r[1].toInt();
    c.nomEts = text(r[2]);
    c.nom = text(r[3]);
    c.prenom = text(r[4]);
    c.tel = text(r[5]);
    c.fax = text(r[6]);
    c.email = text(r[7]);
    c.adresse1 = text(r[8]);
    c.adresse2 = text(r[9]);
    c.codepostal = text(r[10]);
    c.ville = text(r[11]);
    c.informations = text(r[12]);
    c.informationsNull = r[12].isNull();
    c.siren = text(r[13]);
    c.tvaIntra = text(r[14]);
    return c;
}

std::optional<QSqlRecord> Client::ligne(int id) const
{
    Sql q(m_use.db(), QStringLiteral("SELECT * FROM infos WHERE id = :id"));
    q.bind(QStringLiteral(":id"), id).exec();
    if (!q.next())
        return std::nullopt;
    return q.query().record();
}

int Client::creerClient()
{
    Sql insert(m_use.db(), QStringLiteral("INSERT INTO infos (type, somme) VALUES (2, 0)"));
    insert.exec();
    return insert.lastInsertId().toInt();
}

int Client::ajouterClient(const ClientRecord &client)
{
    Sql insert(m_use.db(),
               QStringLiteral("INSERT INTO infos (type, nom_ets, nom, prenom, tel, somme, fax, email, adresse1, "
                              "adresse2, codepostal, ville, informations, siren, tva_intra) VALUES (:type, :nom_ets, :nom, "
                              ":prenom, :tel, 0, :fax, :email, :adresse1, :adresse2, :codepostal, :ville, "
                              ":informations, :siren, :tva_intra)"));
    bindCard(insert, client).exec();
    return insert.lastInsertId().toInt();
}

void Client::enregistrerFiche(const ClientRecord &client)
{
    Sql update(m_use.db(),
               QStringLiteral("UPDATE infos SET type = :type, nom_ets = :nom_ets, nom = :nom, prenom = :prenom, "
                              "tel = :tel, fax = :fax, email = :email, adresse1 = :adresse1, adresse2 = :adresse2, "
                              "codepostal = :codepostal, ville = :ville, informations = :informations, "
                              "siren = :siren, tva_intra = :tva_intra WHERE id = :id"));
    bindCard(update, client).bind(QStringLiteral(":id"), client.id).exec();
    if (update.numRowsAffected() == 0)
        throw DatabaseError(QStringLiteral("La fiche du client n° ") + QString::number(client.id) +
                            QStringLiteral(" n'existe plus : rien n'a été enregistré."));
}

bool Client::supprimerClient(int id)
{
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    Sql(db, QStringLiteral("DELETE FROM reserv_prestations WHERE id_reserv IN (SELECT id FROM reserv WHERE info = :id)"))
        .bind(QStringLiteral(":id"), id)
        .exec();
    Sql(db, QStringLiteral("DELETE FROM reserv WHERE info = :id")).bind(QStringLiteral(":id"), id).exec();
    Sql client(db, QStringLiteral("DELETE FROM infos WHERE id = :id"));
    client.bind(QStringLiteral(":id"), id).exec();
    const bool deleted = client.numRowsAffected() > 0;
    transaction.commit();
    return deleted;
}

bool Client::commencePar(const QString &value, const QString &text)
{
    return value.startsWith(text, Qt::CaseInsensitive);
}

QList<ClientListRow> Client::lireListe(const QString &recherche) const
{
    const bool all = recherche.isEmpty() || recherche == QStringLiteral("%");
    QList<ClientListRow> rows;
    const auto read = [&](const QString &statement, bool withFirstNight) {
        RowReader q(m_use.db(), statement);
        if (!all)
            q.bind(QStringLiteral(":p"), prefilterPattern(recherche));
        while (q.next()) {
            ClientListRow r;
            r.id = q.toInt(0);
            r.nomEts = q.text(1);
            r.nom = q.text(2);
            r.prenom = q.text(3);
            r.tel = q.text(4);
            r.fax = q.text(5);
            r.email = q.text(6);
            if (withFirstNight && !q.isNull(7))
                r.premiere = q.isoDate(7);
            rows.append(std::move(r));
        }
    };
    const QString like = Dialect::likeOperator(m_use.db());
    const QString where = all ? QString()
                              : QStringLiteral(" WHERE nom_ets %1 :p ESCAPE '\\' OR nom %1 :p ESCAPE '\\' "
                                               "OR prenom %1 :p ESCAPE '\\' OR email %1 :p ESCAPE '\\'")
                                    .arg(like);
    try {
        read(QStringLiteral("SELECT id, nom_ets, nom, prenom, tel, fax, email, "
                            "(SELECT MIN(r_date) FROM reserv WHERE reserv.info = infos.id) AS pdate FROM infos") +
                 where,
             true);
    } catch (const DatabaseError &) {
        // Without the first nights the list is still worth showing.
        rows.clear();
        read(QStringLiteral("SELECT id, nom_ets, nom, prenom, tel, fax, email FROM infos") + where, false);
    }

    const QList<ClientListRow> sorted = sortedByName(std::move(rows), [](const ClientListRow &r) {
        return std::pair<const QString &, const QString &>(r.nom, r.prenom);
    });
    // The database only narrowed the rows down; the exact rule decides.
    return all ? sorted : filtrerLignes(sorted, recherche);
}

QString Client::listText(const ClientListRow &row, int column)
{
    switch (column) {
    case 0: return QString::number(row.id);
    case 1: return row.nomEts;
    case 2: return row.nom;
    case 3: return row.prenom;
    case 4: return row.tel;
    case 5: return row.fax;
    case 6: return row.email;
    case 7: return row.premiere.isValid() ? Format::date(row.premiere) : QString();
    default: return {};
    }
}

QList<ClientListRow> Client::filtrerLignes(const QList<ClientListRow> &rows, const QString &recherche)
{
    if (recherche.isEmpty() || recherche == QStringLiteral("%"))
        return rows;
    QList<ClientListRow> out;
    for (const ClientListRow &r : rows) {
        if (commencePar(r.nomEts, recherche) || commencePar(r.nom, recherche) || commencePar(r.prenom, recherche) ||
            commencePar(r.email, recherche))
            out.append(r);
    }
    return out;
}

TextGrid Client::listeClients(const QString &recherche) const
{
    const QList<ClientListRow> rows = lireListe(recherche);
    TextGrid grid(1 + std::max<qsizetype>(1, rows.size()), kListColumns);
    grid.setRow(0, listTitles());
    for (int r = 0; r < rows.size(); ++r) {
        QStringList cells;
        cells.reserve(kListColumns);
        for (int c = 0; c < kListColumns; ++c)
            cells << listText(rows.at(r), c);
        grid.setRow(r + 1, cells);
    }
    return grid;
}

TextGrid Client::filtrerListe(const TextGrid &liste, const QString &recherche)
{
    if (recherche.isEmpty() || recherche == QStringLiteral("%"))
        return liste;
    TextGrid grid(1, kListColumns);
    grid.setRow(0, liste.row(0));
    for (int r = 1; r < liste.rowCount(); ++r) {
        if (liste.isRowEmpty(r))
            continue;
        for (int c : {1, 2, 3, 6}) {
            if (commencePar(liste.cell(r, c), recherche)) {
                grid.appendRow(liste.row(r));
                break;
            }
        }
    }
    if (grid.rowCount() < 2)
        grid.setRowCount(2);
    return grid;
}

QList<int> Client::autresClients() const
{
    QList<int> ids;
    Sql q(m_use.db(), QStringLiteral("SELECT id FROM infos WHERE id <> :hotel ORDER BY id"));
    for (const QVariantList &row : q.bind(QStringLiteral(":hotel"), defaultClient).rows())
        ids << row.at(0).toInt();
    return ids;
}

QList<QSqlRecord> Client::listeFenetrePrincipale(const QSqlDatabase &db)
{
    Sql query(db, QStringLiteral("SELECT infos.* FROM infos ORDER BY infos.nom,infos.prenom"));
    query.exec();
    QList<QSqlRecord> clients;
    while (query.next())
        clients << query.query().record();
    // The database compares bytes; a French reader expects "Émile" beside "Emma"
    // and "de Sousa" among the D.
    if (clients.isEmpty())
        return clients;
    const int nom = clients.first().indexOf(QStringLiteral("nom"));
    const int prenom = clients.first().indexOf(QStringLiteral("prenom"));
    return sortedByName(std::move(clients), [nom, prenom](const QSqlRecord &r) {
        return std::pair<QString, QString>(r.value(nom).toString(), r.value(prenom).toString());
    });
}

int Client::creerClientPanneau(const EntryClient &client)
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

void Client::majClientPanneau(const EntryClient &client)
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

int Client::enregistrerLignePanneau(const EntryClient &client)
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

bool Client::supprimerClientPanneau(int id)
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
