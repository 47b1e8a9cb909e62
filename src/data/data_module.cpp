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

QSqlDatabase DataModule::connection(const QString &name, bool walMode)
{
    const QString path = databasePath();
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() && db.databaseName() == path)
            return db;
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
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
