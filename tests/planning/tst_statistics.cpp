// The statistics grid (figures, totals, rates), the day-by-day turnover, the
// statistics tab of the main window and the `statistiques` command.

#include "ui/app/main_window.h"
#include "common/dialogs.h"
#include "common/format.h"
#include "data/data_module.h"
#include "data/sql.h"
#include "entry_fixture.h"
#include "ui/catalogue/services_form.h"
#include "ui/planning/daily_turnover_window.h"
#include "planning/planning_refreshers.h"
#include "ui/planning/statistics_grid.h"
#include "ui/planning/statistics_page.h"
#include "planning/statistics_table.h"
#include "test_support.h"
#include "../clients/xlsx_reader.h"

#include <QComboBox>
#include <QImage>
#include <QStyledItemDelegate>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace EntryFixture;

namespace {

// count consecutive nights from first in room, with adults each.
void addNights(const QDate &first, int count, int room, int adults, int client = 1)
{
    for (int i = 0; i < count; ++i)
        addNight(first.addDays(i), room, client, QStringLiteral("Réservé"), adults);
}

TextGrid gridFor(int rooms, int year, int measure)
{
    QStringList names;
    for (int r = 1; r <= rooms; ++r)
        names << QString::number(r);
    TextGrid grid = StatisticsTable::emptyGrid(names);
    StatisticsTable::computeAll(grid, year, measure);
    return grid;
}

} // namespace

class TstStatistics : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ratesRoundHalvesToEven_data();
    void ratesRoundHalvesToEven();
    void monthFiguresTotalsAndRates_data();
    void monthFiguresTotalsAndRates();
    void fullYearGivesHundred();
    void turnoverHasNoRate();
    void oneRoomRefreshKeepsTheOthers();

    void weeksOfAMonth_data();
    void weeksOfAMonth();
    void dailyTurnoverIncludesNeighbouringDays();

    void emptyDatabaseShowsEmptyGrid();
    void yearListAndSelection();
    void measureChangeKeepsTheYearUntilAChange_data();
    void measureChangeKeepsTheYearUntilAChange();
    void doubleClickOpensDetailsOnlyForTurnoverMonths();
    void commandPrintsTheGrid();
    void spreadsheetsKeepTheFirstColumn();
    void gridDrawnAsTheStyleDrawsIt();
    void screenshots();
    void commandRefusesBadArguments_data();
    void commandRefusesBadArguments();

private:
    std::unique_ptr<TestDatabase> m_db;
};

void TstStatistics::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=3\n[Chambre2]\nnom=Suite\n");
}

void TstStatistics::cleanup()
{
    m_db.reset();
}

void TstStatistics::ratesRoundHalvesToEven_data()
{
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("whole");
    QTest::addColumn<int>("rate");
    QTest::newRow("12.5 down to 12") << 1 << 8 << 12;
    QTest::newRow("37.5 up to 38") << 3 << 8 << 38;
    QTest::newRow("62.5 down to 62") << 5 << 8 << 62;
    QTest::newRow("33.3 to 33") << 1 << 3 << 33;
    QTest::newRow("66.7 to 67") << 2 << 3 << 67;
    QTest::newRow("full") << 31 << 31 << 100;
    QTest::newRow("nothing to divide by") << 5 << 0 << 0;
}

void TstStatistics::ratesRoundHalvesToEven()
{
    QFETCH(int, part);
    QFETCH(int, whole);
    QFETCH(int, rate);
    QCOMPARE(StatisticsTable::roundedRate(part, whole), rate);
}

void TstStatistics::monthFiguresTotalsAndRates_data()
{
    QTest::addColumn<QDate>("first");
    QTest::addColumn<int>("nights");
    QTest::addColumn<int>("measure");
    QTest::addColumn<QString>("cell");   // room 2's month cell
    QTest::addColumn<QString>("total");  // the month's total, room 3's 14 one-adult nights added
    QTest::addColumn<QString>("rate");   // the month's rate (3 rooms)
    QTest::addColumn<QString>("yearly"); // the yearly rate
    // Every night of a 30-day month with two adults: 30 nights, 60 persons.
    QTest::newRow("nights, April") << QDate(2023, 4, 1) << 30 << 1 << "30" << "44" << "49" << "4";
    QTest::newRow("persons, April") << QDate(2023, 4, 1) << 30 << 2 << "60" << "74" << "82" << "7";
    // 43 / (3 x 29) = 49 %; with 28 days it would read 51 %.
    QTest::newRow("February 2024") << QDate(2024, 2, 1) << 29 << 1 << "29" << "43" << "49" << "4";
    // 42 / (3 x 28) = 50 %; with 29 days it would read 48 %.
    QTest::newRow("February 2023") << QDate(2023, 2, 1) << 28 << 1 << "28" << "42" << "50" << "4";
}

