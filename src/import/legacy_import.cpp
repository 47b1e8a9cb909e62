#include "import/legacy_import.h"

#include "common/format.h"
#include "common/paths.h"
#include "data/data_module.h"
#include "data/database_file.h"
#include "data/import_rows.h"
#include "data/schema.h"
#include "import/jet_file.h"
#include "net/archive_backup.h"
#include "net/archive_snapshot.h"
#include "net/file_replacement.h"
#include "settings/ini_file.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QUuid>

#include <optional>

namespace LegacyImport {

namespace {

const QString kReserv = QStringLiteral("reserv");

// Columns that hold a day: a time of day stored with it by the old engine is dropped.
bool dayColumn(const QString &column)
{
    static const QSet<QString> days = {QStringLiteral("r_date"),      QStringLiteral("f_date"),
                                       QStringLiteral("sejour_debut"), QStringLiteral("sejour_fin"),
                                       QStringLiteral("date_debut"),   QStringLiteral("date_fin")};
    return days.contains(column);
}

JetFile::Kind expectedKind(const QString &declared)
{
    if (declared.startsWith(QLatin1String("INT")))
        return JetFile::Kind::Integer;
    if (declared == QLatin1String("DOUBLE"))
        return JetFile::Kind::Real;
    if (declared.startsWith(QLatin1String("DATETIME")))
        return JetFile::Kind::Date;
    return JetFile::Kind::Text;
}

QString kindName(JetFile::Kind kind)
{
    switch (kind) {
    case JetFile::Kind::Integer: return QStringLiteral("un nombre entier");
    case JetFile::Kind::Real: return QStringLiteral("un nombre");
    case JetFile::Kind::Date: return QStringLiteral("une date");
    case JetFile::Kind::Text: return QStringLiteral("un texte");
    default: return QStringLiteral("une valeur");
    }
}

// How one of our tables is found in the file: its name there and, for each of
// our columns, the file's column index (-1 when the file lacks it).
struct Mapping
{
    QString table;
    QString fileTable;
    QStringList columns;
    QList<int> source;
    QList<bool> days;
};

QList<std::optional<Mapping>> mappings(const JetFile &file, Report *report)
{
    const QStringList fileTables = file.tables();
    QList<std::optional<Mapping>> out;
    QSet<QString> used;
    for (const QString &table : Schema::tableNames()) {
        TableCount count;
        count.name = table;
        QString fileTable;
        for (const QString &t : fileTables)
            if (t.compare(table, Qt::CaseInsensitive) == 0)
                fileTable = t;
        if (fileTable.isEmpty()) {
            report->tables.append(count);
            out.append(std::nullopt);
            continue;
        }
        used.insert(fileTable);
        count.present = true;
        const QList<JetFile::Column> fileColumns = file.columns(fileTable);
        Mapping m{table, fileTable, Schema::columnNames(table), {}, {}};
        const QStringList types = Schema::columnTypes(table);
        for (int i = 0; i < m.columns.size(); ++i) {
            int found = -1;
            for (int j = 0; j < fileColumns.size(); ++j)
                if (fileColumns.at(j).name.compare(m.columns.at(i), Qt::CaseInsensitive) == 0)
                    found = j;
            const JetFile::Kind want = expectedKind(types.at(i));
            if (found >= 0) {
                const JetFile::Kind have = fileColumns.at(found).kind;
                const bool fits = have == want || (want == JetFile::Kind::Real && have == JetFile::Kind::Integer);
                if (!fits)
                    throw ImportError(QStringLiteral("La colonne « %1.%2 » du fichier est de type « %3 », alors "
                                                     "qu'elle doit contenir %4 : ce fichier n'a pas la forme de "
                                                     "ceux de l'ancien logiciel. Rien n'a été importé.")
                                          .arg(table, m.columns.at(i), fileColumns.at(found).typeName,
                                               kindName(want)));
            } else {
                count.missingColumns << m.columns.at(i);
            }
            m.source << found;
            m.days << dayColumn(m.columns.at(i));
        }
        report->tables.append(count);
        out.append(m);
    }
    for (const QString &t : fileTables)
        if (!used.contains(t))
            report->otherTables << t;
    if (used.isEmpty())
        throw ImportError(QStringLiteral("Le fichier « %1 » est bien une base Access, mais il ne contient aucune "
                                         "des tables de l'ancien logiciel (infos, reserv, facturation…) : rien n'a "
                                         "été importé.")
                              .arg(QDir::toNativeSeparators(report->source)));
    for (const char *needed : {"infos", "reserv"}) {
        for (const TableCount &c : std::as_const(report->tables))
            if (c.name == QLatin1String(needed) && !c.present)
                throw ImportError(QStringLiteral("Le fichier « %1 » n'a pas de table « %2 », que l'ancien logiciel "
                                                 "a toujours : il est incomplet. Rien n'a été importé.")
                                      .arg(QDir::toNativeSeparators(report->source), QLatin1String(needed)));
    }
    return out;
}

// A row as it will be stored, from the file's row; empty reason when accepted.
QString convert(const Mapping &m, const QVariantList &in, QVariantList *out)
{
    out->clear();
    for (int i = 0; i < m.columns.size(); ++i) {
        const int s = m.source.at(i);
        const QVariant v = s >= 0 ? in.at(s) : QVariant();
        if (v.isNull()) {
            out->append(QVariant());
        } else if (v.typeId() == QMetaType::QDateTime) {
            const QDateTime d = v.toDateTime();
            if (!d.isValid())
                return QStringLiteral("la valeur de « %1 » n'est pas une date").arg(m.columns.at(i));
            out->append(m.days.at(i) || d.time() == QTime(0, 0) ? Format::isoDate(d.date())
                                                                 : Format::isoDateTime(d));
        } else {
            out->append(v);
        }
    }
    return {};
}

// The id of a row as the file has it (the row may not convert).
QString fileRowId(const Mapping &m, const QVariantList &in)
{
    const int id = int(m.columns.indexOf(QStringLiteral("id")));
    if (id < 0)
        return QStringLiteral("—");
    const int s = m.source.at(id);
    return s < 0 || in.at(s).isNull() ? QStringLiteral("sans id") : in.at(s).toString();
}

QString rowId(const Mapping &m, const QVariantList &row)
{
    const int id = int(m.columns.indexOf(QStringLiteral("id")));
    if (id < 0)
        return QStringLiteral("—");
    return row.at(id).isNull() ? QStringLiteral("sans id") : row.at(id).toString();
}

// The checks of one table's rows, shared by the analysis and the import so
// both refuse the same rows.
class RowChecks
{
public:
    RowChecks(const Mapping &m, int roomCount) : m_map(m), m_rooms(roomCount)
    {
        m_id = int(m.columns.indexOf(QStringLiteral("id")));
        m_date = int(m.columns.indexOf(QStringLiteral("r_date")));
        m_room = int(m.columns.indexOf(QStringLiteral("numero")));
    }

