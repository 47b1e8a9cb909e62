#include "ui/app/main_window.h"
#include "ui/app/room_context_menu.h"
#include "common/dialogs.h"
#include "data/data_module.h"
#include "data/sql.h"
#include "ui/planning/month_grid.h"
#include "ui/planning/month_tab.h"
#include "planning/planning_dates.h"
#include "planning/planning_refreshers.h"
#include "ui/planning/state_legend.h"
#include "ui/planning/statistics_grid.h"
#include "planning/view_freshness.h"
#include "ui/planning/week_grid.h"
#include "ui/planning/week_tab.h"
#include "test_support.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

// The planning window as a whole: its start on a new or existing data
// directory, its personalisation from config.ini, its navigation and its menus.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DataModule::release(); }
    void firstStartCreatesTheDatabaseAndShowsTwentyFiveRooms();
    void roomCountAndNamesComeFromConfig();
    void personalisationFollowsTheFileOnEveryCall();
    void unreadableRoomCountStopsTheStart();
    void nextWeekMovesTheMonthOnlyWhenLeavingIt_data();
    void nextWeekMovesTheMonthOnlyWhenLeavingIt();
    void monthButtonsAndTitles();
    void firstSwitchToTheMonthlyTabShowsTheSelectedMonth();
    void monthlyTitleNamesTheMonthItsGridShows();
    void refreshBringsStaleViewsUpToDate();
    void clientListIsInFrenchOrderAndSeesOtherConnectionsWrites();
    void menusHaveTheirCaptionsAndHiddenEntries();
    void menusHaveDistinctAltLetters();
    void bothTabsShowTheStateColoursAndGoBackToToday_data();
    void bothTabsShowTheStateColoursAndGoBackToToday();
    void roomMenuDependsOnTheLoadedReservation();
    void closingRunsTheShutdownTask();
};

void TestMainWindow::firstStartCreatesTheDatabaseAndShowsTwentyFiveRooms()
{
    TestDataDir dir;
    ScopedAnswerer answers;
    {
        TForm1 window;
        QVERIFY(window.FormCreate());
        QVERIFY(QFile::exists(dir.file(QStringLiteral("reserv.mdb"))));
        QCOMPARE(answers->shown.size(), 1);
        QCOMPARE(answers->shown.first().kind, Dialogs::Kind::Information);
        QVERIFY(answers->texts().first().startsWith(QStringLiteral(
            "Création de la base de données avec succès !\nVous trouverez le guide d'utilisation "
            "du logiciel sur \n")));

        QStringList numbers;
        for (int i = 1; i <= 25; ++i)
            numbers << QString::number(i);
        QCOMPARE(window.weekGrid()->visibleRoomNames(), numbers);
        QCOMPARE(window.monthGrid()->visibleRoomNames(), numbers);
        QCOMPARE(window.statisticsGrid()->columnCount(), 28);
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("Kestrova : Gérer les réservations de vos chambres v3.2"));

        QCOMPARE(window.tabs()->count(), 3);
        QCOMPARE(window.tabs()->tabText(0), QStringLiteral("Hebdomadaire"));
        QCOMPARE(window.tabs()->tabText(1), QStringLiteral("Mensuel"));
        QCOMPARE(window.tabs()->tabText(2), QStringLiteral("Statistiques"));
        QCOMPARE(window.tabs()->currentIndex(), int(TForm1::WeeklyTab));

        const QDate today = QDate::currentDate();
        QCOMPARE(window.selectedDate(), today);
        QCOMPARE(window.displayedMonth(), today);
        QCOMPARE(window.weekGrid()->monday(), today.addDays(1 - today.dayOfWeek()));
        QVERIFY(window.weekTab()->title()->text().startsWith(QStringLiteral("Semaine du ")));
        QCOMPARE(window.monthGrid()->dayCount(), today.daysInMonth());
        QVERIFY(ViewFreshness::weeklyUpToDate());
        QVERIFY(!ViewFreshness::monthlyUpToDate());
        QCOMPARE(window.clientList().size(), 1); // the hotel itself
    }
    // The message comes with the creation only.
    answers->reset();
    TForm1 again;
    QVERIFY(again.FormCreate());
    QVERIFY(answers->texts().isEmpty());
}

