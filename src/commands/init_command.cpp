#include "commands/commands.h"
#include "commands/startup.h"
#include "data/data_module.h"

#include <QTextStream>

int runInit(const QString &dataDir, const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!args.isEmpty()) {
        err << "init : argument inattendu « " << args.first() << " ».\n";
        return 2;
    }
    Startup startup;
    const Schema::Report report = startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    const QString path = DataModule::isPostgresql() ? DataModule::target().describe() : DataModule::databasePath();
    if (report.created) {
        out << "Base de données créée : " << path << "\n";
    } else if (report.changes.isEmpty()) {
        out << "Base de données à jour : " << path << "\n";
    } else {
        out << "Base de données mise à jour : " << path << "\n";
        for (const QString &c : report.changes)
            out << "  " << c << "\n";
    }
    if (!report.doubleNights.isEmpty()) {
        out << "Nuits réservées deux fois (l'index unique chambre-nuit sera créé quand elles seront corrigées) :\n";
        for (const QString &line : report.doubleNightLines())
            out << "  " << line << "\n";
    }
    Q_UNUSED(dataDir);
    return 0;
}
