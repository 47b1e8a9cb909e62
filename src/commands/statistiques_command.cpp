#include "commands/commands.h"
#include "commands/startup.h"
#include "xlsx/spreadsheet_export.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "planning/statistics_table.h"
#include "settings/settings.h"

#include <QTextStream>

#include <cstdio>

namespace {

// The grid of a year and a measure, room names from config.ini, as the tab shows it.
TextGrid statisticsGrid(int year, int measure)
{
    const int rooms = Settings::roomCount(25);
    TextGrid grid = StatisticsTable::emptyGrid(Settings::roomNames(rooms));
    StatisticsTable::computeAll(grid, year, measure);
    return grid;
}

bool parseYear(const QString &text, int *year)
{
    bool ok = false;
    *year = text.toInt(&ok);
    return ok && *year >= 1 && *year <= 9999;
}

} // namespace

// `kestrova xlsx statistiques ANNEE MESURE FICHIER`: the workbook the tab's
// "Exporter sous Excel" writes, titled with the measure.
int runXlsxStatistiques(const QStringList &args)
{
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "xlsx : statistiques demande ANNEE MESURE FICHIER (exemple : xlsx statistiques 2024 1 "
               "jours.xlsx).\n";
        return 2;
    }
    int year = 0;
    if (!parseYear(args.at(0), &year)) {
        err << "xlsx : année invalide « " << args.at(0) << " » (exemple : 2024).\n";
        return 2;
    }
    bool ok = false;
    const int measure = args.at(1).toInt(&ok);
    if (!ok || measure < 0 || measure > 2) {
        err << "xlsx : mesure invalide « " << args.at(1)
            << " » : 0 (chiffre d'affaires), 1 (jours occupés) ou 2 (personnes).\n";
        return 2;
    }
    Startup startup;
    startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    const SpreadsheetOptions options = StatisticsTable::sheetOptions(measure);
    QString error;
    if (!Spreadsheet::writeGrid(statisticsGrid(year, measure), StatisticsTable::measureLabels().at(measure),
                                args.at(2), options, &error)) {
        err << "xlsx : " << error << '\n';
        return 1;
    }
    return 0;
}

// `kestrova statistiques ANNEE [--mesure 0|1|2]`: the statistics grid of the
// tab, one line per row (the title row first), cells separated by tabs.
int runStatistiques(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream err(stderr);
    int year = 0;
    int measure = StatisticsTable::ChiffreAffaires;
    bool yearSeen = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--mesure")) {
            bool ok = false;
            measure = i + 1 < args.size() ? args.at(i + 1).toInt(&ok) : -1;
            if (!ok || measure < 0 || measure > 2) {
                err << "statistiques : --mesure attend 0 (chiffre d'affaires), 1 (jours occupés) ou 2 "
                       "(personnes).\n";
                return 2;
            }
            ++i;
        } else if (!yearSeen) {
            if (!parseYear(arg, &year)) {
                err << "statistiques : année invalide « " << arg << " » (exemple : 2024).\n";
                return 2;
            }
            yearSeen = true;
        } else {
            err << "statistiques : argument inattendu « " << arg << " ».\n";
            return 2;
        }
    }
    if (!yearSeen) {
        err << "statistiques : indiquez l'année (exemple : kestrova statistiques 2024 --mesure 1).\n";
        return 2;
    }

    Startup startup;
    startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    const TextGrid grid = statisticsGrid(year, measure);
    QTextStream out(stdout);
    for (int row = 0; row < grid.rowCount(); ++row)
        out << grid.row(row).join(QLatin1Char('\t')) << '\n';
    out.flush();
    return out.status() == QTextStream::Ok ? 0 : 1;
}
