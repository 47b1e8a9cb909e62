#include "commands/commands.h"
#include "commands/startup.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "data/reservation.h"
#include "ical/ical_feeds.h"
#include "net/ical_publish.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

QString commandLinePath(const QString &name);

// `kestrova ical exporter|importer|publier`: the rooms' feeds for booking sites
// and a site's feed brought into the planning, as the "Calendriers en ligne"
// window does.
namespace {

int exporter(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString dir;
    bool noms = false;
    for (const QString &a : args) {
        if (a == QLatin1String("--noms"))
            noms = true;
        else if (dir.isEmpty() && !a.startsWith(QLatin1String("--")))
            dir = a;
        else {
            err << "ical exporter : argument inattendu « " << a << " ».\n";
            return 2;
        }
    }
    if (dir.isEmpty()) {
        err << "ical exporter : indiquez le dossier où écrire les calendriers.\n";
        return 2;
    }
    IcalExport::Options options;
    options.noms = noms;
    const QList<IcalExport::RoomFile> files = IcalExport::exporter(commandLinePath(dir), options);
    for (const IcalExport::RoomFile &f : files)
        out << QDir::toNativeSeparators(f.path) << '\t' << f.events << " séjour(s)\n";
    return 0;
}

int importer(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString file;
    int room = 0;
    bool check = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--verifier")) {
            check = true;
        } else if (a == QLatin1String("--chambre") && i + 1 < args.size()) {
            bool ok = false;
            room = args.at(++i).toInt(&ok);
            if (!ok || room < 1) {
                err << "ical importer : --chambre attend un numéro de chambre, pas « " << args.at(i) << " ».\n";
                return 2;
            }
        } else if (file.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            file = a;
        } else {
            err << "ical importer : argument inattendu « " << a << " ».\n";
            return 2;
        }
    }
    if (file.isEmpty() || room == 0) {
        err << "ical importer : indiquez le fichier .ics et --chambre N.\n";
        return 2;
    }
    QFile f(commandLinePath(file));
    if (!f.open(QIODevice::ReadOnly)) {
        err << "ical importer : impossible de lire « " << QDir::toNativeSeparators(f.fileName()) << " » : "
            << f.errorString() << "\n";
        return 1;
    }
    // Read no more than the limit: a larger file is refused without filling memory.
    const QByteArray bytes = f.read(IcalText::maxBytes + 1);
    const IcalImport::Plan plan = IcalImport::preparer(bytes, room);
    out << plan.texte() << "\n";
    if (check) {
        out << "Vérification seulement : rien n'a été écrit.\n";
        return 0;
    }
    IcalImport::appliquer(plan);
    out << (plan.writes.isEmpty() ? "Rien à écrire : le planning était déjà à jour.\n"
                                  : "Import enregistré.\n");
    return 0;
}

int publier(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "ical publier : indiquez le dossier des calendriers à publier (écrits par ical exporter).\n";
        return 2;
    }
    const QDir dir(commandLinePath(args.first()));
    QStringList files;
    for (const QString &name : dir.entryList({QStringLiteral("chambre-*.ics")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    if (files.isEmpty()) {
        err << "ical publier : aucun calendrier chambre-N.ics dans « " << QDir::toNativeSeparators(dir.path())
            << " ».\n";
        return 1;
    }
    const BackupIdentifiers ids = BackupIdentifiers::read();
    IcalPublish::publier(ServicesConfig::read(), ids.email, ids.password, files,
                         [&out](const QString &line) { out << line << "\n" << Qt::flush; });
    return 0;
}

} // namespace

int runIcal(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString action = args.value(0);
    if (action != QLatin1String("exporter") && action != QLatin1String("importer") &&
        action != QLatin1String("publier")) {
        err << "ical : indiquez exporter DOSSIER [--noms], importer FICHIER.ics --chambre N [--verifier] "
               "ou publier DOSSIER.\n";
        return 2;
    }
    try {
        Startup startup;
        startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
        const QStringList rest = args.mid(1);
        if (action == QLatin1String("exporter"))
            return exporter(rest, out, err);
        if (action == QLatin1String("importer"))
            return importer(rest, out, err);
        return publier(rest, out, err);
    } catch (const KestrovaError &e) {
        out.flush();
        err << "ical " << action << " : " << e.text() << "\n";
        return 1;
    }
}
