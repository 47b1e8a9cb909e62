#include "commands/commands.h"
#include "commands/startup.h"
#include "data/data_module.h"
#include "data/log.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>

// `kestrova export WHAT`: the same XML documents that the on-line planning
// receives, in the encoding their declaration names, for users' own tools.
int runExport(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream err(stderr);
    const QStringList kinds{QStringLiteral("clients"), QStringLiteral("reservations"),
                            QStringLiteral("prestations"), QStringLiteral("details")};
    if (args.size() != 1 || !kinds.contains(args.first())) {
        if (args.isEmpty())
            err << "export : indiquez le document à écrire";
        else if (args.size() > 1)
            err << "export : un seul document à la fois, argument inattendu « " << args.at(1) << " »";
        else
            err << "export : document inconnu « " << args.first() << " »";
        err << " (clients, reservations, prestations ou details).\n";
        return 2;
    }

    Startup startup;
    startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    QString document;
    {
        const Log log;
        const QString &kind = args.first();
        if (kind == QLatin1String("clients"))
            document = log.exporterClients();
        else if (kind == QLatin1String("reservations"))
            document = log.exporterReservations();
        else if (kind == QLatin1String("prestations"))
            document = log.exporterPrestations();
        else
            document = log.exporterReservPrestations();
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(Log::encoderDocument(document)) < 0 ||
        !out.flush()) {
        err << "export : impossible d'écrire sur la sortie standard.\n";
        return 1;
    }
    return 0;
}
