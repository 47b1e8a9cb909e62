#include "ui/app/main_window.h"
#include "common/dialogs.h"
#include "data/data_module.h"
#include "data/reservation.h"
#include "data/schema.h"
#include "data/sql.h"
#include "ui/planning/month_grid.h"
#include "ui/planning/month_tab.h"
#include "planning/planning_refreshers.h"
#include "planning/planning_texts.h"
#include "planning/view_freshness.h"
#include "ui/planning/week_grid.h"
#include "ui/planning/week_tab.h"
#include "test_support.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <memory>

// The weekly and monthly plannings of the main window filled from the night
// rows: texts, colours, dates, selection, room descriptions and the delayed
// refills.
class TestPlanningViews : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void weekMatchesTheDayByDayReading_data();
    void weekMatchesTheDayByDayReading();
    void weekCellsNameTheStateOfTheFirstNightAndItsColour();
    void progressBarStepsThroughEveryRoomAndDay();
    void oneRoomIsRefilledAlone();
    void headerClickSelectsOneRoomsWeekAndShowsItsDescription();
    void aCompanyWithoutSurnameShowsItsName_data();
    void aCompanyWithoutSurnameShowsItsName();
    void monthMatchesThePerRoomFills_data();
    void monthMatchesThePerRoomFills();
    void twoMonthChangesWithinTheDelayFillOnceWithTheLater();
    void weeklyRefillWhileTheMonthIsShownLooksLikeInfosJour();
    void databaseErrors();
    void statisticsRequestsForTwoRoomsMergeIntoAllRooms();

private:
    static int addClient(int type, const QVariant &nom);
    static int addNight(const QString &date, int room, int client, const QString &etat);
    static QString dayByDayText(int room, const QDate &day, bool showsNames);
    void writeConfig(bool showsNames);
    std::unique_ptr<TForm1> openWindow(bool showsNames);

    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<ScopedAnswerer> m_answers;
    int m_dupont = 0;
    int m_martin = 0;
    int m_nameless = 0;
    int m_blank = 0;
};

namespace {

const QString kReserve = QStringLiteral("Réservé");
const QString kAcompte = QStringLiteral("Acompte");
const QString kPaye = QStringLiteral("Payé");
const QColor kColorR(0x10, 0x20, 0xA0);
const QColor kColorA(0xA0, 0x60, 0x00);
const QColor kColorP(0x00, 0x90, 0x30);

QSqlDatabase db()
{
    return DataModule::shared();
}

QDate day(const char *iso)
{
    return QDate::fromString(QLatin1String(iso), Qt::ISODate);
}

int monthRoomsFilled(const MonthGrid &grid, int rooms)
{
    int filled = 0;
    for (int room = 1; room <= rooms; ++room)
        for (int d = 0; d < grid.dayCount(); ++d)
            filled += grid.cellText(room, d).isEmpty() ? 0 : 1;
    return filled;
}

} // namespace

void TestPlanningViews::init()
{
    m_dir = std::make_unique<TestDataDir>();
    m_answers = std::make_unique<ScopedAnswerer>();
    DataModule::release();
    Schema::createOrUpgrade(db());
    m_dupont = addClient(2, QStringLiteral("Dupont"));
    m_martin = addClient(2, QStringLiteral("Martin"));
    m_nameless = addClient(2, QVariant(QMetaType(QMetaType::QString)));
    m_blank = addClient(1, QStringLiteral(""));
    const int gone = addClient(2, QStringLiteral("Parti"));

    // The week of Monday 26 February 2024 runs into March.
    for (const char *d : {"2024-02-28", "2024-02-29", "2024-03-01", "2024-03-02"})
        addNight(QLatin1String(d), 1, m_dupont, kPaye);
    // Two nights on one day, as an old file can hold them (the upgrade then
    // leaves the file without its room-night index): the first one written
    // comes first.
    Sql(db(), QStringLiteral("DROP INDEX idx_reserv_chambre_nuit")).exec();
    addNight(QStringLiteral("2024-02-27"), 2, m_martin, kAcompte);
    addNight(QStringLiteral("2024-02-27"), 2, m_dupont, kReserve);
    addNight(QStringLiteral("2024-03-01"), 2, m_nameless, kReserve);
    addNight(QStringLiteral("2024-03-02"), 2, gone, kAcompte);
    addNight(QStringLiteral("2024-03-03"), 2, m_blank, kPaye);
    addNight(QStringLiteral("2024-02-26 00:00:00"), 3, m_martin, kReserve);
    addNight(QStringLiteral("2024-03-31"), 3, m_dupont, kAcompte);
    Sql(db(), QStringLiteral("DELETE FROM infos WHERE id = :id")).bind(QStringLiteral(":id"), gone).exec();
}

