#include "common/paths.h"

#include <QDir>
#include <QFileInfo>

namespace Paths {

QString chooseDataDir(const QString &explicitDir, const QString &envDir, const QString &executableDir,
                      const QString &homeDir)
{
    if (!explicitDir.isEmpty())
        return QFileInfo(explicitDir).absoluteFilePath();
    if (!envDir.isEmpty())
        return QFileInfo(envDir).absoluteFilePath();
    if (!executableDir.isEmpty()) {
        const QDir exe(executableDir);
        if (QFileInfo::exists(exe.filePath(QStringLiteral("reserv.mdb")))
            || QFileInfo::exists(exe.filePath(QStringLiteral("config.ini"))))
            return exe.absolutePath();
    }
    return QDir(homeDir).filePath(QStringLiteral(".local/share/Kestrova"));
}

bool useDataDir(const QString &dir, QString *error)
{
    QDir d(dir);
    if (!d.exists() && !QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("Impossible de créer le dossier de données « %1 ».").arg(dir);
        return false;
    }
    if (!QDir::setCurrent(d.absolutePath())) {
        if (error)
            *error = QStringLiteral("Impossible d'ouvrir le dossier de données « %1 ».").arg(dir);
        return false;
    }
    return true;
}

QString dataDir()
{
    return QDir::currentPath();
}

QString dataPath(const QString &name)
{
    return QDir::current().filePath(name);
}

} // namespace Paths
