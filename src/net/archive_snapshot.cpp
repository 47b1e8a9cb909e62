#include "net/archive_snapshot.h"

#include "data/sqlite_file.h"
#include "net/archive_format.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

namespace DatabaseSnapshot {

void take(const QString &source, const QString &destination)
{
    const QString shown = QDir::toNativeSeparators(source);
    if (!QFile::exists(source))
        throw ArchiveError(QStringLiteral("La base de données « %1 » est introuvable.").arg(shown));
    QFile::remove(destination);
    QFile::remove(destination + QStringLiteral("-journal"));
    {
        SqliteFile from;
        SqliteFile to;
        if (!from.open(source, SQLITE_OPEN_READONLY))
            throw ArchiveError(QStringLiteral("Impossible d'ouvrir la base de données « %1 » : %2")
                                   .arg(shown, from.error()));
        // Writers of the program may hold the database for a moment.
        sqlite3_busy_timeout(from.handle(), 10000);
        if (!to.open(destination, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE))
            throw ArchiveError(QStringLiteral("Impossible de créer la copie « %1 » : %2")
                                   .arg(QDir::toNativeSeparators(destination), to.error()));
        QString error;
        sqlite3_backup *backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
        if (!backup) {
            error = to.error();
        } else {
            // One step copies every page under one read transaction: a consistent snapshot.
            int rc = SQLITE_OK;
            for (int attempt = 0; attempt < 100; ++attempt) {
                rc = sqlite3_backup_step(backup, -1);
                if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
                    break;
                sqlite3_sleep(100);
            }
            sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE)
                error = QString::fromUtf8(sqlite3_errstr(rc));
        }
        // The copy travels alone: no WAL file may be needed to read it.
        if (error.isEmpty() && !to.useRollbackJournal())
            error = to.error();
        if (!error.isEmpty()) {
            to.close();
            QFile::remove(destination);
            throw ArchiveError(
                QStringLiteral("Copie de la base de données « %1 » impossible : %2").arg(shown, error));
        }
    }
}

QString checkIntegrity(const QString &path)
{
    SqliteFile file;
    if (!file.open(path, SQLITE_OPEN_READONLY))
        return QStringLiteral("la base de données ne s'ouvre pas (%1)").arg(file.error());
    const std::optional<QStringList> problems = file.integrityProblems();
    if (!problems)
        return QStringLiteral("la base de données est illisible (%1)").arg(file.error());
    if (!problems->isEmpty())
        return QStringLiteral("la base de données est endommagée (%1)")
            .arg(problems->mid(0, 3).join(QStringLiteral("; ")));
    return {};
}

} // namespace DatabaseSnapshot