void TestPlanningViews::cleanup()
{
    DataModule::release();
    m_answers.reset();
    m_dir.reset();
}

int TestPlanningViews::addClient(int type, const QVariant &nom)
{
    Sql(db(), QStringLiteral("INSERT INTO infos (type, nom, prenom, somme) VALUES (:type, :nom, '', 0)"))
        .bind(QStringLiteral(":type"), type)
        .bind(QStringLiteral(":nom"), nom)
        .exec();
    return Sql(db(), QStringLiteral("SELECT max(id) FROM infos")).scalar().toInt();
}

int TestPlanningViews::addNight(const QString &date, int room, int client, const QString &etat)
{
    Sql(db(), QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, nbpers, nbenfants) "
                             "VALUES (:d, :n, :c, :e, 2, 0)"))
        .bind(QStringLiteral(":d"), date)
        .bind(QStringLiteral(":n"), room)
        .bind(QStringLiteral(":c"), client)
        .bind(QStringLiteral(":e"), etat)
        .exec();
    return Sql(db(), QStringLiteral("SELECT max(id) FROM reserv")).scalar().toInt();
}

// The week's cell as a reading of one day at a time gives it: the day's first
// row, its state, and in the name mode the client's surname (else its company
// name) looked up apart.
QString TestPlanningViews::dayByDayText(int room, const QDate &d, bool showsNames)
{
    Sql q(db(), QStringLiteral("SELECT etat, info FROM reserv WHERE r_date >= :d AND r_date < :n "
                               "AND numero = :room ORDER BY r_date, id"));
    q.bind(QStringLiteral(":d"), d.toString(Qt::ISODate))
        .bind(QStringLiteral(":n"), d.addDays(1).toString(Qt::ISODate))
        .bind(QStringLiteral(":room"), room);
    const QList<QVariantList> rows = q.rows();
    if (rows.isEmpty())
        return {};
    const QString etat = rows.first().at(0).toString();
    if (!showsNames)
        return etat;
    Sql name(db(), QStringLiteral("SELECT COALESCE(NULLIF(nom, ''), nom_ets) FROM infos WHERE id = :id"));
    const QList<QVariantList> names = name.bind(QStringLiteral(":id"), rows.first().at(1)).rows();
    if (names.isEmpty() || names.first().at(0).toString().isEmpty())
        return etat;
    return etat + QLatin1Char(' ') + names.first().at(0).toString();
}

void TestPlanningViews::writeConfig(bool showsNames)
{
    QByteArray ini = "[Chambres]\nnombre=3\n[couleurs]\nlib_R=$A02010\nlib_A=$0060A0\nlib_P=$309000\n";
    ini += showsNames ? "[Affichage]\ntype=Nom\n" : "[Affichage]\ntype=Etat\n";
    m_dir->writeFile(QStringLiteral("config.ini"), ini);
}

std::unique_ptr<TForm1> TestPlanningViews::openWindow(bool showsNames)
{
    writeConfig(showsNames);
    auto window = std::make_unique<TForm1>();
    if (!window->FormCreate())
        return {};
    return window;
}

void TestPlanningViews::weekMatchesTheDayByDayReading_data()
{
    QTest::addColumn<QDate>("selected");
    QTest::addColumn<bool>("showsNames");
    QTest::newRow("sunday, states") << day("2024-03-03") << false;
    QTest::newRow("monday, states") << day("2024-02-26") << false;
    QTest::newRow("leap day, names") << day("2024-02-29") << true;
    QTest::newRow("sunday, names") << day("2024-03-03") << true;
}