void TestMainWindow::roomCountAndNamesComeFromConfig()
{
    TestDataDir dir;
    dir.writeFile(QStringLiteral("config.ini"), "[Hotel]\nnom=Auberge du Lac\n[Chambres]\nnombre=3\n"
                                                "[Chambre2]\nnom=Chambre Verte\nCfond=clLime\n");
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    const QStringList names = {QStringLiteral("1"), QStringLiteral("Chambre Verte"), QStringLiteral("3")};
    QCOMPARE(window.weekGrid()->visibleRoomNames(), names);
    QCOMPARE(window.monthGrid()->visibleRoomNames(), names);
    QCOMPARE(window.roomCount(), 3);
    QCOMPARE(window.statisticsGrid()->columnCount(), 6);
    QCOMPARE(window.statisticsGrid()->headerTexts(),
             QStringList({QString(), QStringLiteral("1"), QStringLiteral("Chambre Verte"),
                          QStringLiteral("3"), QStringLiteral("Total"), QStringLiteral("%")}));
    QCOMPARE(window.weekGrid()->planningModel()->roomBackgroundColor(2), QColor(0, 255, 0));
    QCOMPARE(window.windowTitle(),
             QStringLiteral("Auberge du Lac : Gérer les réservations de vos chambres v3.2"));

    // The columns share the width of the window between them.
    window.resize(1400, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WeekGrid *grid = window.weekGrid();
    const int w1 = grid->columnWidth(PlanningModel::columnOfRoom(1));
    QVERIFY(w1 > 300);
    QVERIFY(qAbs(grid->columnWidth(PlanningModel::columnOfRoom(3)) - w1) <= 1);
}

void TestMainWindow::personalisationFollowsTheFileOnEveryCall()
{
    TestDataDir dir;
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    dir.writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=2\n[Affichage]\ntype=Nom\n"
                                                "[couleurs]\nlib_A=clRed\n");
    window.personnalidation();
    QCOMPARE(window.weekGrid()->visibleRoomNames().size(), 2);
    QVERIFY(window.showsNames());
    QCOMPARE(window.stateColor(QStringLiteral("Acompte")), QColor(255, 0, 0));
    QCOMPARE(window.stateColor(QStringLiteral("Payé")), QColor(0, 0x80, 0));
    dir.writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=4\n");
    window.personnalidation();
    QCOMPARE(window.weekGrid()->visibleRoomNames().size(), 4);
    QCOMPARE(window.statisticsGrid()->columnCount(), 7);
    QVERIFY(!window.showsNames());
}

void TestMainWindow::unreadableRoomCountStopsTheStart()
{
    TestDataDir dir;
    dir.writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=douze\n");
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(!window.FormCreate());
    QCOMPARE(answers->shown.last().kind, Dialogs::Kind::Error);
    QVERIFY(answers->shown.last().text.contains(QStringLiteral("douze")));
}

void TestMainWindow::nextWeekMovesTheMonthOnlyWhenLeavingIt_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<bool>("monthMoves");
    QTest::newRow("last week of january") << QDate(2024, 1, 29) << true << true;
    QTest::newRow("to the 31st of january") << QDate(2024, 1, 24) << true << false;
    QTest::newRow("within the month") << QDate(2024, 1, 8) << true << false;
    QTest::newRow("back from the 3rd of march") << QDate(2024, 3, 3) << false << true;
}

void TestMainWindow::nextWeekMovesTheMonthOnlyWhenLeavingIt()
{
    QFETCH(QDate, start);
    QFETCH(bool, forward);
    QFETCH(bool, monthMoves);
    TestDataDir dir;
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    window.MonthCalendar1Click(start);
    QCOMPARE(window.displayedMonth().month(), start.month());

    QSignalSpy refresh(&window, &TForm1::monthRefreshRequested);
    if (forward)
        window.SuivantClick();
    else
        window.PrecedentClick();
    const QDate selected = start.addDays(forward ? 7 : -7);
    QCOMPARE(window.selectedDate(), selected);
    QCOMPARE(window.calendar()->selectedDate(), selected);
    QCOMPARE(window.weekGrid()->monday(), selected.addDays(1 - selected.dayOfWeek()));
    QCOMPARE(refresh.count(), monthMoves ? 1 : 0);
    QCOMPARE(window.displayedMonth(), monthMoves ? selected : start);
    QCOMPARE(window.monthGrid()->month().month(), window.displayedMonth().month());
}

