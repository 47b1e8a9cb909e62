#include "net/archive_restore.h"

#include "common/paths.h"
#include "data/data_module.h"
#include "data/database_file.h"
#include "data/schema.h"
#include "net/archive_backup.h"
#include "net/archive_format.h"
#include "net/archive_snapshot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

fs::path toPath(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

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

void ensureDatabaseClosed()
{
    DataModule::release();
    const QString path = DataModule::databasePath();
    for (const QString &name : QSqlDatabase::connectionNames()) {
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() && QFileInfo(db.databaseName()).absoluteFilePath() == path)
            throw ArchiveError(QStringLiteral("La base de données est encore ouverte (« %1 ») : "
                                              "la sauvegarde n'a pas été restaurée.")
                                   .arg(name));
    }
}

// The replacement of the data directory's files, undone as a whole on failure.
class Replacement
{
public:
    Replacement(QString dataDir, QString keepDir)
        : m_dataDir(std::move(dataDir)), m_keepDir(std::move(keepDir))
    {}
    ~Replacement()
    {
        if (!m_committed)
            rollback();
    }

    // Keeps the current file (when present) and puts `staged` in its place, or
    // just removes the current file when staged is empty.
    void replace(const QString &relative, const QString &staged)
    {
        const fs::path target = toPath(m_dataDir + QLatin1Char('/') + relative);
        const fs::path kept = toPath(m_keepDir + QLatin1Char('/') + relative);
        std::error_code ec;
        Step step{target, kept, false};
        if (fs::exists(fs::symlink_status(target))) {
            fs::create_directories(kept.parent_path(), ec);
            // A link keeps the old content reachable while the new one replaces
            // it atomically; where links are not possible, a copy does.
            fs::create_hard_link(target, kept, ec);
            if (ec) {
                ec.clear();
                fs::copy_file(target, kept, fs::copy_options::overwrite_existing, ec);
            }
            if (ec)
                fail(relative, ec);
            step.hadOld = true;
        }
        if (staged.isEmpty()) {
            fs::remove(target, ec);
        } else {
            fs::create_directories(target.parent_path(), ec);
            ec.clear();
            fs::rename(toPath(staged), target, ec);
        }
        if (ec)
            fail(relative, ec);
        m_steps.push_back(step);
    }

    void commit() { m_committed = true; }

private:
    struct Step
    {
        fs::path target;
        fs::path kept;
        bool hadOld;
    };

    [[noreturn]] void fail(const QString &relative, const std::error_code &ec)
    {
        throw ArchiveError(QStringLiteral("Impossible de remplacer « %1 » : %2 ; rien n'a été modifié.")
                               .arg(relative, QString::fromLocal8Bit(ec.message().c_str())));
    }

    void rollback()
    {
        for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
            std::error_code ec;
            if (it->hadOld)
                fs::rename(it->kept, it->target, ec);
            else
                fs::remove(it->target, ec);
        }
    }

    QString m_dataDir;
    QString m_keepDir;
    std::vector<Step> m_steps;
    bool m_committed = false;
};

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
    ensureDatabaseClosed();

    QDir().mkpath(dataDir + QStringLiteral("/description"));
    Replacement replacement(dataDir, kept);
    // A backup without one of these files means the data directory had none.
    for (const char *name : {"config.ini", "emailDevis.txt", "emailFacture.txt", "logo.jpg"}) {
        const QString relative = QLatin1String(name);
        if (!names.contains(relative))
            replacement.replace(relative, {});
    }
    for (const QString &relative : std::as_const(names))
        replacement.replace(relative, unpacked + QLatin1Char('/') + relative);
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