    QString check(const QVariantList &row)
    {
        if (m_id >= 0) {
            if (row.at(m_id).isNull())
                return QStringLiteral("ligne sans numéro (id vide)");
            const qint64 id = row.at(m_id).toLongLong();
            if (m_ids.contains(id))
                return QStringLiteral("numéro %1 déjà pris par une autre ligne de la table").arg(id);
        }
        const QString reason = m_map.table == kReserv ? checkNight(row) : QString();
        // Only the ids of rows that go in are taken.
        if (reason.isEmpty() && m_id >= 0)
            m_ids.insert(row.at(m_id).toLongLong());
        return reason;
    }

private:
    QString checkNight(const QVariantList &row)
    {
        if (row.at(m_date).isNull())
            return QStringLiteral("nuit sans date");
        const QVariant room = row.at(m_room);
        if (room.isNull() || room.toLongLong() < 1 || room.toLongLong() > m_rooms)
            return QStringLiteral("chambre n° %1 hors des %2 chambres configurées")
                .arg(room.isNull() ? QStringLiteral("(vide)") : room.toString())
                .arg(m_rooms);
        const QString night = row.at(m_date).toString();
        const QString key = room.toString() + QLatin1Char('|') + night;
        const auto taken = m_nights.constFind(key);
        if (taken != m_nights.constEnd())
            return QStringLiteral("deux lignes pour la chambre %1 la nuit du %2 (déjà la ligne %3)")
                .arg(room.toString(), Format::date(QDate::fromString(night, Qt::ISODate)), *taken);
        m_nights.insert(key, rowId(m_map, row));
        return {};
    }