void TestMainWindow::monthButtonsAndTitles()
{
    TestDataDir dir;
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    window.MonthCalendar1Click(QDate(2024, 1, 31));
    QCOMPARE(window.weekTab()->title()->text(), QStringLiteral("Semaine du 29/01/2024 au 04/02/2024"));
    QCOMPARE(window.weekGrid()->model()->index(6, PlanningModel::DayNumberColumn).data().toInt(), 4);

    QSignalSpy refresh(&window, &TForm1::monthRefreshRequested);
    window.Button2Click();
    QCOMPARE(window.displayedMonth(), QDate(2024, 2, 29));
    QCOMPARE(window.monthGrid()->dayCount(), 29);
    QCOMPARE(window.monthTab()->title()->text(), QStringLiteral("Mois de février 2024"));
    window.Button2Click();
    QCOMPARE(window.displayedMonth(), QDate(2024, 3, 29));
    window.Button1Click();
    window.Button1Click();
    window.Button1Click();
    QCOMPARE(window.displayedMonth(), QDate(2023, 12, 29));
    QCOMPARE(refresh.count(), 5);
    QCOMPARE(refresh.last().first().toDate(), QDate(2023, 12, 29));
    // The month buttons leave the week alone.
    QCOMPARE(window.selectedDate(), QDate(2024, 1, 31));
}

void TestMainWindow::firstSwitchToTheMonthlyTabShowsTheSelectedMonth()
{
    TestDataDir dir;
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    window.MonthCalendar1Click(QDate(2024, 5, 15));
    window.Button2Click(); // june
    QVERIFY(!ViewFreshness::monthlyUpToDate());
    window.tabs()->setCurrentIndex(TForm1::MonthlyTab);
    QCOMPARE(window.displayedMonth(), QDate(2024, 5, 15));
    QCOMPARE(window.monthGrid()->dayCount(), 31);
    QVERIFY(ViewFreshness::monthlyUpToDate());

    // Once up to date, switching back and forth keeps the month the user chose.
    window.Button2Click();
    window.tabs()->setCurrentIndex(TForm1::WeeklyTab);
    window.tabs()->setCurrentIndex(TForm1::MonthlyTab);
    QCOMPARE(window.displayedMonth(), QDate(2024, 6, 15));
}

void TestMainWindow::monthlyTitleNamesTheMonthItsGridShows()
{
    TestDataDir dir;
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    window.MonthCalendar1Click(QDate(2026, 12, 10));
    window.tabs()->setCurrentIndex(TForm1::MonthlyTab);
    window.Button2Click(); // January
    // The same title, with one blank, after the month buttons and after a week move.
    QCOMPARE(window.monthTab()->title()->text(), QStringLiteral("Mois de janvier 2027"));
    window.refreshers()->month()->flush();
    window.tabs()->setCurrentIndex(TForm1::WeeklyTab);
    window.SuivantClick(); // still December
    QCOMPARE(window.selectedDate(), QDate(2026, 12, 17));
    window.tabs()->setCurrentIndex(TForm1::MonthlyTab);

    const QDate shown = window.monthGrid()->month();
    QCOMPARE(shown, QDate(2027, 1, 1));
    QCOMPARE(window.monthTab()->title()->text(), QStringLiteral("Mois de janvier 2027"));
}

