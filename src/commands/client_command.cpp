#include "clients/client_dossier.h"
#include "commands/commands.h"
#include "commands/startup.h"
#include "common/errors.h"
#include "data/data_module.h"

#include <QDir>
#include <QTextStream>

QString commandLinePath(const QString &name);

// `kestrova client exporter ID FICHIER` and `kestrova client effacer ID --oui`:
// the guest's right of access and right to erasure, as the client card's
// "Client" menu does them.
int runClient(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString action = args.value(0);
    bool ok = false;
    const int id = args.value(1).toInt(&ok);
    const bool exporting = action == QLatin1String("exporter");
    const bool erasing = action == QLatin1String("effacer");
    if ((!exporting && !erasing) || !ok || id < 1 || (exporting && args.size() != 3) ||
        (erasing && args.size() > 3) || (erasing && args.size() == 3 && args.at(2) != QLatin1String("--oui"))) {
        err << "client : indiquez exporter ID FICHIER.json ou effacer ID --oui (ID : le numéro du client).\n";
        return 2;
    }
    try {
        Startup startup;
        startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
        if (exporting) {
            const QString json = commandLinePath(args.at(2));
            const QString pdf = ClientDossier::exporter(id, json);
            out << QDir::toNativeSeparators(json) << "\n" << QDir::toNativeSeparators(pdf) << "\n";
            return 0;
        }
        if (args.size() < 3) {
            // A command never waits for an answer: the question is printed, --oui answers it.
            out << ClientDossier::questionEffacement(id) << "\n\n"
                << "Relancez avec --oui pour effacer : rien n'a été changé.\n";
            return 1;
        }
        out << ClientDossier::effacer(id) << "\n";
        return 0;
    } catch (const KestrovaError &e) {
        err << "client " << action << " : " << e.text() << "\n";
        return 1;
    }
}