void TstStatistics::monthFiguresTotalsAndRates()
{
    QFETCH(QDate, first);
    QFETCH(int, nights);
    QFETCH(int, measure);
    QFETCH(QString, cell);
    QFETCH(QString, total);
    QFETCH(QString, rate);
    QFETCH(QString, yearly);
    addNights(first, nights, 2, 2);
    addNights(first, 14, 3, 1);
    const TextGrid grid = gridFor(3, first.year(), measure);
    const int m = first.month();
    QCOMPARE(grid.cell(m, 1), QStringLiteral("0"));
    QCOMPARE(grid.cell(m, 2), cell);
    QCOMPARE(grid.cell(m, 3), QStringLiteral("14"));
    QCOMPARE(grid.cell(m, 4), total);
    QCOMPARE(grid.cell(m, 5), rate);
    QCOMPARE(grid.cell(13, 2), cell);
    QCOMPARE(grid.cell(13, 4), total);
    QCOMPARE(grid.cell(13, 5), yearly);
    // Another month: zero figures, zero rate.
    QCOMPARE(grid.cell(m + 1, 4), QStringLiteral("0"));
    QCOMPARE(grid.cell(m + 1, 5), QStringLiteral("0"));
    QCOMPARE(grid.row(0), QStringList({QString(), QStringLiteral("1"), QStringLiteral("2"),
                                       QStringLiteral("3"), QStringLiteral("Total"), QStringLiteral("%")}));
    QCOMPARE(grid.cell(2, 0), QStringLiteral("Févier"));
}

void TstStatistics::fullYearGivesHundred()
{
    {
        const DataModule::Use use;
        Transaction t(use.db());
        addNights(QDate(2023, 1, 1), 365, 1, 1);
        addNights(QDate(2023, 1, 1), 365, 2, 1);
        t.commit();
    }
    QStringList names{QStringLiteral("1"), QStringLiteral("2")};
    TextGrid grid = StatisticsTable::emptyGrid(names);
    StatisticsTable::computeAll(grid, 2023, StatisticsTable::NombreJours);
    QCOMPARE(grid.cell(13, 3), QStringLiteral("730"));
    QCOMPARE(grid.cell(13, 4), QStringLiteral("100"));
    for (int m = 1; m <= 12; ++m)
        QCOMPARE(grid.cell(m, 4), QStringLiteral("100"));
    // Persons: 730 over 2 rooms x 31 days x 12 months.
    StatisticsTable::computeAll(grid, 2023, StatisticsTable::NombrePersonnes);
    QCOMPARE(grid.cell(13, 4), QStringLiteral("98"));
}

void TstStatistics::turnoverHasNoRate()
{
    addService(1, QStringLiteral("Nuit"), 40.5, 10.0);
    const int a = addNight(QDate(2023, 5, 3), 1, 1);
    const int b = addNight(QDate(2023, 5, 4), 2, 1);
    attach(a, 1, 2); // 2 x 40,5
    attach(b, 1, 1); // room 2 costs 81
    const TextGrid grid = gridFor(3, 2023, StatisticsTable::ChiffreAffaires);
    QCOMPARE(grid.cell(5, 1), QStringLiteral("81"));
    QCOMPARE(grid.cell(5, 2), QStringLiteral("81"));
    QCOMPARE(grid.cell(5, 4), QStringLiteral("162"));
    QCOMPARE(grid.cell(5, 5), QString());
    QCOMPARE(grid.cell(13, 1), QStringLiteral("81"));
    QCOMPARE(grid.cell(13, 4), QStringLiteral("162"));
    QCOMPARE(grid.cell(13, 5), QString());
}