void TestMainWindow::refreshBringsStaleViewsUpToDate()
{
    TestDataDir dir;
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    window.MonthCalendar1Click(QDate(2024, 5, 15));
    window.tabs()->setCurrentIndex(TForm1::MonthlyTab);
    window.Button2Click();
    window.tabs()->setCurrentIndex(TForm1::WeeklyTab);

    QSignalSpy month(&window, &TForm1::monthRefreshRequested);
    QSignalSpy week(&window, &TForm1::weekRefreshRequested);
    QSignalSpy statistics(&window, &TForm1::statisticsRefreshRequested);
    QSignalSpy clients(&window, &TForm1::clientListReloaded);

    // Nothing stale: only the client list is read again.
    ViewFreshness::setWeeklyUpToDate(true);
    ViewFreshness::setMonthlyUpToDate(true);
    window.rafraichirVues();
    QCOMPARE(month.count() + week.count() + statistics.count(), 0);
    QCOMPARE(clients.count(), 1);

    // Weekly tab shown, both stale: the week is refilled at once, the month of the
    // selected date is asked for, the statistics of every room too.
    ViewFreshness::markStale();
    window.weekGrid()->selectDays(2, 1, 3);
    window.rafraichirVues();
    QVERIFY(ViewFreshness::weeklyUpToDate());
    QCOMPARE(window.weekGrid()->selectedRoom(), 0);
    QCOMPARE(month.count(), 1);
    QCOMPARE(month.last().first().toDate(), QDate(2024, 5, 15));
    QCOMPARE(window.displayedMonth(), QDate(2024, 5, 15));
    QCOMPARE(statistics.count(), 1);
    QCOMPARE(statistics.last().first().toInt(), 0);

    // Monthly tab shown: the week is left to the delayed refill.
    window.tabs()->setCurrentIndex(TForm1::MonthlyTab);
    ViewFreshness::markStale();
    month.clear();
    window.rafraichirVues();
    QCOMPARE(week.count(), 1);
    QCOMPARE(week.last().first().toDate(), QDate(2024, 5, 13));
    QCOMPARE(month.count(), 1);
    QVERIFY(!ViewFreshness::weeklyUpToDate());

    // Coming back to the weekly tab refills the stale week.
    window.tabs()->setCurrentIndex(TForm1::WeeklyTab);
    QVERIFY(ViewFreshness::weeklyUpToDate());
}

void TestMainWindow::clientListIsInFrenchOrderAndSeesOtherConnectionsWrites()
{
    TestDataDir dir;
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    {
        // Written through the shared connection while the window's list is loaded.
        DataModule::Use use;
        Sql insert(use.db(),
                   QStringLiteral("INSERT INTO infos (type,nom,prenom,somme) VALUES (2,:nom,:prenom,0)"));
        const QList<QPair<QString, QString>> people = {{QStringLiteral("Zola"), QStringLiteral("Émile")},
                                                       {QStringLiteral("Émery"), QStringLiteral("Paul")},
                                                       {QStringLiteral("de Sousa"), QStringLiteral("Ana")},
                                                       {QStringLiteral("Durand"), QStringLiteral("Marc")},
                                                       {QStringLiteral("Durand"), QStringLiteral("Anne")},
                                                       {QStringLiteral("Eymard"), QStringLiteral("Luc")}};
        for (const auto &[nom, prenom] : people)
            insert.bind(QStringLiteral(":nom"), nom).bind(QStringLiteral(":prenom"), prenom).exec();
    }
    window.rafraichirVues();
    QStringList order;
    for (const QSqlRecord &r : window.clientList())
        order << QString(r.value(QStringLiteral("nom")).toString() + QLatin1Char(' ') +
                         r.value(QStringLiteral("prenom")).toString())
                     .trimmed();
    QCOMPARE(order, QStringList({QString(), QStringLiteral("de Sousa Ana"), QStringLiteral("Durand Anne"),
                                 QStringLiteral("Durand Marc"), QStringLiteral("Émery Paul"),
                                 QStringLiteral("Eymard Luc"), QStringLiteral("Zola Émile")}));
    QCOMPARE(window.clientList().first().value(QStringLiteral("nom_ets")).toString(),
             QStringLiteral("Mon Hotel"));
}