void TestPlanningViews::weekMatchesTheDayByDayReading()
{
    QFETCH(QDate, selected);
    QFETCH(bool, showsNames);
    auto window = openWindow(showsNames);
    QVERIFY(window);
    QCOMPARE(window->stateColor(kReserve), kColorR);
    window->MonthCalendar1Click(selected);

    const QDate monday = day("2024-02-26");
    QCOMPARE(window->weekMonday(), monday);
    QCOMPARE(window->weekTab()->title()->text(), QStringLiteral("Semaine du 26/02/2024 au 03/03/2024"));
    WeekGrid *grid = window->weekGrid();
    QList<int> dayNumbers;
    for (int d = 0; d < 7; ++d)
        dayNumbers << grid->model()->index(d, PlanningModel::DayNumberColumn).data().toInt();
    QCOMPARE(dayNumbers, QList<int>({26, 27, 28, 29, 1, 2, 3}));

    const StateColors colors{kColorR, kColorA, kColorP};
    int occupied = 0;
    for (int room = 1; room <= 3; ++room) {
        for (int d = 0; d < 7; ++d) {
            const QString expected = dayByDayText(room, monday.addDays(d), showsNames);
            const PlanningModel::Cell cell = grid->cell(room, d);
            const CellStyle style = CellStyles::style(expected, colors);
            QCOMPARE(cell.data.toString(), expected);
            QCOMPARE(cell.text, style.text);
            QCOMPARE(cell.color, style.color);
            occupied += expected.isEmpty() ? 0 : 1;
        }
    }
    QCOMPARE(occupied, 9); // both months' nights are found
    QVERIFY(ViewFreshness::weeklyUpToDate());
}

void TestPlanningViews::weekCellsNameTheStateOfTheFirstNightAndItsColour()
{
    auto window = openWindow(true);
    QVERIFY(window);
    window->MonthCalendar1Click(day("2024-02-27"));
    const WeekGrid *grid = window->weekGrid();
    // Two nights on Tuesday: the first one written is shown.
    QCOMPARE(grid->cell(2, 1).data.toString(), QStringLiteral("Acompte Martin"));
    QCOMPARE(grid->cell(2, 1).text, QStringLiteral(" Martin"));
    QCOMPARE(grid->cell(2, 1).color, kColorA);
    // A client without a surname: the state alone, in its colour.
    QCOMPARE(grid->cell(2, 4).text, kReserve);
    QCOMPARE(grid->cell(2, 4).color, kColorR);
    // A deleted client: the state alone too.
    QCOMPARE(grid->cell(2, 5).text, kAcompte);
    // An empty surname and no company name: the state alone, in its colour.
    QCOMPARE(grid->cell(2, 6).data.toString(), kPaye);
    QCOMPARE(grid->cell(2, 6).color, kColorP);
    // A night stored with a time of day still belongs to its day.
    QCOMPARE(grid->cell(3, 0).text, QStringLiteral(" Martin"));
    QCOMPARE(grid->cell(1, 6).text, QString());
}

void TestPlanningViews::progressBarStepsThroughEveryRoomAndDay()
{
    auto window = openWindow(false);
    QVERIFY(window);
    QProgressBar *bar = window->progressBar();
    QList<int> values;
    connect(bar, &QProgressBar::valueChanged, this, [&values](int v) { values << v; });
    window->MonthCalendar1Click(day("2024-02-29"));
    QCOMPARE(bar->maximum(), 21);
    QList<int> expected;
    for (int v = 1; v <= 21; ++v)
        expected << v;
    expected << 0;
    QCOMPARE(values, expected);
}

void TestPlanningViews::oneRoomIsRefilledAlone()
{
    auto window = openWindow(false);
    QVERIFY(window);
    window->MonthCalendar1Click(day("2024-02-26"));
    window->weekGrid()->selectDays(1, 0, 2);
    addNight(QStringLiteral("2024-02-26"), 1, m_martin, kReserve);
    addNight(QStringLiteral("2024-02-26"), 2, m_martin, kReserve);
    window->remplissage_listbox_jour(1);
    QCOMPARE(window->weekGrid()->cellText(1, 0), kReserve);
    QCOMPARE(window->weekGrid()->cellText(1, 2), kPaye);
    QCOMPARE(window->weekGrid()->cellText(2, 0), QString()); // not asked for
    QCOMPARE(window->weekGrid()->selectedRoom(), 0);         // a refill drops the selection
}

