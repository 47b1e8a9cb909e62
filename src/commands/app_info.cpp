#include "commands/app_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace AppInfo {

QString versionText()
{
    return QStringLiteral("v3.2");
}

QString applicationTitle()
{
    return QStringLiteral("Kestrova : Gérer vos réservations simplement");
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/kestrova-%1.png").arg(size), QSize(size, size));
    return icon;
}

QString documentation()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    // Installed copy first, then the source tree when run from its build directory.
    const QStringList candidates = {appDir + QStringLiteral("/README.md"),
                                    appDir + QStringLiteral("/../share/doc/kestrova/README.md"),
                                    appDir + QStringLiteral("/../README.md")};
    for (const QString &candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile())
            return QDir::toNativeSeparators(info.canonicalFilePath());
    }
    return QStringLiteral("le fichier README.md livré avec le programme");
}

QString databaseCreatedMessage()
{
    return QStringLiteral("Création de la base de données avec succès !\n"
                          "Vous trouverez le guide d'utilisation du logiciel sur \n") +
           documentation();
}

} // namespace AppInfo