void TestMainWindow::menusHaveTheirCaptionsAndHiddenEntries()
{
    TForm1 window;
    QStringList menus;
    QStringList hidden;
    QStringList enabled;
    QMap<QString, QStringList> entries;
    // Captions are read without their Alt-letter marker.
    for (QAction *m : window.menuBar()->actions()) {
        menus << m->iconText();
        if (!m->isVisible())
            hidden << m->iconText();
        for (QAction *a : m->menu()->actions()) {
            if (a->isSeparator())
                continue;
            entries[m->iconText()] << a->iconText();
            if (!a->isVisible())
                hidden << a->iconText();
            else if (a->isEnabled() && m->isVisible())
                enabled << a->iconText();
        }
    }
    QCOMPARE(menus,
             QStringList({QStringLiteral("Fichier"), QStringLiteral("Clients"), QStringLiteral("Réservation"),
                          QStringLiteral("Facturation"), QStringLiteral("Devis"), QStringLiteral("Emailing"),
                          QStringLiteral("Paramètres"), QStringLiteral("?")}));
    QCOMPARE(
        entries.value(QStringLiteral("Fichier")),
        QStringList({QStringLiteral("Imprimer"), QStringLiteral("Importer les données de l'ancien logiciel…"), QStringLiteral("Services web"), QStringLiteral("Quitter")}));
    QCOMPARE(entries.value(QStringLiteral("Clients")),
             QStringList({QStringLiteral("Liste des Clients"), QStringLiteral("Nouveau client")}));
    QCOMPARE(entries.value(QStringLiteral("Réservation")),
             QStringList({QStringLiteral("Nouvelle réservation"), QStringLiteral("Calendriers en ligne (iCal)")}));
    QCOMPARE(entries.value(QStringLiteral("Facturation")),
             QStringList({QStringLiteral("Liste des factures"), QStringLiteral("Editer une facture")}));
    QCOMPARE(entries.value(QStringLiteral("Devis")),
             QStringList({QStringLiteral("Liste des devis"), QStringLiteral("Nouveau devis")}));
    // Neither a free message without a client nor an unprepared e-mail window
    // can serve anyone: those entries are gone.
    QCOMPARE(entries.value(QStringLiteral("Emailing")),
             QStringList({QStringLiteral("Gestion des pièces jointes")}));
    QCOMPARE(entries.value(QStringLiteral("Paramètres")),
             QStringList({QStringLiteral("Personnalisation"), QStringLiteral("Périodes tarifaires"),
                          QStringLiteral("Prestations"), QStringLiteral("TVA")}));
    QCOMPARE(entries.value(QStringLiteral("?")),
             QStringList({QStringLiteral("A propos")}));
    QCOMPARE(hidden, QStringList({QStringLiteral("Editer une facture"), QStringLiteral("Emailing"),
                                  QStringLiteral("Périodes tarifaires")}));
    // Only what works is offered.
    QCOMPARE(enabled, QStringList({QStringLiteral("Imprimer"), QStringLiteral("Importer les données de l'ancien logiciel…"), QStringLiteral("Services web"),
                                   QStringLiteral("Quitter"),
                                   QStringLiteral("Liste des Clients"), QStringLiteral("Nouveau client"),
                                   QStringLiteral("Nouvelle réservation"), QStringLiteral("Calendriers en ligne (iCal)"), QStringLiteral("Liste des factures"),
                                   QStringLiteral("Liste des devis"), QStringLiteral("Nouveau devis"),
                                   QStringLiteral("Personnalisation"), QStringLiteral("Prestations"),
                                   QStringLiteral("TVA"), QStringLiteral("A propos")}));
    // Not offered, but ready the day it is.
    QAction *periods = window.findChild<QAction *>(QStringLiteral("actionPeriodesTarifaires"));
    periods->setVisible(true);
    QVERIFY(periods->isEnabled());
    QVERIFY(window.findChild<QAction *>(QStringLiteral("actionListeClients")));
}