void TestPlanningViews::headerClickSelectsOneRoomsWeekAndShowsItsDescription()
{
    m_dir->writeFile(QStringLiteral("description/2.txt"), "Vue sur le port.\r\nDouche.\r\n");
    auto window = openWindow(false);
    QVERIFY(window);
    window->resize(1200, 800);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QSignalSpy description(window.get(), &TForm1::roomDescriptionChanged);
    WeekGrid *grid = window->weekGrid();
    grid->selectDays(1, 1, 3);

    QHeaderView *h = grid->horizontalHeader();
    const int column = PlanningModel::columnOfRoom(2);
    QTest::mouseClick(
        h->viewport(), Qt::LeftButton, {},
        QPoint(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2));
    QCOMPARE(grid->selectedRoom(), 2);
    QCOMPARE(grid->selectedDays(), QList<int>({0, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(grid->selectionModel()->selectedIndexes().size(), 7);
    QCOMPARE(description.count(), 1);
    QCOMPARE(description.last().first().toString(), QStringLiteral("Vue sur le port.\nDouche.\n"));
    QCOMPARE(window->roomDescription(), QStringLiteral("Vue sur le port.\nDouche.\n"));

    // A press in a room without a description file empties it, right button included.
    const QPoint cell = grid->visualRect(grid->model()->index(4, PlanningModel::columnOfRoom(3))).center();
    QTest::mousePress(grid->viewport(), Qt::RightButton, {}, cell);
    QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, cell);
    QCOMPARE(description.count(), 2);
    QCOMPARE(description.last().first().toString(), QString());
    // A press in the day columns is no room.
    const QPoint dayName = grid->visualRect(grid->model()->index(4, PlanningModel::DayNameColumn)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, dayName);
    QCOMPARE(description.count(), 2);

    window->SelectSemaine(2);
    QCOMPARE(description.count(), 3);
    QCOMPARE(grid->selectedRoom(), 2);
}

// A company saved with its company name alone (either client coding) shows
// that name in the name mode and its state colour in both modes, on both
// tabs: a held night never looks free.
void TestPlanningViews::aCompanyWithoutSurnameShowsItsName_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("showsNames");
    QTest::addColumn<bool>("monthly");
    QTest::addColumn<QString>("text");
    for (int type : {1, 2}) {
        const char *kind = type == 1 ? "kind 1" : "kind 2";
        QTest::addRow("%s, week, names", kind) << type << true << false << QStringLiteral(" ACME SARL");
        QTest::addRow("%s, week, states", kind) << type << false << false << kAcompte;
        QTest::addRow("%s, month, names", kind) << type << true << true << QStringLiteral("ACME SARL ");
        QTest::addRow("%s, month, states", kind) << type << false << true << kAcompte;
    }
}

void TestPlanningViews::aCompanyWithoutSurnameShowsItsName()
{
    QFETCH(int, type);
    QFETCH(bool, showsNames);
    QFETCH(bool, monthly);
    QFETCH(QString, text);
    Sql(db(), QStringLiteral("INSERT INTO infos (type, nom, nom_ets, somme) VALUES (:t, '', 'ACME SARL', 0)"))
        .bind(QStringLiteral(":t"), type)
        .exec();
    const int company = Sql(db(), QStringLiteral("SELECT max(id) FROM infos")).scalar().toInt();
    addNight(QStringLiteral("2024-05-15"), 2, company, kAcompte);
    auto window = openWindow(showsNames);
    QVERIFY(window);
    window->MonthCalendar1Click(day("2024-05-15"));
    PlanningModel::Cell cell;
    if (monthly) {
        window->AffichageMois(day("2024-05-15"));
        window->refreshers()->month()->flush();
        cell = window->monthGrid()->cell(2, 14);
    } else {
        cell = window->weekGrid()->cell(2, 2);
    }
    QCOMPARE(cell.text, text);
    QCOMPARE(cell.color, kColorA);
}

void TestPlanningViews::monthMatchesThePerRoomFills_data()
{
    QTest::addColumn<QDate>("month");
    QTest::addColumn<bool>("showsNames");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("firstDayName");
    QTest::addColumn<QString>("title");
    QTest::newRow("leap february, states")
        << day("2024-02-10") << false << 29 << "jeudi" << QStringLiteral("Mois de février 2024");
    QTest::newRow("leap february, names")
        << day("2024-02-10") << true << 29 << "jeudi" << QStringLiteral("Mois de février 2024");
    QTest::newRow("march, names") << day("2024-03-31") << true << 31 << "vendredi"
                                  << QStringLiteral("Mois de mars 2024");
    QTest::newRow("february of 2023")
        << day("2023-02-01") << false << 28 << "mercredi" << QStringLiteral("Mois de février 2023");
}

void TestPlanningViews::monthMatchesThePerRoomFills()
{
    QFETCH(QDate, month);
    QFETCH(bool, showsNames);
    QFETCH(int, days);
    QFETCH(QString, firstDayName);
    QFETCH(QString, title);
    auto window = openWindow(showsNames);
    QVERIFY(window);
    window->refreshers()->month()->flush();
    ViewFreshness::setMonthlyUpToDate(false);

    window->AffichageMois(month);
    // Day labels and title at once, the rooms half a second later.
    MonthGrid *grid = window->monthGrid();
    QCOMPARE(grid->dayCount(), days);
    QCOMPARE(grid->model()->index(0, PlanningModel::DayNameColumn).data().toString(), firstDayName);
    QCOMPARE(grid->model()->index(days - 1, PlanningModel::DayNumberColumn).data().toInt(), days);
    QCOMPARE(window->monthTab()->title()->text(), title);
    QVERIFY(window->refreshers()->month()->isPending());
    QCOMPARE(monthRoomsFilled(*grid, 3), 0);
    window->refreshers()->month()->flush();
    QVERIFY(ViewFreshness::monthlyUpToDate());
    QCOMPARE(window->progressBar()->value(), 0);

    const PlanningTable table = Reservation().lirePlanningMois(month, 3);
    const StateColors colors{kColorR, kColorA, kColorP};
    for (int room = 1; room <= 3; ++room) {
        QStringList expected(32);
        if (showsNames)
            Reservation().remplirClientsMois(room, expected, month);
        else
            Reservation().remplirEtatsMois(room, expected, month);
        const QStringList texts = PlanningTexts::month(table, room, showsNames);
        QCOMPARE(texts, expected); // 32 entries, empty after the month's last day
        for (int d = 0; d < days; ++d) {
            const CellStyle style = CellStyles::style(expected.at(d), colors);
            QCOMPARE(grid->cell(room, d).text, style.text);
            QCOMPARE(grid->cell(room, d).color, style.color);
        }
    }
    if (month.month() == 2 && month.year() == 2024) {
        // Two nights on the 27th: the month shows the last one; the nameless
        // client shows its state alone in its colour.
        QCOMPARE(grid->cell(2, 26).color, kColorR);
        QCOMPARE(grid->cell(2, 26).text, showsNames ? QStringLiteral("Dupont ") : kReserve);
    }
    if (month.month() == 3 && showsNames) {
        QCOMPARE(grid->cell(2, 0).text, kReserve);
        QCOMPARE(grid->cell(2, 0).color, kColorR);
        QCOMPARE(grid->cell(3, 30).text, QStringLiteral("Dupont "));
    }
}

void TestPlanningViews::twoMonthChangesWithinTheDelayFillOnceWithTheLater()
{
    auto window = openWindow(false);
    QVERIFY(window);
    window->MonthCalendar1Click(day("2024-01-31"));
    window->tabs()->setCurrentIndex(TForm1::MonthlyTab);
    window->refreshers()->month()->flush();
    ViewFreshness::setMonthlyUpToDate(false);
    QSignalSpy ran(window->refreshers()->month(), &DelayedRefresher::ran);

    window->Button2Click(); // end of February
    QTest::qWait(150);
    window->Button2Click(); // March, from 29 February
    QCOMPARE(window->displayedMonth(), day("2024-03-29"));
    QVERIFY(ran.wait(2000));
    QTest::qWait(700);
    QCOMPARE(ran.count(), 1);
    QCOMPARE(ran.first().first().toBool(), true);
    MonthGrid *grid = window->monthGrid();
    QCOMPARE(grid->month(), day("2024-03-01"));
    QCOMPARE(grid->cellText(1, 1), kPaye);
    QCOMPARE(grid->cellText(3, 30), kAcompte);
    QCOMPARE(monthRoomsFilled(*grid, 3), 6);
    QVERIFY(ViewFreshness::monthlyUpToDate());
}

void TestPlanningViews::weeklyRefillWhileTheMonthIsShownLooksLikeInfosJour()
{
    auto window = openWindow(true);
    QVERIFY(window);
    window->MonthCalendar1Click(day("2024-02-27"));
    QList<PlanningModel::Cell> before;
    for (int room = 1; room <= 3; ++room)
        for (int d = 0; d < 7; ++d)
            before << window->weekGrid()->cell(room, d);

    window->tabs()->setCurrentIndex(TForm1::MonthlyTab);
    window->weekGrid()->clearCells();
    ViewFreshness::setWeeklyUpToDate(false);
    window->rafraichirVues();
    QVERIFY(window->refreshers()->week()->isPending());
    window->refreshers()->week()->flush();
    QVERIFY(ViewFreshness::weeklyUpToDate());
    QList<PlanningModel::Cell> after;
    for (int room = 1; room <= 3; ++room)
        for (int d = 0; d < 7; ++d)
            after << window->weekGrid()->cell(room, d);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        QCOMPARE(after.at(i).text, before.at(i).text);
        QCOMPARE(after.at(i).color, before.at(i).color);
    }

    // Back on the weekly tab before the delay: the week is filled at once and
    // the waiting refill is dropped.
    ViewFreshness::setWeeklyUpToDate(false);
    window->rafraichirVues();
    QVERIFY(window->refreshers()->week()->isPending());
    window->tabs()->setCurrentIndex(TForm1::WeeklyTab);
    QVERIFY(ViewFreshness::weeklyUpToDate());
    QVERIFY(!window->refreshers()->week()->isPending());
}

