#include "net/archive_snapshot.h"

#include "net/archive_format.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

namespace {

// Owns an sqlite3 handle for one function.
struct Handle
{
    sqlite3 *db = nullptr;
    ~Handle() { close(); }
    void close()
    {
        sqlite3_close_v2(db);
        db = nullptr;
    }
    QString error() const { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("mémoire"); }
};

bool openHandle(Handle &h, const QString &path, int flags)
{
    return sqlite3_open_v2(QFile::encodeName(path).constData(), &h.db, flags, nullptr) == SQLITE_OK;
}

} // namespace

namespace DatabaseSnapshot {

void take(const QString &source, const QString &destination)
{
    const QString shown = QDir::toNativeSeparators(source);
    if (!QFile::exists(source))
        throw ArchiveError(QStringLiteral("La base de données « %1 » est introuvable.").arg(shown));
    QFile::remove(destination);
    QFile::remove(destination + QStringLiteral("-journal"));
    {
        Handle from;
        Handle to;
        if (!openHandle(from, source, SQLITE_OPEN_READONLY))
            throw ArchiveError(QStringLiteral("Impossible d'ouvrir la base de données « %1 » : %2")
                                   .arg(shown, from.error()));
        // Writers of the program may hold the database for a moment.
        sqlite3_busy_timeout(from.db, 10000);
        if (!openHandle(to, destination, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE))
            throw ArchiveError(QStringLiteral("Impossible de créer la copie « %1 » : %2")
                                   .arg(QDir::toNativeSeparators(destination), to.error()));
        QString error;
        sqlite3_backup *backup = sqlite3_backup_init(to.db, "main", from.db, "main");
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
        if (error.isEmpty() &&
            sqlite3_exec(to.db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
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
    Handle h;
    if (!openHandle(h, path, SQLITE_OPEN_READONLY))
        return QStringLiteral("la base de données ne s'ouvre pas (%1)").arg(h.error());
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(h.db, "PRAGMA integrity_check", -1, &stmt, nullptr) != SQLITE_OK)
        return QStringLiteral("la base de données est illisible (%1)").arg(h.error());
    QStringList problems;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
        const QString line = QString::fromUtf8(text ? text : "");
        if (line != QLatin1String("ok"))
            problems << line;
    }
    if (rc != SQLITE_DONE)
        problems << h.error();
    sqlite3_finalize(stmt);
    if (!problems.isEmpty())
        return QStringLiteral("la base de données est endommagée (%1)")
            .arg(problems.mid(0, 3).join(QStringLiteral("; ")));
    return {};
}

} // namespace DatabaseSnapshot