void TstStatistics::oneRoomRefreshKeepsTheOthers()
{
    addNights(QDate(2023, 6, 1), 3, 1, 2);
    TextGrid grid = gridFor(3, 2023, StatisticsTable::NombreJours);
    addNights(QDate(2023, 6, 10), 4, 2, 2);
    addNights(QDate(2023, 6, 20), 5, 3, 2); // not recomputed
    StatisticsTable::computeRoom(grid, 2, 2023, StatisticsTable::NombreJours);
    QCOMPARE(grid.cell(6, 1), QStringLiteral("3"));
    QCOMPARE(grid.cell(6, 2), QStringLiteral("4"));
    QCOMPARE(grid.cell(6, 3), QStringLiteral("0"));
    QCOMPARE(grid.cell(6, 4), QStringLiteral("7"));
    QCOMPARE(grid.cell(13, 2), QStringLiteral("4"));
    QCOMPARE(grid.cell(13, 4), QStringLiteral("7"));
}

void TstStatistics::weeksOfAMonth_data()
{
    QTest::addColumn<QDate>("month");
    QTest::addColumn<int>("weeks");
    QTest::addColumn<QString>("firstLabel");
    QTest::newRow("1st a Sunday, 31 days") << QDate(2024, 12, 1) << 6 << "Du 25/11/2024 au 01/12/2024";
    QTest::newRow("1st a Sunday, 30 days") << QDate(2023, 10, 1) << 6 << "Du 25/09/2023 au 01/10/2023";
    QTest::newRow("February from a Monday") << QDate(2021, 2, 1) << 4 << "Du 01/02/2021 au 07/02/2021";
    QTest::newRow("ordinary month") << QDate(2024, 5, 1) << 5 << "Du 29/04/2024 au 05/05/2024";
}

void TstStatistics::weeksOfAMonth()
{
    QFETCH(QDate, month);
    QFETCH(int, weeks);
    QFETCH(QString, firstLabel);
    const TextGrid grid = StatisticsTable::dailyTurnover(month.year(), month.month());
    QCOMPARE(grid.rowCount(), weeks + 1);
    QCOMPARE(grid.cell(1, 0), firstLabel);
    QCOMPARE(grid.row(0), StatisticsTable::dailyTitles());
    QCOMPARE(grid.row(0).at(1), QStringLiteral("Lundi"));
    QCOMPARE(grid.row(0).at(8), QStringLiteral("Total"));
    const QDate last(month.year(), month.month(), month.daysInMonth());
    QVERIFY(grid.cell(weeks, 0).endsWith(Format::date(last.addDays(7 - last.dayOfWeek()))));
}

void TstStatistics::dailyTurnoverIncludesNeighbouringDays()
{
    addService(1, QStringLiteral("Nuit"), 50.0, 10.0);
    attach(addNight(QDate(2024, 11, 30), 1, 1), 1, 1); // Saturday before, previous month: 50
    attach(addNight(QDate(2024, 12, 1), 2, 1), 1, 1);  // Sunday the 1st, room 2: 100
    attach(addNight(QDate(2024, 12, 1), 1, 1), 1, 2);  // same day, 2 x 50
    attach(addNight(QDate(2025, 1, 5), 1, 1), 1, 1);   // Sunday after the last week: 50
    const TextGrid grid = StatisticsTable::dailyTurnover(2024, 12);
    QCOMPARE(grid.row(1).mid(1), QStringList({QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                              QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("50"),
                                              QStringLiteral("200"), QStringLiteral("250")}));
    QCOMPARE(grid.cell(6, 0), QStringLiteral("Du 30/12/2024 au 05/01/2025"));
    QCOMPARE(grid.cell(6, 7), QStringLiteral("50"));
    QCOMPARE(grid.cell(6, 8), QStringLiteral("50"));
}

void TstStatistics::emptyDatabaseShowsEmptyGrid()
{
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    StatisticsPage *tab = window.statisticsPage();
    QCOMPARE(tab->yearList()->count(), 0);
    // A refresh with no year at all: no error, no figure.
    tab->fill(0);
    window.MiseAjourDesStatistiques(0);
    window.refreshers()->statistics()->flush();
    const TextGrid shown = window.statisticsGrid()->figures();
    QCOMPARE(shown.rowCount(), 14);
    for (int row = 1; row < 14; ++row)
        for (int c = 1; c < shown.columnCount(); ++c)
            QCOMPARE(shown.cell(row, c), QString());
    QCOMPARE(shown.cell(2, 0), QStringLiteral("Févier"));
    QCOMPARE(answers->texts(), QStringList{});
}

