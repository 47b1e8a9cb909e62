#include "data/database_file.h"

#include "common/errors.h"
#include "data/data_module.h"
#include "data/sql.h"

#include <QFile>
#include <QFileInfo>

namespace DatabaseFile {

QString checkHeader(const QString &path)
{
    QFile f(path);
    if (!f.exists() || f.size() == 0)
        return {};
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
    const QString path = DataModule::databasePath();
    const QString headerError = checkHeader(path);
    if (!headerError.isEmpty())
        throw DatabaseError(headerError);

    const bool existed = QFileInfo(path).size() > 0;
    QSqlDatabase db = DataModule::connection(connectionName, false);
    if (existed) {
        // A damaged file must be refused before any write (WAL switch included).
        QString verdict;
        try {
            verdict = Sql(db, QStringLiteral("PRAGMA quick_check")).scalar().toString();
        } catch (const DatabaseError &e) {
            verdict = e.text();
        }
        if (verdict != QLatin1String("ok")) {
            db = QSqlDatabase();
            DataModule::closeConnection(connectionName);
            throw DatabaseError(QStringLiteral("Le fichier « %1 » est endommagé et ne peut pas être ouvert. "
                                               "Il n'a pas été modifié. Restaurez une sauvegarde.\n(%2)")
                                    .arg(path, verdict));
        }
    }
    // WAL: readers never block the writer and a crash cannot leave a half-written page.
    const QString mode = Sql(db, QStringLiteral("PRAGMA journal_mode=WAL")).scalar().toString();
    if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        throw DatabaseError(QStringLiteral("Impossible de passer la base de données en mode WAL (%1).").arg(mode));
    return Schema::createOrUpgrade(db);
}

} // namespace DatabaseFile
