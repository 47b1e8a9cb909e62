#include "commands/startup.h"

#include "common/errors.h"
#include "common/paths.h"
#include "data/database_file.h"

#include <QCoreApplication>
#include <QDir>

QString Startup::enterDataDir(const QString &explicitDir)
{
    const QString dir = Paths::chooseDataDir(explicitDir, qEnvironmentVariable("KESTROVA_DIR"),
                                             QCoreApplication::applicationDirPath(), QDir::homePath());
    QString error;
    if (!Paths::useDataDir(dir, &error))
        throw KestrovaError(error);
    return Paths::dataDir();
}

Schema::Report Startup::openDatabase(const QString &connectionName)
{
    QString error;
    if (!m_lock.acquire(&error))
        throw KestrovaError(error);
    return DatabaseFile::prepare(connectionName);
}