    const Mapping &m_map;
    int m_rooms;
    int m_id = -1, m_date = -1, m_room = -1;
    QSet<qint64> m_ids;
    QHash<QString, QString> m_nights;
};

class Stepper
{
public:
    Stepper(const Progress &p, int from, int to, qint64 total) : m_p(p), m_from(from), m_to(to), m_total(qMax<qint64>(total, 1)) {}
    void step(const QString &what)
    {
        ++m_done;
        if (m_p && (m_done % 4096 == 0))
            m_p(m_from + int((m_to - m_from) * qMin<qint64>(m_done, m_total) / m_total), what);
    }

private:
    const Progress &m_p;
    int m_from, m_to;
    qint64 m_total, m_done = 0;
};

qint64 announcedRows(const JetFile &file, const QList<std::optional<Mapping>> &maps)
{
    qint64 total = 0;
    for (const auto &m : maps)
        if (m)
            total += file.rowCount(m->fileTable);
    return total;
}

TableCount &countOf(Report &report, const QString &table)
{
    for (TableCount &c : report.tables)
        if (c.name == table)
            return c;
    Q_UNREACHABLE();
}

QString sourceFolder(const QString &mdbPath)
{
    return QFileInfo(mdbPath).absolutePath();
}

// Writes the staging database; returns nothing, fills the written counts.
void writeStaging(const QString &mdbPath, Report &report, const QString &stagingPath, const Progress &progress)
{
    const JetFile file(mdbPath);
    Report fresh;
    fresh.source = mdbPath;
    const QList<std::optional<Mapping>> maps = mappings(file, &fresh);
    const QString name = QStringLiteral("import-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(stagingPath);
        try {
            if (!db.open())
                throw ImportError(QStringLiteral("la base temporaire ne peut pas être créée"));
            Schema::createOrUpgrade(db);
            ImportRows rows(db);
            rows.beginStaging();
            Stepper stepper(progress, 40, 90, announcedRows(file, maps));
            QVariantList converted;
            for (const auto &m : maps) {
                if (!m)
                    continue;
                TableCount &count = countOf(report, m->table);
                const QSet<qint64> skip = report.refusedAt.value(m->table);
                rows.beginTable(m->table, m->columns);
                qint64 at = 0;
                count.written = 0;
                file.readRows(m->fileTable, [&](const QVariantList &in) {
                    stepper.step(QStringLiteral("Écriture de la table « %1 »").arg(m->table));
                    if (!skip.contains(at++) && convert(*m, in, &converted).isEmpty()) {
                        rows.insert(converted);
                        ++count.written;
                    }
                    return true;
                });
            }
            rows.setInvoiceCounterAfterHighest();
            rows.commitStaging();
            // Every table holds what was written to it, and nothing else.
            for (const TableCount &c : std::as_const(report.tables)) {
                if (!c.present)
                    continue;
                const qint64 stored = rows.count(c.name);
                if (stored != c.written || c.written != c.read - c.refused)
                    throw ImportError(QStringLiteral("la table « %1 » contient %2 lignes au lieu de %3")
                                          .arg(c.name)
                                          .arg(stored)
                                          .arg(c.read - c.refused));
            }
        } catch (const KestrovaError &e) {
            failure = e.text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty())
        throw ImportError(QStringLiteral("L'import n'a pas pu être écrit (%1) : rien n'a été modifié.").arg(failure));
    const QString integrity = DatabaseSnapshot::checkIntegrity(stagingPath);
    if (!integrity.isEmpty())
        throw ImportError(QStringLiteral("La base importée ne passe pas le contrôle d'intégrité (%1) : rien n'a été "
                                         "modifié.")
                              .arg(integrity));
}

QString freeName(const QString &dir, const QString &base, const QString &suffix)
{
    QString candidate = base + suffix;
    for (int n = 2; QFileInfo::exists(dir + QLatin1Char('/') + candidate); ++n)
        candidate = base + QLatin1Char('-') + QString::number(n) + suffix;
    return candidate;
}

// A copy of a file into the staging folder, for its replacement.
QString stage(const QString &from, const QString &stagingDir, const QString &relative)
{
    const QString to = stagingDir + QStringLiteral("/nouveau/") + relative;
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw ImportError(QStringLiteral("Impossible de copier « %1 » : rien n'a été modifié.")
                              .arg(QDir::toNativeSeparators(from)));
    return to;
}

} // namespace

qint64 Report::totalRead() const
{
    qint64 n = 0;
    for (const TableCount &c : tables)
        n += c.read;
    return n;
}

qint64 Report::totalWritten() const
{
    qint64 n = 0;
    for (const TableCount &c : tables)
        n += c.written;
    return n;
}

QString Report::text() const
{
    QStringList lines;
    lines << QStringLiteral("Fichier : %1 (%2)").arg(QDir::toNativeSeparators(source), version);
    lines << QString();
    lines << (imported ? QStringLiteral("Table\tlues\trefusées\técrites") : QStringLiteral("Table\tlignes\trefusées"));
    for (const TableCount &c : tables) {
        if (!c.present) {
            lines << QStringLiteral("%1\tabsente du fichier").arg(c.name);
            continue;
        }
        QString line = QStringLiteral("%1\t%2\t%3").arg(c.name).arg(c.read).arg(c.refused);
        if (imported)
            line += QStringLiteral("\t%1").arg(c.written);
        if (!c.missingColumns.isEmpty())
            line += QStringLiteral("\t(colonnes absentes, laissées vides : %1)").arg(c.missingColumns.join(QStringLiteral(", ")));
        lines << line;
    }
    lines << QString();
    if (firstNight.isValid())
        lines << QStringLiteral("Séjours du %1 au %2, %3 chambres.")
                     .arg(Format::date(firstNight), Format::date(lastNight))
                     .arg(roomCount);
    else
        lines << QStringLiteral("Aucune nuit réservée.");
    if (!otherTables.isEmpty())
        lines << QStringLiteral("Tables ignorées (inconnues du logiciel) : %1.").arg(otherTables.join(QStringLiteral(", ")));
    if (!folderFiles.isEmpty())
        lines << QStringLiteral("Fichiers repris du dossier : %1.").arg(folderFiles.join(QStringLiteral(", ")));
    if (!refused.isEmpty()) {
        lines << QString();
        lines << QStringLiteral("%1 ligne(s) refusée(s) :").arg(refused.size());
        for (const RefusedRow &r : refused)
            lines << QStringLiteral("%1, id %2 : %3").arg(r.table, r.id, r.reason);
    }
    if (!backupArchive.isEmpty())
        lines << QStringLiteral("Les données remplacées sont sauvegardées dans « %1 ».").arg(backupArchive);
    if (!keptAs.isEmpty())
        lines << QStringLiteral("Le fichier de l'ancien logiciel est conservé sous le nom « %1 ».").arg(keptAs);
    return lines.join(QLatin1Char('\n'));
}

QStringList folderFiles(const QString &mdbPath)
{
    const QString dir = sourceFolder(mdbPath);
    QStringList out;
    for (const char *name : {"config.ini", "emailFacture.txt", "emailDevis.txt", "logo.jpg"})
        if (QFileInfo(dir + QLatin1Char('/') + QLatin1String(name)).isFile())
            out << QLatin1String(name);
    QDirIterator it(dir + QStringLiteral("/description"), QDir::Files);
    QStringList descriptions;
    while (it.hasNext())
        descriptions << QStringLiteral("description/") + it.nextFileInfo().fileName();
    descriptions.sort();
    return out + descriptions;
}

int roomCountFor(const QString &mdbPath, bool takeOverFolder)
{
    const QString old = sourceFolder(mdbPath) + QStringLiteral("/config.ini");
    const QString ini = takeOverFolder && QFileInfo::exists(old) ? old : Paths::dataDir() + QStringLiteral("/config.ini");
    try {
        return IniFile(ini).readInteger(QStringLiteral("Chambres"), QStringLiteral("nombre"), 15);
    } catch (const KestrovaError &) {
        return 15;
    }
}

Report analyse(const QString &mdbPath, int roomCount, const Progress &progress)
{
    Report report;
    report.source = QFileInfo(mdbPath).absoluteFilePath();
    report.roomCount = roomCount;
    const JetFile file(mdbPath);
    report.version = file.versionText();
    const QList<std::optional<Mapping>> maps = mappings(file, &report);
    Stepper stepper(progress, 0, 40, announcedRows(file, maps));
    QVariantList converted;
    for (const auto &m : maps) {
        if (!m)
            continue;
        TableCount &count = countOf(report, m->table);
        RowChecks checks(*m, roomCount);
        const int date = int(m->columns.indexOf(QStringLiteral("r_date")));
        file.readRows(m->fileTable, [&](const QVariantList &in) {
            stepper.step(QStringLiteral("Lecture de la table « %1 »").arg(m->table));
            QString reason = convert(*m, in, &converted);
            if (reason.isEmpty())
                reason = checks.check(converted);
            if (!reason.isEmpty()) {
                report.refused.append({m->table, fileRowId(*m, in), reason});
                report.refusedAt[m->table].insert(count.read);
                ++count.refused;
            } else if (m->table == kReserv) {
                const QDate night = QDate::fromString(converted.at(date).toString(), Qt::ISODate);
                if (!report.firstNight.isValid() || night < report.firstNight)
                    report.firstNight = night;
                if (!report.lastNight.isValid() || night > report.lastNight)
                    report.lastNight = night;
            }
            ++count.read;
            return true;
        });
    }
    if (progress)
        progress(40, QStringLiteral("Lecture terminée"));
    return report;
}

void run(const QString &mdbPath, Report &report, const Options &options, const Progress &progress)
{
    const QString dataDir = Paths::dataDir();
    // A staging folder left by an import that was killed holds nothing of value.
    for (const QFileInfo &stale : QDir(dataDir).entryInfoList({QStringLiteral(".import-*")},
                                                              QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        QDir(stale.absoluteFilePath()).removeRecursively();
    QTemporaryDir staging(dataDir + QStringLiteral("/.import-XXXXXX"));
    if (!staging.isValid())
        throw ImportError(QStringLiteral("Impossible de préparer l'import dans « %1 » : %2. Rien n'a été modifié.")
                              .arg(QDir::toNativeSeparators(dataDir), staging.errorString()));
    QDir().mkpath(staging.filePath(QStringLiteral("nouveau")));
    const QString staged = staging.filePath(QStringLiteral("nouveau/reserv.mdb"));
    writeStaging(mdbPath, report, staged, progress);

    if (progress)
        progress(92, QStringLiteral("Mise en place"));
    report.folderFiles = options.takeOverFolder ? folderFiles(mdbPath) : QStringList();
    QStringList files = report.folderFiles;
    const QString folder = sourceFolder(mdbPath);
    // config.ini in use afterwards: the old folder's when taken over, else ours;
    // its next invoice number follows the highest invoice imported.
    const bool oldConfig = files.contains(QStringLiteral("config.ini"));
    const QString configFrom = oldConfig ? folder + QStringLiteral("/config.ini") : dataDir + QStringLiteral("/config.ini");
    int highest = 0;
    for (const TableCount &c : std::as_const(report.tables))
        if (c.name == QLatin1String("facturation") && c.written > 0)
            highest = -1;
    if (highest < 0) {
        const QString name = QStringLiteral("import-count");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(staged);
            highest = db.open() ? ImportRows(db).highestInvoice() : 0;
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    QString stagedConfig;
    if (highest > 0 || oldConfig) {
        stagedConfig = staging.filePath(QStringLiteral("nouveau/config.ini"));
        if (QFileInfo::exists(configFrom))
            stage(configFrom, staging.path(), QStringLiteral("config.ini"));
        if (highest > 0)
            IniFile(stagedConfig).writeString(QStringLiteral("Hotel"), QStringLiteral("numFacture"),
                                              QString::number(highest + 1));
    }
    files.removeAll(QStringLiteral("config.ini"));
    QList<QPair<QString, QString>> replacements;
    for (const QString &relative : std::as_const(files))
        replacements.append({relative, stage(folder + QLatin1Char('/') + relative, staging.path(), relative)});

    FileReplacement::ensureDatabaseClosed(QStringLiteral("l'import n'a pas été fait"));
    const QString database = DataModule::databasePath();
    if (options.backupFirst && !options.atStartup && QFileInfo(database).size() > 0) {
        report.backupArchive =
            freeName(dataDir, QStringLiteral("sauvegarde-avant-import-") +
                                  QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")),
                     QStringLiteral(".zip"));
        BackupArchive::create(dataDir + QLatin1Char('/') + report.backupArchive);
    }
    FileReplacement replacement(dataDir, staging.filePath(QStringLiteral("ancien")));
    if (options.atStartup) {
        report.keptAs = freeName(dataDir, QStringLiteral("reserv-ancien"), QStringLiteral(".mdb"));
        replacement.keepCopy(QStringLiteral("reserv.mdb"), report.keptAs);
    }
    if (!stagedConfig.isEmpty())
        replacement.replace(QStringLiteral("config.ini"), stagedConfig);
    for (const auto &[relative, from] : std::as_const(replacements))
        replacement.replace(relative, from);
    for (const char *suffix : {"-wal", "-shm", "-journal"}) {
        const QString relative = QStringLiteral("reserv.mdb") + QLatin1String(suffix);
        if (QFileInfo::exists(dataDir + QLatin1Char('/') + relative))
            replacement.replace(relative, {});
    }
    replacement.replace(QStringLiteral("reserv.mdb"), staged);
    replacement.commit();
    report.imported = true;
    if (progress)
        progress(100, QStringLiteral("Import terminé"));
}

bool dataDirIsEmptyHotel()
{
    const QString path = DataModule::databasePath();
    if (!QFileInfo::exists(path) || QFileInfo(path).size() == 0 || !DatabaseFile::checkHeader(path).isEmpty())
        return true;
    const QString name = QStringLiteral("import-empty-check");
    bool empty = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            try {
                empty = ImportRows::isEmptyHotel(db);
            } catch (const KestrovaError &) {
                empty = false;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return empty;
}

} // namespace LegacyImport