void TestPlanningViews::databaseErrors()
{
    auto window = openWindow(false);
    QVERIFY(window);
    // The opening names the old double night of room 2, once.
    QCOMPARE((*m_answers)->shown.size(), 1);
    QVERIFY((*m_answers)->shown.first().text.contains(QStringLiteral("27/02/2024")));
    (*m_answers)->shown.clear();
    window->refreshers()->month()->flush();
    window->MonthCalendar1Click(day("2024-02-27"));
    ViewFreshness::markStale();
    Sql(db(), QStringLiteral("DROP TABLE reserv")).exec();

    // The delayed monthly fill gives up without a word and leaves the flag down.
    QSignalSpy ran(window->refreshers()->month(), &DelayedRefresher::ran);
    window->AffichageMois(day("2024-02-10"));
    window->refreshers()->month()->flush();
    QCOMPARE(ran.count(), 1);
    QCOMPARE(ran.first().first().toBool(), false);
    QVERIFY(!ViewFreshness::monthlyUpToDate());
    QCOMPARE(window->progressBar()->value(), 0);
    QVERIFY((*m_answers)->texts().isEmpty());

    // The week, refilled at the user's request, tells him; the cells stay.
    window->InfosJour();
    QCOMPARE((*m_answers)->shown.size(), 1);
    QCOMPARE((*m_answers)->shown.first().kind, Dialogs::Kind::Error);
    QVERIFY(!ViewFreshness::weeklyUpToDate());
    QCOMPARE(window->progressBar()->value(), 0);
    window->remplissage_listbox_jour(2);
    QCOMPARE((*m_answers)->shown.size(), 2);
}

void TestPlanningViews::statisticsRequestsForTwoRoomsMergeIntoAllRooms()
{
    PlanningRefreshers refreshers(nullptr, 10);
    QList<int> computed;
    refreshers.setStatisticsFill([&computed](int room) { computed << room; });
    refreshers.requestStatistics(3);
    refreshers.requestStatistics(3);
    QCOMPARE(refreshers.pendingStatisticsRoom(), 3);
    refreshers.statistics()->flush();
    refreshers.requestStatistics(3);
    refreshers.requestStatistics(5);
    QCOMPARE(refreshers.pendingStatisticsRoom(), 0);
    refreshers.requestStatistics(2);
    QTRY_COMPARE_WITH_TIMEOUT(computed, QList<int>({3, 0}), 2000);
    refreshers.requestStatistics(4);
    refreshers.cancelAll();
    QCOMPARE(refreshers.pendingStatisticsRoom(), -1);
    QTest::qWait(40);
    QCOMPARE(computed, QList<int>({3, 0}));
}

QTEST_MAIN(TestPlanningViews)
#include "tst_planning_views.moc"
