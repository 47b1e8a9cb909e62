#include "data/engine.h"

#include "common/errors.h"
#include "settings/ini_file.h"

namespace {
const QString kSection = QStringLiteral("Base");

QString required(const IniFile &ini, const QString &key)
{
    const QString value = ini.readString(kSection, key).trimmed();
    if (value.isEmpty())
        throw SettingsError(QStringLiteral("config.ini : la clé « %1 » de la section [Base] manque ; elle est "
                                           "nécessaire avec moteur=postgresql.")
                                .arg(key));
    return value;
}
} // namespace

DatabaseTarget DatabaseTarget::parse(const IniFile &ini)
{
    DatabaseTarget target;
    const QString engine = ini.readString(kSection, QStringLiteral("moteur")).trimmed().toLower();
    if (engine.isEmpty() || engine == QLatin1String("sqlite"))
        return target;
    if (engine != QLatin1String("postgresql"))
        throw SettingsError(QStringLiteral("config.ini : moteur de base de données inconnu « %1 » dans la section "
                                           "[Base] ; les valeurs possibles sont « sqlite » et « postgresql ».")
                                .arg(ini.readString(kSection, QStringLiteral("moteur")).trimmed()));
    for (const char *key : {"motdepasse", "mot_de_passe", "password"}) {
        if (ini.hasKey(kSection, QString::fromLatin1(key)))
            throw SettingsError(QStringLiteral("config.ini : le mot de passe de la base ne s'écrit pas dans "
                                               "config.ini (clé « %1 » de la section [Base]). Retirez cette "
                                               "clé et mettez le mot de passe dans le fichier de mots de passe "
                                               "de PostgreSQL (~/.pgpass ou PGPASSFILE).")
                                    .arg(QString::fromLatin1(key)));
    }
    target.engine = Engine::Postgresql;
    target.host = required(ini, QStringLiteral("hote"));
    target.database = required(ini, QStringLiteral("base"));
    target.user = required(ini, QStringLiteral("utilisateur"));
    const QString port = ini.readString(kSection, QStringLiteral("port")).trimmed();
    if (!port.isEmpty()) {
        bool ok = false;
        target.port = port.toInt(&ok);
        if (!ok || target.port < 1 || target.port > 65535)
            throw SettingsError(QStringLiteral("config.ini : le port « %1 » de la section [Base] n'est pas un "
                                               "numéro de port (1 à 65535).")
                                    .arg(port));
    }
    return target;
}

DatabaseTarget DatabaseTarget::current()
{
    return parse(IniFile());
}

QString DatabaseTarget::describe() const
{
    if (!isPostgresql())
        return QStringLiteral("reserv.mdb");
    return QStringLiteral("base « %1 » sur le serveur « %2:%3 » (utilisateur « %4 »)")
        .arg(database, host)
        .arg(port)
        .arg(user);
}