void TstStatistics::yearListAndSelection()
{
    const int thisYear = QDate::currentDate().year();
    addNight(QDate(thisYear - 2, 3, 1), 1, 1);
    addNight(QDate(thisYear, 3, 1), 2, 1);
    addNight(QDate(thisYear + 1, 3, 1), 3, 1);
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    StatisticsPage *tab = window.statisticsPage();
    QCOMPARE(tab->yearList()->count(), 3);
    QCOMPARE(tab->yearList()->itemText(0), QString::number(thisYear - 2));
    QCOMPARE(tab->yearList()->currentText(), QString::number(thisYear));
    QCOMPARE(tab->measureList()->currentText(), QStringLiteral("Chiffre d'affaires"));

    // A change of measure recomputes every room for the chosen year.
    tab->measureList()->setCurrentIndex(1);
    QVERIFY(window.refreshers()->statistics()->isPending());
    window.refreshers()->statistics()->flush();
    QCOMPARE(window.statisticsGrid()->figures().cell(3, 2), QStringLiteral("1"));
    QCOMPARE(window.statisticsGrid()->figures().cell(3, 4), QStringLiteral("1"));

    // The year chosen stays chosen; a year whose last night goes disappears.
    tab->yearList()->setCurrentIndex(0);
    window.refreshers()->statistics()->flush();
    QCOMPARE(window.statisticsGrid()->figures().cell(3, 1), QStringLiteral("1"));
    execSql(db(), QStringLiteral("DELETE FROM reserv WHERE numero = 1"));
    window.MiseAjourDesStatistiques(0);
    window.refreshers()->statistics()->flush();
    QCOMPARE(tab->yearList()->count(), 2);
    QCOMPARE(tab->yearList()->currentText(), QString::number(thisYear));
    // A save in the entry panel refreshes its room.
    addNight(QDate(thisYear, 3, 2), 2, 1);
    window.MiseAjourDesStatistiques(2);
    window.refreshers()->statistics()->flush();
    QCOMPARE(window.statisticsGrid()->figures().cell(3, 2), QStringLiteral("2"));
    QCOMPARE(answers->texts(), QStringList{});
}

// The tab keeps the three measures of the year it shows: a change of measure
// reads nothing (a night written behind its back stays unseen), and however a
// change is announced, every measure shown next is read again.
void TstStatistics::measureChangeKeepsTheYearUntilAChange_data()
{
    QTest::addColumn<QString>("announce");
    for (const char *announce : {"save of one room", "another desk", "measure changed before the save's run",
                                 "services window closed after a price change"})
        QTest::newRow(announce) << QString::fromLatin1(announce);
}

void TstStatistics::measureChangeKeepsTheYearUntilAChange()
{
    QFETCH(QString, announce);
    const int year = QDate::currentDate().year();
    addService(1, QStringLiteral("Nuit"), 10.0, 10.0); // 20 in room 2
    attach(addNight(QDate(year, 3, 1), 2, 1, QStringLiteral("Réservé"), 2), 1, 1);
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    const auto shown = [&](int measure) {
        window.statisticsPage()->measureList()->setCurrentIndex(measure);
        window.refreshers()->statistics()->flush();
        return window.statisticsGrid()->figures().cell(3, 2);
    };
    QCOMPARE(shown(StatisticsTable::NombreJours), QStringLiteral("1"));
    attach(addNight(QDate(year, 3, 2), 2, 1, QStringLiteral("Réservé"), 3), 1, 2);
    QCOMPARE(shown(StatisticsTable::NombrePersonnes), QStringLiteral("2"));
    QCOMPARE(shown(StatisticsTable::ChiffreAffaires), QStringLiteral("20"));

    const bool priced = announce.startsWith(QLatin1String("services"));
    if (priced) {
        execSql(db(), QStringLiteral("UPDATE prestations SET tarif_ht = 2 * tarif_ht"));
        window.findChild<TForm5 *>()->reject();
    } else if (announce.startsWith(QLatin1String("another"))) {
        window.autrePosteModifie();
    } else {
        window.MiseAjourDesStatistiques(2);
        if (announce.startsWith(QLatin1String("measure")))
            window.statisticsPage()->measureList()->setCurrentIndex(StatisticsTable::NombreJours);
    }
    window.refreshers()->statistics()->flush();
    QCOMPARE(shown(StatisticsTable::NombreJours), QStringLiteral("2"));
    QCOMPARE(shown(StatisticsTable::NombrePersonnes), QStringLiteral("5"));
    QCOMPARE(shown(StatisticsTable::ChiffreAffaires), priced ? QStringLiteral("120") : QStringLiteral("60"));
    QCOMPARE(answers->texts(), QStringList{});
}

