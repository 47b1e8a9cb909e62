#include "commands/commands.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "data/instance_lock.h"
#include "import/legacy_import.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

QString commandLinePath(const QString &name);

// `kestrova importer FICHIER.mdb|DOSSIER [--verifier] [--oui]`: the data of the
// old program moved in, as "Fichier" > "Importer les données de l'ancien
// logiciel…" does. A folder is a whole-folder import (its reserv.mdb, and its
// config.ini, templates, logo and descriptions). --verifier reads and reports
// only; --oui answers yes to what the window asks (replacing a hotel's data,
// importing a file of which some rows are refused).
int runImporter(const QString &dataDir, const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList files;
    bool checkOnly = false;
    bool yes = false;
    for (const QString &a : args) {
        if (a == QLatin1String("--verifier"))
            checkOnly = true;
        else if (a == QLatin1String("--oui"))
            yes = true;
        else
            files << a;
    }
    if (files.size() != 1) {
        err << "importer : indiquez le fichier .mdb de l'ancien logiciel (ou son dossier).\n";
        return 2;
    }
    QString path = commandLinePath(files.first());
    const bool wholeFolder = QFileInfo(path).isDir();
    if (wholeFolder)
        path = QDir(path).filePath(QStringLiteral("reserv.mdb"));
    InstanceLock lock;
    QString error;
    if (!lock.acquire(&error)) {
        err << "importer : " << error << "\n";
        return 1;
    }
    int shown = -1;
    const LegacyImport::Progress progress = [&](int percent, const QString &step) {
        if (percent / 10 != shown / 10) {
            shown = percent;
            err << percent << " % " << step << "\n";
            err.flush();
        }
    };
    try {
        LegacyImport::Options options;
        options.takeOverFolder = wholeFolder;
        options.atStartup = QFileInfo(path).absoluteFilePath() == DataModule::databasePath();
        LegacyImport::Report report =
            LegacyImport::analyse(path, LegacyImport::roomCountFor(path, wholeFolder), progress);
        if (checkOnly) {
            out << report.text() << "\n";
            return 0;
        }
        if (!report.refused.isEmpty() && !yes) {
            out << report.text() << "\n";
            err << "importer : " << report.refused.size()
                << " ligne(s) seraient refusées ; rien n'a été importé. Relancez avec --oui pour importer les "
                   "autres lignes.\n";
            return 1;
        }
        if (!options.atStartup && !LegacyImport::dataDirIsEmptyHotel()) {
            if (!yes) {
                err << "importer : le dossier de données « " << QDir::toNativeSeparators(dataDir)
                    << " » contient déjà les données d'un hôtel ; relancez avec --oui pour les remplacer (une "
                       "sauvegarde en sera faite d'abord dans ce dossier).\n";
                return 1;
            }
            options.backupFirst = true;
        }
        LegacyImport::run(path, report, options, progress);
        out << report.text() << "\n";
        out << "Import terminé : " << report.totalWritten() << " lignes écrites dans « "
            << QDir::toNativeSeparators(DataModule::databasePath()) << " ».\n";
    } catch (const KestrovaError &e) {
        err << "importer : " << e.text() << "\n";
        return 1;
    }
    return 0;
}
