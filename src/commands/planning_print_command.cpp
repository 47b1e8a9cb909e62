#include "commands/commands.h"
#include "commands/startup.h"
#include "common/format.h"
#include "data/data_module.h"
#include "settings/ini_file.h"
#include "planning/planning_print.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

// `kestrova imprimer planning semaine|mois JJ/MM/AAAA [--noms] [--copies N] [--pdf FICHIER]`:
// the pages the print form sends, with the change-of-client marks as the form
// last saved them.
int runImprimerPlanning(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString usage = QStringLiteral("imprimer planning semaine|mois JJ/MM/AAAA [--noms] [--copies N] [--pdf FICHIER]");
    PlanningPrint::Options options;
    QString pdf;
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--noms")) {
            options.names = true;
        } else if (a == QLatin1String("--copies") || a == QLatin1String("--pdf")) {
            if (i + 1 >= args.size()) {
                err << "imprimer : " << a << " attend une valeur (" << usage << ").\n";
                return 2;
            }
            const QString value = args.at(++i);
            if (a == QLatin1String("--pdf")) {
                pdf = value;
                continue;
            }
            bool ok = false;
            options.copies = value.toInt(&ok);
            if (!ok || options.copies < 1 || options.copies > 100) {
                err << "imprimer : le nombre de copies doit être compris entre 1 et 100.\n";
                return 2;
            }
        } else {
            rest << a;
        }
    }
    if (rest.size() != 2 || (rest[0] != QLatin1String("semaine") && rest[0] != QLatin1String("mois"))) {
        err << "imprimer : " << usage << "\n";
        return 2;
    }
    options.month = rest[0] == QLatin1String("mois");
    options.date = Format::parseDate(rest[1]);
    if (!options.date.isValid()) {
        err << "imprimer : « " << rest[1] << " » n'est pas une date (JJ/MM/AAAA).\n";
        return 2;
    }
    options.changeMarks = IniFile().readBool(QStringLiteral("Impression"), QStringLiteral("changementClient"), false);

    Startup startup;
    startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    if (pdf.isEmpty()) {
        PlanningPrint::print(options);
        return 0;
    }
    for (const QString &file : PlanningPrint::printToPdf(options, QFileInfo(pdf).absoluteFilePath()))
        out << QDir::toNativeSeparators(file) << "\n";
    return 0;
}