void TestMainWindow::menusHaveDistinctAltLetters()
{
    TForm1 window;
    const auto letterOf = [](const QAction *a) {
        const qsizetype amp = a->text().indexOf(QLatin1Char('&'));
        return amp >= 0 && amp + 1 < a->text().size() ? a->text()[amp + 1].toLower() : QChar();
    };
    const auto checkLevel = [&](const QList<QAction *> &actions) {
        QString used;
        for (const QAction *a : actions) {
            if (a->isSeparator() || a->iconText() == QStringLiteral("?"))
                continue;
            const QChar letter = letterOf(a);
            QVERIFY2(letter.isLetter(), qPrintable(a->text()));
            QVERIFY2(!used.contains(letter), qPrintable(a->text()));
            used += letter;
        }
    };
    checkLevel(window.menuBar()->actions());
    for (QAction *m : window.menuBar()->actions())
        checkLevel(m->menu()->actions());
    QCOMPARE(window.menus().fichier->title(), QStringLiteral("&Fichier"));
    QCOMPARE(window.menus().facturation->title(), QStringLiteral("F&acturation"));
    QCOMPARE(window.menus().quitter->text(), QStringLiteral("&Quitter"));

    // Alt and the letter open the menu.
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(window.menus().parametres->isVisible(), 2000);
    window.menus().parametres->close();
}

void TestMainWindow::bothTabsShowTheStateColoursAndGoBackToToday_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("weekly") << int(TForm1::WeeklyTab);
    QTest::newRow("monthly") << int(TForm1::MonthlyTab);
}

void TestMainWindow::bothTabsShowTheStateColoursAndGoBackToToday()
{
    QFETCH(int, tab);
    TestDataDir dir;
    dir.writeFile(QStringLiteral("config.ini"), "[couleurs]\nlib_R=clRed\nlib_A=$0000FF00\nlib_P=clBlue\n");
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    for (StateLegend *legend : {window.weekTab()->legend(), window.monthTab()->legend()}) {
        QCOMPARE(legend->color(QStringLiteral("Réservé")), QColor(Qt::red));
        QCOMPARE(legend->color(QStringLiteral("Acompte")), QColor(Qt::green));
        QCOMPARE(legend->color(QStringLiteral("Payé")), QColor(Qt::blue));
    }

    // Far from today on both tabs, then "Aujourd'hui" on one of them.
    window.tabs()->setCurrentIndex(tab);
    for (int i = 0; i < 6; ++i) {
        window.SuivantClick();
        window.Button2Click();
        window.Button2Click();
    }
    const QDate today = QDate::currentDate();
    QVERIFY(window.weekMonday() > today);
    QPushButton *button =
        tab == TForm1::WeeklyTab ? window.weekTab()->todayButton() : window.monthTab()->todayButton();
    QCOMPARE(button->text(), QStringLiteral("Aujourd'hui"));
    button->click();
    QCOMPARE(window.selectedDate(), today);
    QCOMPARE(window.weekGrid()->monday(), today.addDays(1 - today.dayOfWeek()));
    QCOMPARE(window.calendar()->selectedDate(), today);
    QCOMPARE(window.displayedMonth().month(), today.month());
    QCOMPARE(window.displayedMonth().year(), today.year());
    QCOMPARE(window.monthGrid()->dayCount(), today.daysInMonth());
}

void TestMainWindow::roomMenuDependsOnTheLoadedReservation()
{
    TestDataDir dir;
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    const auto visibleEntries = [&] {
        QStringList texts;
        for (QAction *a : window.roomMenu()->actions())
            if (a->isVisible())
                texts << a->text();
        return texts;
    };
    window.roomMenu()->prepare(window.hasLoadedReservation());
    QCOMPARE(visibleEntries(), QStringList({QStringLiteral("Nouvelle réservation")}));
    QVERIFY(!window.requireLoadedReservation());
    QCOMPARE(answers->texts().last(), QStringLiteral("Il n'y a pas de réservation à cette date"));

    window.setLoadedReservation(12, 3);
    window.roomMenu()->prepare(window.hasLoadedReservation());
    QCOMPARE(visibleEntries(),
             QStringList({QStringLiteral("Modifier la réservation"), QStringLiteral("Editer la facture")}));
    answers->reset();
    QVERIFY(window.requireLoadedReservation());
    QVERIFY(answers->texts().isEmpty());
    QCOMPARE(window.currentReservationId(), 12);

    window.clearLoadedReservation();
    QVERIFY(!window.hasLoadedReservation());
}

void TestMainWindow::closingRunsTheShutdownTask()
{
    TestDataDir dir;
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    int runs = 0;
    window.setShutdownTask([&runs] { ++runs; });
    window.show();
    window.menus().quitter->trigger();
    QCOMPARE(runs, 1);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