void TstStatistics::doubleClickOpensDetailsOnlyForTurnoverMonths()
{
    addNight(QDate(2024, 12, 1), 1, 1);
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    StatisticsPage *tab = window.statisticsPage();
    QCOMPARE(tab->yearList()->currentText(), QStringLiteral("2024"));
    TForm8 *details = tab->detailsWindow();
    int opened = 0;
    QString caption;
    int rows = 0;
    auto closeWhenShown = [&] {
        QTimer::singleShot(0, details, [&] {
            if (details->isVisible()) {
                ++opened;
                caption = details->windowTitle();
                rows = int(details->grid().rowCount());
                details->reject();
            }
        });
    };
    closeWhenShown();
    tab->StringGrid1DblClick(12); // the "Total" row
    QCOMPARE(opened, 0);
    tab->measureList()->setCurrentIndex(1);
    closeWhenShown();
    tab->StringGrid1DblClick(11);
    QCOMPARE(opened, 0);
    tab->measureList()->setCurrentIndex(0);
    closeWhenShown();
    tab->StringGrid1DblClick(11);
    QCOMPARE(opened, 1);
    QCOMPARE(caption, QStringLiteral("Détails de Décembre 2024"));
    QCOMPARE(rows, 7);
}

void TstStatistics::commandPrintsTheGrid()
{
    addNights(QDate(2023, 4, 1), 30, 2, 2);
    DataModule::release();
    QProcess p;
    p.start(programPath(), {QStringLiteral("--dir"), m_db->path(), QStringLiteral("statistiques"),
                            QStringLiteral("2023"), QStringLiteral("--mesure"), QStringLiteral("2")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 15); // 14 rows and the final line end
    QCOMPARE(lines.at(0), QStringLiteral("\t1\tSuite\t3\tTotal\t%"));
    QCOMPARE(lines.at(4), QStringLiteral("Avril\t0\t60\t0\t60\t67"));
    QCOMPARE(lines.at(13), QStringLiteral("Total\t0\t60\t0\t60\t5"));
}

void TstStatistics::commandRefusesBadArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no year") << QStringList{};
    QTest::newRow("not a year") << QStringList{QStringLiteral("deux")};
    QTest::newRow("bad measure") << QStringList{QStringLiteral("2023"), QStringLiteral("--mesure"),
                                               QStringLiteral("3")};
    QTest::newRow("measure missing") << QStringList{QStringLiteral("2023"), QStringLiteral("--mesure")};
    QTest::newRow("extra") << QStringList{QStringLiteral("2023"), QStringLiteral("2024")};
}

void TstStatistics::commandRefusesBadArguments()
{
    QFETCH(QStringList, args);
    DataModule::release();
    QProcess p;
    p.start(programPath(), QStringList{QStringLiteral("--dir"), m_db->path(), QStringLiteral("statistiques")} + args);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).startsWith(QStringLiteral("statistiques : ")));
    QVERIFY(p.readAllStandardOutput().isEmpty());
}

