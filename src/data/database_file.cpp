#include "data/database_file.h"

#include "common/errors.h"
#include "data/data_module.h"
#include "data/sql.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// Marks a verdict that is a busy database rather than a damaged one.
const QString kBusy = QStringLiteral("busy:");

// "ok", the engine's findings, or kBusy and the French busy text.
QString integrityVerdict(const QString &path)
{
    const QString name = QStringLiteral("kestrova_check");
    QString verdict;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) {
            verdict = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA quick_check")) && q.next()) {
                verdict = q.value(0).toString();
            } else {
                const QSqlError error = q.lastError();
                const int code = error.nativeErrorCode().toInt() & 0xff;
                verdict = code == 5 || code == 6
                              ? kBusy + QStringLiteral("La base de données « %1 » est occupée par un autre "
                                                       "programme. Réessayez dans un moment, ou fermez le "
                                                       "programme qui l'utilise.")
                                            .arg(path)
                              : error.databaseText();
            }
            q.finish();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return verdict;
}

} // namespace

namespace DatabaseFile {

QString checkHeader(const QString &path)
{
    QFile f(path);
    if (!f.exists())
        return {};
    // An empty file is a copy that failed or a full disk, not a new hotel:
    // creating a database over it would hide the loss.
    if (f.size() == 0)
        return QStringLiteral("Le fichier « %1 » est vide : il est endommagé (copie interrompue ou disque plein) "
                              "et ne peut pas être ouvert. Il n'a pas été modifié. Restaurez une sauvegarde.")
            .arg(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("Le fichier de données « %1 » ne peut pas être lu : %2").arg(path, f.errorString());
    const QByteArray head = f.read(20);
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        return {};
    if (head.startsWith(QByteArray("\0\1\0\0Standard Jet DB", 19)) || head.startsWith(QByteArray("\0\1\0\0Standard ACE DB", 19)))
        return QStringLiteral("Le fichier « %1 » est une base de données d'une ancienne version du logiciel "
                              "(format Access), que cette version ne sait pas lire. Il n'a pas été modifié.")
            .arg(path);
    return QStringLiteral("Le fichier « %1 » n'est pas une base de données Kestrova ou il est endommagé. "
                          "Il n'a pas été modifié.")
        .arg(path);
}

Schema::Report prepare(const QString &connectionName)
{
    // A server's database is checked by the server itself; its schema routine runs the same.
    if (DataModule::isPostgresql())
        return Schema::createOrUpgrade(DataModule::connection(connectionName));
    const QString path = DataModule::databasePath();
    const QString headerError = checkHeader(path);
    if (!headerError.isEmpty())
        throw DatabaseError(headerError);

    const bool existed = QFileInfo::exists(path);
    // The check runs on a connection of its own on which no other statement
    // has run: even a setting statement reads the file, and a damaged file
    // must get the message below, before anything is written (WAL switch included).
    if (existed) {
        const QString verdict = integrityVerdict(path);
        if (verdict != QLatin1String("ok")) {
            if (verdict.startsWith(kBusy))
                throw DatabaseError(verdict.mid(kBusy.size()));
            throw DatabaseError(QStringLiteral("Le fichier « %1 » est endommagé et ne peut pas être ouvert. "
                                               "Il n'a pas été modifié. Restaurez une sauvegarde.\n(%2)")
                                    .arg(path, verdict));
        }
    }
    QSqlDatabase db = DataModule::connection(connectionName, false);
    // WAL: readers never block the writer and a crash cannot leave a half-written page.
    const QString mode = Sql(db, QStringLiteral("PRAGMA journal_mode=WAL")).scalar().toString();
    if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        throw DatabaseError(QStringLiteral("Impossible de passer la base de données en mode WAL (%1).").arg(mode));
    return Schema::createOrUpgrade(db);
}

} // namespace DatabaseFile
