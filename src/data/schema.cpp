#include "data/schema.h"

#include "common/errors.h"
#include "common/format.h"
#include "data/dialect.h"
#include "settings/settings.h"
#include "data/sql.h"

#include <QDate>

#include <QList>
#include <QSet>

namespace {

struct Column
{
    const char *name;
    const char *type;
};

struct Table
{
    const char *name;
    QList<Column> columns;
};

// Types of the old engine translated for SQLite: COUNTER is an INTEGER key with
// AUTOINCREMENT (numbers never reused), DATETIME holds ISO text, Date() is
// today's local date. Dialect::columnType maps them for PostgreSQL.
const char *const kCounter = "INTEGER PRIMARY KEY AUTOINCREMENT";
const char *const kToday = "DATETIME DEFAULT (date('now','localtime'))";

// Invoices and quotes share their columns (a quote adds two), and so do their lines
// but for the column naming the document they belong to.
QList<Column> documentColumns()
{
    return {{"id", kCounter},
            {"f_date", "DATETIME"},
            {"id_client", "INT"},
            {"mode_reglement", "VARCHAR(20)"},
            {"adresse_facturation", "TEXT"},
            {"total_ht", "DOUBLE"},
            {"total_tva", "DOUBLE"},
            {"total_ttc", "DOUBLE"},
            {"sejour_debut", kToday},
            {"sejour_fin", kToday},
            {"acompte", "DOUBLE"},
            {"remise", "DOUBLE"}};
}

QList<Column> lineColumns(const char *documentKey)
{
    return {{"id", kCounter},
            {documentKey, "INT"},
            {"nb", "INT"},
            {"libelle", "VARCHAR(250)"},
            {"tarif_ht", "DOUBLE"},
            {"taux_tva", "DOUBLE"},
            {"tarif_ttc", "DOUBLE"},
            {"numero_chambre", "INT"},
            {"id_prestation", "INT"}};
}

const QList<Table> &tables()
{
    static const QList<Table> t = {
        {"infos",
         {{"id", kCounter},
          {"type", "INT"},
          {"nom_ets", "VARCHAR(200)"},
          {"nom", "VARCHAR(100)"},
          {"prenom", "VARCHAR(100)"},
          {"tel", "VARCHAR(30)"},
          {"somme", "INT"},
          {"fax", "VARCHAR(30)"},
          {"email", "VARCHAR(200)"},
          {"informations", "TEXT"},
          {"adresse1", "VARCHAR(250)"},
          {"adresse2", "VARCHAR(250)"},
          {"codepostal", "VARCHAR(10)"},
          {"ville", "VARCHAR(250)"},
          // Business clients' identifiers for their electronic invoices.
          {"siren", "VARCHAR(20)"},
          {"tva_intra", "VARCHAR(20)"}}},
        {"reserv",
         {{"id", kCounter},
          {"r_date", "DATETIME"},
          {"numero", "INT"},
          {"info", "INT"},
          {"etat", "VARCHAR(30)"},
          {"reglement", "INT"},
          {"nbpers", "INT"},
          {"nbenfants", "INT"}}},
        {"log",
         {{"id", kCounter},
          {"datelog", kToday},
          {"operation", "VARCHAR(50)"},
          {"avant", "TEXT"},
          {"apres", "TEXT"}}},
        {"prestations",
         {{"id", kCounter},
          {"id_prestation", "INT"},
          {"libelle", "VARCHAR(100)"},
          {"numero_chambre", "INT"},
          {"tarif_ht", "DOUBLE"},
          {"tarif_tva", "DOUBLE"},
          {"tarif_ttc", "DOUBLE"},
          {"chk_gratuit_enfant", "INT"},
          {"chk_add_auto", "INT"}}},
        // facturx: when the invoice's electronic copy (Factur-X) was last written.
        {"facturation", documentColumns() + QList<Column>{{"facturx", "DATETIME"}}},
        {"facturation_item", lineColumns("id_facture")},
        {"tva", {{"id", kCounter}, {"taux", "DOUBLE"}}},
        {"reserv_prestations",
         {{"id", kCounter}, {"id_reserv", "INT"}, {"id_prestations", "INT"}, {"nb", "INT"}}},
        {"devis", documentColumns() + QList<Column>{{"commentaires", "TEXT"}, {"id_chambre", "INT"}}},
        {"devis_item", lineColumns("id_devis")},
        {"email_historique",
         {{"id", kCounter},
          {"id_client", "INT"},
          {"objet", "TEXT"},
          {"email_message", "TEXT"},
          {"date_envoi", kToday}}},
        {"calendrier_tarifaire",
         {{"id", kCounter}, {"id_periode", "INT"}, {"date_debut", "DATETIME"}, {"date_fin", "DATETIME"}}},
        {"periodes", {{"id", kCounter}, {"libelle", "TEXT"}}},
        {"prestations_tarifs",
         {{"id_prestation", "INT"},
          {"id_periode", "INT"},
          {"numero_chambre", "INT"},
          {"tarif_ht", "DOUBLE"},
          {"tarif_tva", "DOUBLE"},
          {"tarif_ttc", "DOUBLE"}}},
        // Channel calendars. What each exported stay was last published as, so
        // that a stay keeps its UID and its SEQUENCE rises only when it changes.
        {"ical_export",
         {{"uid", "TEXT PRIMARY KEY"},
          {"sequence", "INT"},
          {"empreinte", "TEXT"},
          {"dtstamp", "TEXT"}}},
        // The UID each night was last exported under: a stay moved to another
        // room or lengthened keeps the UID of the nights it kept.
        {"ical_export_nuit", {{"id_reserv", "INTEGER PRIMARY KEY"}, {"uid", "TEXT"}}},
        // The buyer of an invoice as the client's card held it when the client's
        // personal data were erased: the electronic invoice keeps naming him.
        {"facture_acheteur",
         {{"id_facture", "INTEGER PRIMARY KEY"},
          {"type", "INT"},
          {"nom_ets", "VARCHAR(200)"},
          {"nom", "VARCHAR(100)"},
          {"prenom", "VARCHAR(100)"},
          {"adresse1", "VARCHAR(250)"},
          {"adresse2", "VARCHAR(250)"},
          {"codepostal", "VARCHAR(10)"},
          {"ville", "VARCHAR(250)"},
          {"siren", "VARCHAR(20)"},
          {"tva_intra", "VARCHAR(20)"},
          {"email", "VARCHAR(200)"}}},
        // Stays imported from a booking site's feed: one client of their own each,
        // the dates last read in the feed (departure day exclusive).
        {"ical_import",
         {{"id", kCounter},
          {"numero_chambre", "INT"},
          {"produit", "TEXT"},
          {"uid", "TEXT"},
          {"id_client", "INT"},
          {"debut", "DATETIME"},
          {"fin", "DATETIME"},
          {"resume", "TEXT"}}},
    };
    return t;
}

// Indexes for the planning and stay queries (room and night, client, services of a night).
const QList<QPair<const char *, const char *>> &indexes()
{
    static const QList<QPair<const char *, const char *>> i = {
        {"idx_reserv_numero_date", "reserv (numero, r_date)"},
        {"idx_reserv_date", "reserv (r_date)"},
        // Everything the planning reads of a night, in date order: a month is
        // read from the index alone, without a lookup of each night's row.
        {"idx_reserv_date_planning", "reserv (r_date, id, numero, info, etat)"},
        {"idx_reserv_info", "reserv (info, r_date)"},
        {"idx_reserv_prestations_reserv", "reserv_prestations (id_reserv, id_prestations, nb)"},
        {"idx_prestations_service_room", "prestations (id_prestation, numero_chambre)"},
        {"idx_prestations_tarifs_service", "prestations_tarifs (id_prestation, id_periode, numero_chambre)"},
        {"idx_facturation_item_facture", "facturation_item (id_facture)"},
        {"idx_devis_item_devis", "devis_item (id_devis)"},
        {"idx_ical_import_feed", "ical_import (numero_chambre, produit, uid)"},
        {"idx_ical_export_nuit_uid", "ical_export_nuit (uid)"},
    };
    return i;
}

QString name(const char *n)
{
    return QString::fromLatin1(n);
}

const Table *findTable(const QString &tableName)
{
    for (const Table &t : tables())
        if (name(t.name) == tableName)
            return &t;
    return nullptr;
}

bool isNonConstantDefault(const Column &c)
{
    return QByteArray(c.type).contains("(date(");
}

// No room holds two rows for one night: two desks saving the same night at
// once give one stay and one refusal. Made only when the data allow it.
const char *const kRoomNightIndex = "idx_reserv_chambre_nuit";

QString createStatement(const QSqlDatabase &db, const QString &tableName, const QList<Column> &columns,
                        const QStringList &extra = {})
{
    QStringList lines;
    for (const Column &c : columns)
        lines << QStringLiteral("  ") + name(c.name) + QLatin1Char(' ') + Dialect::columnType(db, name(c.type));
    for (const QString &e : extra)
        lines << QStringLiteral("  ") + e;
    return QStringLiteral("CREATE TABLE ") + tableName + QStringLiteral(" (\n") + lines.join(QStringLiteral(",\n"))
           + QStringLiteral("\n)");
}

QStringList existingTables(const QSqlDatabase &db)
{
    return Dialect::tableNames(db);
}

// name -> declaration text, in table order
QList<QPair<QString, QString>> existingColumns(const QSqlDatabase &db, const QString &table)
{
    return Dialect::columns(db, table);
}

// Rooms and nights held by more than one row (data from before the unique index).
QList<Schema::DoubleNight> doubleNights(const QSqlDatabase &db)
{
    QList<Schema::DoubleNight> out;
    Sql q(db, QStringLiteral("SELECT numero, r_date FROM reserv GROUP BY numero, r_date HAVING COUNT(*) > 1 "
                             "ORDER BY r_date, numero"));
    for (const QVariantList &row : q.rows())
        out.append({row.at(0).toInt(), QDate::fromString(row.at(1).toString().left(10), Qt::ISODate)});
    return out;
}

void insertVat(const QSqlDatabase &db, double rate)
{
    Sql(db, QStringLiteral("INSERT INTO tva (taux) VALUES (:taux)")).bind(QStringLiteral(":taux"), rate).exec();
}

void createTable(const QSqlDatabase &db, const Table &t, bool freshDatabase, QStringList *changes)
{
    execSql(db, createStatement(db, name(t.name), t.columns));
    if (!freshDatabase)
        changes->append(QStringLiteral("table %1 créée").arg(name(t.name)));
    const QString n = name(t.name);
    if (n == QLatin1String("infos")) {
        // Client 1 is the hotel itself and the default client of every night saved without one.
        execSql(db, QStringLiteral("INSERT INTO infos (type,nom_ets,somme) VALUES (1,'Mon Hotel',0)"));
    } else if (n == QLatin1String("tva")) {
        // A new database offers today's rates; a database upgraded from a version
        // without rates gets the rates of the time it was made.
        if (freshDatabase) {
            insertVat(db, 20);
            insertVat(db, 10);
        } else {
            insertVat(db, 19.6);
            insertVat(db, 5.5);
        }
    }
}

// Rebuilds a table whose missing columns SQLite cannot add in place (a column
// whose default is today's date): new table, rows copied with their ids, the
// counter kept, old table dropped. Columns unknown to this version are kept.
void rebuildTable(const QSqlDatabase &db, const Table &t, const QList<QPair<QString, QString>> &existing)
{
    const QString n = name(t.name);
    const QString old = n + QStringLiteral("__avant_mise_a_jour");
    QSet<QString> known;
    for (const Column &c : t.columns)
        known.insert(name(c.name).toLower());
    QSet<QString> have;
    for (const auto &c : existing)
        have.insert(c.first.toLower());
    QStringList extra;
    QStringList common;
    for (const auto &[colName, decl] : existing) {
        if (known.contains(colName.toLower()))
            common << colName;
        else
            extra << colName + QLatin1Char(' ') + decl;
    }
    for (const QString &e : extra)
        common << e.section(QLatin1Char(' '), 0, 0);

    const QVariant sequence =
        Sql(db, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = :n")).bind(QStringLiteral(":n"), n).scalar();
    execSql(db, QStringLiteral("ALTER TABLE ") + n + QStringLiteral(" RENAME TO ") + old);
    execSql(db, createStatement(db, n, t.columns, extra));
    // Columns new to the table stay empty for the old rows (as a column added in
    // place would), rather than taking today's date as if it were a real value.
    QStringList targets = common;
    QStringList values = common;
    for (const Column &c : t.columns) {
        if (!have.contains(name(c.name).toLower())) {
            targets << name(c.name);
            values << QStringLiteral("NULL");
        }
    }
    execSql(db, QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
                    .arg(n, targets.join(QLatin1Char(',')), values.join(QLatin1Char(',')), old));
    execSql(db, QStringLiteral("DROP TABLE ") + old);
    if (sequence.isValid()) {
        Sql(db, QStringLiteral("UPDATE sqlite_sequence SET seq = MAX(seq, :s) WHERE name = :n"))
            .bind(QStringLiteral(":s"), sequence)
            .bind(QStringLiteral(":n"), n)
            .exec();
    }
}

void upgradeTable(const QSqlDatabase &db, const Table &t, QStringList *changes)
{
    const QList<QPair<QString, QString>> existing = existingColumns(db, name(t.name));
    QSet<QString> have;
    for (const auto &c : existing)
        have.insert(c.first.toLower());
    QList<Column> missing;
    bool needsRebuild = false;
    for (const Column &c : t.columns) {
        if (!have.contains(name(c.name).toLower())) {
            missing.append(c);
            needsRebuild = needsRebuild || isNonConstantDefault(c);
        }
    }
    if (missing.isEmpty())
        return;
    if (Dialect::isPostgresql(db)) {
        // The old rows get no value, as an SQLite column added in place; the
        // default serves the rows written from now on.
        for (const Column &c : missing) {
            const QString type = Dialect::columnType(db, name(c.type));
            const qsizetype at = type.indexOf(QLatin1String(" DEFAULT "));
            execSql(db, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(name(t.name), name(c.name), type.left(at)));
            if (at >= 0)
                execSql(db, QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 SET%3")
                                .arg(name(t.name), name(c.name), type.mid(at)));
        }
    } else if (needsRebuild) {
        rebuildTable(db, t, existing);
    } else {
        for (const Column &c : missing)
            execSql(db, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(name(t.name), name(c.name), name(c.type)));
    }
    for (const Column &c : missing)
        changes->append(QStringLiteral("colonne %1.%2 ajoutée").arg(name(t.name), name(c.name)));
}

// PostgreSQL: every commit that writes a table notifies the other desks
// (channel kestrova_changes, see ChangeWatcher). One statement-level trigger
// per table; NOTIFY waits for the commit and one transaction notifies once.
QString changeTrigger(const Table &t)
{
    return QStringLiteral("kestrova_changes_") + name(t.name);
}

bool changeTriggersPresent(const QSqlDatabase &db)
{
    if (!Dialect::isPostgresql(db))
        return true;
    const qlonglong present = Sql(db, QStringLiteral("SELECT COUNT(*) FROM pg_trigger WHERE NOT tgisinternal AND "
                                                     "tgname LIKE 'kestrova\\_changes\\_%'"))
                                  .scalar()
                                  .toLongLong();
    return present == tables().size();
}

void createChangeTriggers(const QSqlDatabase &db)
{
    if (!Dialect::isPostgresql(db))
        return;
    execSql(db, QStringLiteral("CREATE OR REPLACE FUNCTION kestrova_notify_change() RETURNS trigger "
                               "LANGUAGE plpgsql AS $$ BEGIN PERFORM pg_notify('kestrova_changes', ''); "
                               "RETURN NULL; END $$"));
    for (const Table &t : tables()) {
        const bool exists = Sql(db, QStringLiteral("SELECT 1 FROM pg_trigger WHERE NOT tgisinternal AND tgname = :n"))
                                .bind(QStringLiteral(":n"), changeTrigger(t))
                                .scalar()
                                .isValid();
        if (!exists)
            execSql(db, QStringLiteral("CREATE TRIGGER %1 AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON %2 "
                                       "FOR EACH STATEMENT EXECUTE FUNCTION kestrova_notify_change()")
                            .arg(changeTrigger(t), name(t.name)));
    }
}

// True when the database already has every table, column and index of this
// version and nothing to normalise. Reads only: a database that needs nothing
// is never locked for writing, so the program can read it while another
// program writes.
bool upToDate(const QSqlDatabase &db, int storedVersion, Schema::Report *report)
{
    if (storedVersion != Schema::version)
        return false;
    const QStringList present = existingTables(db);
    for (const Table &t : tables()) {
        if (!present.contains(name(t.name)))
            return false;
        QSet<QString> have;
        for (const auto &c : existingColumns(db, name(t.name)))
            have.insert(c.first.toLower());
        for (const Column &c : t.columns)
            if (!have.contains(name(c.name).toLower()))
                return false;
    }
    for (const auto &entry : indexes()) {
        if (!Dialect::indexExists(db, name(entry.first)))
            return false;
    }
    if (!changeTriggersPresent(db))
        return false;
    // Without the unique index because of old double nights, nothing is to
    // write until they are resolved.
    if (!Dialect::indexExists(db, name(kRoomNightIndex))) {
        report->doubleNights = doubleNights(db);
        if (report->doubleNights.isEmpty())
            return false;
    }
    return !Sql(db, QStringLiteral("SELECT 1 FROM infos WHERE type IS NULL LIMIT 1")).scalar().isValid();
}

} // namespace

namespace Schema {

QStringList Report::doubleNightLines() const
{
    QStringList out;
    for (const DoubleNight &d : doubleNights)
        out << QStringLiteral("Chambre %1, nuit du %2 : plusieurs réservations ; à corriger dans le planning.")
                   .arg(Settings::roomName(d.room), Format::date(d.night));
    return out;
}

QStringList tableNames()
{
    QStringList out;
    for (const Table &t : tables())
        out << name(t.name);
    return out;
}

QStringList columnNames(const QString &table)
{
    QStringList out;
    if (const Table *t = findTable(table))
        for (const Column &c : t->columns)
            out << name(c.name);
    return out;
}

QStringList columnTypes(const QString &table)
{
    QStringList out;
    if (const Table *t = findTable(table))
        for (const Column &c : t->columns)
            out << name(c.type);
    return out;
}

Report createOrUpgrade(const QSqlDatabase &db)
{
    Report report;
    const int storedVersion = Dialect::schemaVersion(db);
    if (storedVersion > version)
        throw DatabaseError(QStringLiteral("La base de données reserv.mdb a été enregistrée par une version plus "
                                           "récente de Kestrova. Installez cette version pour l'ouvrir."));

    if (upToDate(db, storedVersion, &report))
        return report;
    report.doubleNights.clear();

    Transaction transaction(db);
    const QStringList present = existingTables(db);
    bool anyOfOurs = false;
    for (const Table &t : tables())
        anyOfOurs = anyOfOurs || present.contains(name(t.name));
    report.created = !anyOfOurs;

    for (const Table &t : tables()) {
        if (present.contains(name(t.name)))
            upgradeTable(db, t, &report.changes);
        else
            createTable(db, t, report.created, &report.changes);
    }
    // Clients from before the kind column are of kind 1.
    execSql(db, QStringLiteral("UPDATE infos SET type=1 WHERE type IS NULL"));

    for (const auto &[indexName, target] : indexes()) {
        if (Dialect::indexExists(db, name(indexName)))
            continue;
        execSql(db, QStringLiteral("CREATE INDEX %1 ON %2").arg(name(indexName), name(target)));
        if (!report.created)
            report.changes.append(QStringLiteral("index %1 créé").arg(name(indexName)));
    }
    if (!Dialect::indexExists(db, name(kRoomNightIndex))) {
        report.doubleNights = doubleNights(db);
        if (report.doubleNights.isEmpty()) {
            execSql(db, QStringLiteral("CREATE UNIQUE INDEX %1 ON reserv (numero, r_date)").arg(name(kRoomNightIndex)));
            if (!report.created)
                report.changes.append(QStringLiteral("index %1 créé").arg(name(kRoomNightIndex)));
        }
    }
    createChangeTriggers(db);
    if (storedVersion != version)
        Dialect::setSchemaVersion(db, version);
    transaction.commit();
    return report;
}

} // namespace Schema