// The command's workbook and the tab's export: the month labels stay in the
// sheet, and nothing is written below the table.
void TstStatistics::spreadsheetsKeepTheFirstColumn()
{
    addNights(QDate(2023, 4, 1), 30, 2, 2);
    DataModule::release();
    const QString file = m_db->dir().file(QStringLiteral("jours.xlsx"));
    QProcess p;
    p.start(programPath(), {QStringLiteral("--dir"), m_db->path(), QStringLiteral("xlsx"),
                            QStringLiteral("statistiques"), QStringLiteral("2023"), QStringLiteral("1"), file});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QJsonArray sheets = XlsxReader::read(file);
    QCOMPARE(sheets.size(), 1);
    QJsonObject sheet = sheets.at(0).toObject();
    QVERIFY(sheet.value(QStringLiteral("name")).toString().startsWith(QStringLiteral("Nombre de jours occupés")));
    QCOMPARE(XlsxReader::rowTexts(sheet, 0),
             QStringList({QString(), QStringLiteral("1"), QStringLiteral("Suite"), QStringLiteral("3"),
                          QStringLiteral("Total"), QStringLiteral("%")}));
    QCOMPARE(XlsxReader::rowTexts(sheet, 4),
             QStringList({QStringLiteral("Avril"), QStringLiteral("0"), QStringLiteral("30"), QStringLiteral("0"),
                          QStringLiteral("30"), QStringLiteral("33")}));
    const QJsonArray rows = sheet.value(QStringLiteral("rows")).toArray();
    for (int r = 14; r < rows.size(); ++r)
        for (const QJsonValue &v : rows.at(r).toArray())
            QCOMPARE(v.toString(), QString());

    // A bad measure is refused before anything is written.
    QProcess bad;
    bad.start(programPath(), {QStringLiteral("--dir"), m_db->path(), QStringLiteral("xlsx"),
                              QStringLiteral("statistiques"), QStringLiteral("2023"), QStringLiteral("7"),
                              m_db->dir().file(QStringLiteral("non.xlsx"))});
    QVERIFY(bad.waitForFinished(60000));
    QCOMPARE(bad.exitCode(), 2);
    QVERIFY(!QFile::exists(m_db->dir().file(QStringLiteral("non.xlsx"))));

    // The tab writes the grid it shows.
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    StatisticsPage *tab = window.statisticsPage();
    tab->yearList()->setCurrentText(QStringLiteral("2023"));
    tab->measureList()->setCurrentIndex(2);
    window.refreshers()->statistics()->flush();
    const QString written = tab->exporterExcel(false);
    QVERIFY2(!written.isEmpty(), qPrintable(answers->texts().join(QLatin1Char('\n'))));
    sheet = XlsxReader::read(written).at(0).toObject();
    QVERIFY(sheet.value(QStringLiteral("name")).toString().startsWith(QStringLiteral("Nombre de personnes")));
    QCOMPARE(XlsxReader::rowTexts(sheet, 4).mid(0, 3),
             QStringList({QStringLiteral("Avril"), QStringLiteral("0"), QStringLiteral("60")}));
    tab->detailsWindow()->afficherDetailsMois(2023, 4);
    const QString weekly = tab->detailsWindow()->exporterExcel(false);
    sheet = XlsxReader::read(weekly).at(0).toObject();
    QVERIFY(sheet.value(QStringLiteral("name")).toString().startsWith(QStringLiteral("CA Hebdomadaire")));
    QCOMPARE(XlsxReader::rowTexts(sheet, 1).first(), QStringLiteral("Du 27/03/2023 au 02/04/2023"));
}

// The grid draws its cells itself; the picture must stay the one the style's
// own drawing gives (right-aligned figures, elided ones, bold total, the
// selected row).
void TstStatistics::gridDrawnAsTheStyleDrawsIt()
{
    StatisticsGrid grid;
    grid.setRooms({QStringLiteral("Chambre Bleue"), QStringLiteral("Suite"), QStringLiteral("3")});
    TextGrid figures = StatisticsTable::emptyGrid({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    for (int row = 1; row <= 13; ++row)
        for (int column = 1; column <= 5; ++column)
            figures.setCell(row, column, column % 2 ? Format::number(row * 1234.5678) : QString::number(row));
    grid.setFigures(figures);
    grid.resize(420, 420);
    grid.show();
    grid.selectRow(4);
    const QImage drawn = grid.grab().toImage();
    grid.setItemDelegate(new QStyledItemDelegate(&grid));
    QCOMPARE(grid.grab().toImage(), drawn);
}

// KESTROVA_SHOTS=DIR writes the day-by-day window as a PNG file for a person to look at.
void TstStatistics::screenshots()
{
    const QString shots = qEnvironmentVariable("KESTROVA_SHOTS");
    if (shots.isEmpty())
        QSKIP("KESTROVA_SHOTS not set");
    addService(1, QStringLiteral("Nuit"), 55.5, 10.0);
    for (int day = 0; day < 40; day += 3)
        attach(addNight(QDate(2024, 11, 28).addDays(day), 1 + day % 3, 1), 1, 1 + day % 2);
    TForm8 details;
    details.setWindowTitle(QStringLiteral("Détails de Décembre 2024"));
    details.afficherDetailsMois(2024, 12);
    details.show();
    QVERIFY(details.grab().save(shots + QStringLiteral("/details_mois.png")));
}

QTEST_MAIN(TstStatistics)
#include "tst_statistics.moc"
