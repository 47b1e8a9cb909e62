#include "commands/commands.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "data/database_copy.h"
#include "data/engine.h"
#include "settings/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

QString commandLinePath(const QString &name);

namespace {

int usage(QTextStream &err)
{
    err << "base : indiquez « copier FICHIER » (une base SQLite) ou « copier postgresql » "
           "[--hote H] [--port P] [--base B] [--utilisateur U].\n";
    return 2;
}

// The server of `copier postgresql`: the [Base] keys of config.ini, whatever
// engine the desk uses now, each overridden by its option.
DatabaseTarget serverOf(const QStringList &options)
{
    const IniFile ini;
    const QString section = QStringLiteral("Base");
    DatabaseTarget target;
    target.engine = Engine::Postgresql;
    QString port = ini.readString(section, QStringLiteral("port")).trimmed();
    target.host = ini.readString(section, QStringLiteral("hote")).trimmed();
    target.database = ini.readString(section, QStringLiteral("base")).trimmed();
    target.user = ini.readString(section, QStringLiteral("utilisateur")).trimmed();
    for (int i = 0; i + 1 < options.size(); i += 2) {
        const QString &value = options.at(i + 1);
        if (options.at(i) == QLatin1String("--hote"))
            target.host = value;
        else if (options.at(i) == QLatin1String("--port"))
            port = value;
        else if (options.at(i) == QLatin1String("--base"))
            target.database = value;
        else if (options.at(i) == QLatin1String("--utilisateur"))
            target.user = value;
        else
            throw KestrovaError(QStringLiteral("option inconnue « %1 ».").arg(options.at(i)));
    }
    if (options.size() % 2 != 0)
        throw KestrovaError(QStringLiteral("l'option « %1 » attend une valeur.").arg(options.last()));
    if (!port.isEmpty()) {
        bool ok = false;
        target.port = port.toInt(&ok);
        if (!ok || target.port < 1 || target.port > 65535)
            throw KestrovaError(QStringLiteral("le port « %1 » n'est pas un numéro de port (1 à 65535).").arg(port));
    }
    if (target.host.isEmpty() || target.database.isEmpty() || target.user.isEmpty())
        throw KestrovaError(QStringLiteral("indiquez le serveur PostgreSQL : hote, base et utilisateur dans la "
                                           "section [Base] de config.ini, ou --hote, --base et --utilisateur."));
    return target;
}

} // namespace

// `kestrova base copier VERS`: copies the whole hotel of the data directory
// into an empty database of either engine, each table checked on both sides.
// VERS is the path of an SQLite file (created when missing) or `postgresql`.
int runBase(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() < 2 || args.first() != QLatin1String("copier"))
        return usage(err);
    const bool toServer = args.at(1) == QLatin1String("postgresql");
    if (!toServer && args.size() != 2)
        return usage(err);
    const QString path = toServer ? QString() : commandLinePath(args.at(1));
    const bool existed = !toServer && QFileInfo::exists(path);
    try {
        const DatabaseTarget server = toServer ? serverOf(args.mid(2)) : DatabaseTarget();
        CopyConnection source = CopyConnection::hotel();
        const DatabaseTarget hotel = DataModule::target();
        if (toServer ? (hotel.isPostgresql() && hotel.host == server.host && hotel.port == server.port &&
                        hotel.database == server.database)
                     : (!hotel.isPostgresql() &&
                        QFileInfo(path).absoluteFilePath() == QFileInfo(DataModule::databasePath()).absoluteFilePath()))
            throw KestrovaError(QStringLiteral("La base de destination est celle de l'hôtel : rien n'a été copié."));
        DatabaseCopy::Report report;
        {
            CopyConnection target = toServer ? CopyConnection::postgresql(server) : CopyConnection::sqliteFile(path);
            try {
                report = DatabaseCopy::copy(source.db(), target.db(), DatabaseCopy::Mode::EmptyTarget);
            } catch (const KestrovaError &) {
                if (!toServer && !existed) {
                    target.db().close();
                    QFile::remove(path);
                }
                throw;
            }
            out << "Copie de " << source.description() << " vers " << target.description() << " :\n";
        }
        out << report.text() << "\n";
        out << "Copie terminée : " << report.tables.size() << " tables vérifiées.\n";
    } catch (const KestrovaError &e) {
        err << "base copier : " << e.text() << "\n";
        return 1;
    }
    return 0;
}
