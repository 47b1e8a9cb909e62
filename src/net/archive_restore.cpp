#include "net/archive_restore.h"

#include "common/paths.h"
#include "data/data_module.h"
#include "data/database_copy.h"
#include "data/database_file.h"
#include "data/schema.h"
#include "net/archive_backup.h"
#include "net/archive_format.h"
#include "net/archive_snapshot.h"
#include "net/file_replacement.h"
#include "settings/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>

namespace {

// Brings the staged database to this program's schema on a connection of its
// own: a backup of an older version opens at once after the restore.
void prepareDatabase(const QString &path)
{
    const QString header = DatabaseFile::checkHeader(path);
    if (!header.isEmpty())
        throw ArchiveError(QStringLiteral("La sauvegarde ne peut pas être restaurée : ") + header);
    const QString integrity = DatabaseSnapshot::checkIntegrity(path);
    if (!integrity.isEmpty())
        throw ArchiveError(QStringLiteral("La sauvegarde ne peut pas être restaurée : ") + integrity +
                           QLatin1Char('.'));
    const QString name = QStringLiteral("restore-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = QStringLiteral("la base de données ne s'ouvre pas.");
        } else {
            try {
                Schema::createOrUpgrade(db);
            } catch (const KestrovaError &e) {
                error = e.text();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        throw ArchiveError(QStringLiteral("La sauvegarde ne peut pas être restaurée : ") + error);
}

// [Base] says where this desk's data lives, not what the hotel holds: a backup
// made on another desk or engine must not move this desk to it. The staged
// config.ini takes the desk's own keys (and is made when the backup has none
// while the desk needs them). True when the staged config.ini must be put in place.
bool keepDeskEngine(const QString &stagedConfig, bool staged)
{
    const QStringList keys{QStringLiteral("moteur"), QStringLiteral("hote"), QStringLiteral("port"),
                           QStringLiteral("base"), QStringLiteral("utilisateur")};
    const IniFile current;
    const IniFile backup(stagedConfig);
    const QString section = QStringLiteral("Base");
    bool any = false;
    for (const QString &key : keys)
        any = any || current.hasKey(section, key) || (staged && backup.hasKey(section, key));
    if (!any)
        return staged;
    for (const QString &key : keys)
        backup.writeString(section, key,
                           current.readString(section, key,
                                              key == QLatin1String("moteur") ? QStringLiteral("sqlite") : QString()));
    return true;
}

} // namespace

namespace ArchiveRestore {

QStringList restore(const QString &archivePath)
{
    const QString dataDir = Paths::dataDir();
    QTemporaryDir staging(dataDir + QStringLiteral("/.restauration-XXXXXX"));
    if (!staging.isValid())
        throw ArchiveError(QStringLiteral("Impossible de préparer la restauration dans « %1 » : %2")
                               .arg(QDir::toNativeSeparators(dataDir), staging.errorString()));
    const QString unpacked = staging.filePath(QStringLiteral("nouveau"));
    const QString kept = staging.filePath(QStringLiteral("ancien"));

    const QList<ArchiveEntry> entries = Archive::unpack(archivePath, unpacked);
    const QString database = BackupArchive::databaseEntryName();
    QStringList names;
    bool hasDatabase = false;
    for (const ArchiveEntry &entry : entries) {
        QString relative = entry.relativePath();
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (relative == database)
            hasDatabase = true;
        else if (!names.contains(relative))
            names << relative;
    }
    if (!hasDatabase)
        throw ArchiveError(QStringLiteral("Cette archive ne contient pas de base de données (%1) : "
                                          "ce n'est pas une sauvegarde du logiciel.")
                               .arg(database));
    const auto reserved = [](const QString &n) {
        return n.startsWith(QLatin1String("reserv.mdb"), Qt::CaseInsensitive) ||
               n.startsWith(QLatin1String("reserv2.mdb"), Qt::CaseInsensitive) ||
               n.compare(QLatin1String("kestrova.lock"), Qt::CaseInsensitive) == 0 ||
               n.startsWith(QLatin1String(".restauration-"));
    };
    if (std::any_of(names.cbegin(), names.cend(), reserved))
        throw ArchiveError(
            QStringLiteral("Cette archive contient des fichiers réservés au logiciel : refusée."));
    prepareDatabase(unpacked + QLatin1Char('/') + database);
    FileReplacement::ensureDatabaseClosed(QStringLiteral("la sauvegarde n'a pas été restaurée"));
    const bool onServer = DataModule::isPostgresql();
    const QString config = QStringLiteral("config.ini");
    if (keepDeskEngine(unpacked + QLatin1Char('/') + config, names.contains(config)) && !names.contains(config))
        names << config;

    QDir().mkpath(dataDir + QStringLiteral("/description"));
    FileReplacement replacement(dataDir, kept);
    // A backup without one of these files means the data directory had none.
    for (const char *name : {"config.ini", "emailDevis.txt", "emailFacture.txt", "logo.jpg"}) {
        const QString relative = QLatin1String(name);
        if (!names.contains(relative))
            replacement.replace(relative, {});
    }
    for (const QString &relative : std::as_const(names))
        replacement.replace(relative, unpacked + QLatin1Char('/') + relative);
    if (onServer) {
        // The hotel on the server takes the snapshot's rows in one transaction,
        // after the files: a refusal there puts every file back.
        try {
            DatabaseCopy::replaceHotelWith(unpacked + QLatin1Char('/') + database);
        } catch (const KestrovaError &e) {
            throw ArchiveError(QStringLiteral("La sauvegarde ne peut pas être restaurée : ") + e.text());
        }
        replacement.commit();
        names.prepend(QStringLiteral("base PostgreSQL"));
        return names;
    }
    // A journal left beside the current database belongs to it, not to the new one.
    for (const char *suffix : {"-wal", "-shm", "-journal"}) {
        const QString relative = QStringLiteral("reserv.mdb") + QLatin1String(suffix);
        if (QFileInfo::exists(dataDir + QLatin1Char('/') + relative))
            replacement.replace(relative, {});
    }
    replacement.replace(QStringLiteral("reserv.mdb"), unpacked + QLatin1Char('/') + database);
    replacement.commit();
    names.prepend(QStringLiteral("reserv.mdb"));
    return names;
}

} // namespace ArchiveRestore
