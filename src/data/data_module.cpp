#include "data/data_module.h"

#include "common/errors.h"
#include "common/paths.h"
#include "data/sql.h"

#include <QFileInfo>
#include <QSqlError>

namespace {
int g_useCount = 0;
}

QString DataModule::databasePath()
{
    return QFileInfo(Paths::dataPath(QStringLiteral("reserv.mdb"))).absoluteFilePath();
}

const char *DataModule::sharedConnectionName()
{
    return "kestrova_shared";
}

namespace {
// The target read from config.ini, kept for the data directory it was read in:
// connection() runs for every use of the shared connection.
struct CachedTarget
{
    QString dir;
    DatabaseTarget target;
};
CachedTarget &cachedTarget()
{
    static CachedTarget c;
    return c;
}

bool sameTarget(const QSqlDatabase &db, const DatabaseTarget &target, const QString &path)
{
    if (!target.isPostgresql())
        return db.driverName() == QLatin1String("QSQLITE") && db.databaseName() == path;
    return db.driverName() == QLatin1String("QPSQL") && db.databaseName() == target.database &&
           db.hostName() == target.host && db.port() == target.port && db.userName() == target.user;
}

QSqlDatabase openPostgresql(const QString &name, const DatabaseTarget &target)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (!db.isValid()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw DatabaseError(QStringLiteral("Le pilote PostgreSQL de Qt n'est pas installé (paquet libqt6sql6-psql) : "
                                           "la %1 ne peut pas être ouverte.")
                                .arg(target.describe()));
    }
    db.setHostName(target.host);
    db.setPort(target.port);
    db.setDatabaseName(target.database);
    db.setUserName(target.user);
    db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=kestrova"));
    if (!db.open()) {
        const QString text = db.lastError().databaseText().isEmpty() ? db.lastError().text() : db.lastError().databaseText();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw DatabaseError(QStringLiteral("Impossible de se connecter à la %1 : %2").arg(target.describe(), text.trimmed()));
    }
    // A row another desk holds is waited for as long as SQLite waits for a busy file.
    execSql(db, QStringLiteral("SET lock_timeout = '10s'"));
    execSql(db, QStringLiteral("SET client_min_messages = warning"));
    return db;
}
} // namespace

DatabaseTarget DataModule::target()
{
    CachedTarget &c = cachedTarget();
    const QString dir = Paths::dataDir();
    if (c.dir != dir) {
        c.target = DatabaseTarget::current();
        c.dir = dir;
    }
    return c.target;
}

void DataModule::forgetTarget()
{
    cachedTarget() = CachedTarget();
}

QSqlDatabase DataModule::connection(const QString &name, bool walMode)
{
    const DatabaseTarget where = target();
    const QString path = databasePath();
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() && sameTarget(db, where, path))
            return db;
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    if (where.isPostgresql())
        return openPostgresql(name, where);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open()) {
        const QString text = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw DatabaseError(QStringLiteral("Impossible d'ouvrir la base de données « %1 » : %2").arg(path, text));
    }
    // Every commit reaches the disk before the program goes on: a hotel's
    // bookings must survive a power cut.
    execSql(db, QStringLiteral("PRAGMA synchronous=FULL"));
    if (walMode)
        execSql(db, QStringLiteral("PRAGMA journal_mode=WAL"));
    return db;
}

void DataModule::closeConnection(const QString &name)
{
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QSqlDatabase DataModule::shared()
{
    return connection(QString::fromLatin1(sharedConnectionName()));
}

bool DataModule::release()
{
    if (g_useCount > 0)
        return false;
    closeConnection(QString::fromLatin1(sharedConnectionName()));
    forgetTarget();
    return true;
}

int DataModule::useCount()
{
    return g_useCount;
}

DataModule::Use::Use()
{
    DataModule::shared();
    ++g_useCount;
}

DataModule::Use::~Use()
{
    --g_useCount;
}
