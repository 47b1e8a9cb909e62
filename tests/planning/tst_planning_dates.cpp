#include "planning/planning_dates.h"
#include "planning/planning_navigation.h"

#include <QTest>

// The calendar rules behind the planning tabs: which week and which month they
// show after each navigation step.
class TestPlanningDates : public QObject
{
    Q_OBJECT

private slots:
    void mondayOfWeek_data();
    void mondayOfWeek();
    void monthStepKeepsDayWithinShorterMonth_data();
    void monthStepKeepsDayWithinShorterMonth();
    void titles_data();
    void titles();
    void weekStepMovesMonthOnlyWhenLeavingIt_data();
    void weekStepMovesMonthOnlyWhenLeavingIt();
    void calendarClickComparesWithDisplayedMonth();
    void monthButtonsWalkFromClampedDate();
};

void TestPlanningDates::mondayOfWeek_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("monday");
    QTest::newRow("sunday ends its week") << QDate(2024, 6, 9) << QDate(2024, 6, 3);
    QTest::newRow("monday starts its week") << QDate(2024, 6, 3) << QDate(2024, 6, 3);
    QTest::newRow("saturday") << QDate(2024, 6, 8) << QDate(2024, 6, 3);
    QTest::newRow("week across two years") << QDate(2026, 1, 1) << QDate(2025, 12, 29);
    QTest::newRow("leap day") << QDate(2024, 2, 29) << QDate(2024, 2, 26);
}

void TestPlanningDates::mondayOfWeek()
{
    QFETCH(QDate, date);
    QFETCH(QDate, monday);
    QCOMPARE(PlanningDates::mondayOf(date), monday);
}

void TestPlanningDates::monthStepKeepsDayWithinShorterMonth_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("months");
    QTest::addColumn<QDate>("to");
    QTest::newRow("31 january to february of a leap year") << QDate(2024, 1, 31) << 1 << QDate(2024, 2, 29);
    QTest::newRow("31 january to february of another year") << QDate(2023, 1, 31) << 1 << QDate(2023, 2, 28);
    QTest::newRow("back from 31 march") << QDate(2024, 3, 31) << -1 << QDate(2024, 2, 29);
    QTest::newRow("december to january") << QDate(2024, 12, 31) << 1 << QDate(2025, 1, 31);
    QTest::newRow("january back to december") << QDate(2025, 1, 15) << -1 << QDate(2024, 12, 15);
}

void TestPlanningDates::monthStepKeepsDayWithinShorterMonth()
{
    QFETCH(QDate, from);
    QFETCH(int, months);
    QFETCH(QDate, to);
    QCOMPARE(PlanningDates::addMonths(from, months), to);
}

void TestPlanningDates::titles_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    QTest::newRow("week across two months") << PlanningDates::weekTitle(QDate(2024, 1, 29))
                                            << QStringLiteral("Semaine du 29/01/2024 au 04/02/2024");
    QTest::newRow("month with apostrophe")
        << PlanningDates::nomMois(QDate(2024, 4, 1)) << QStringLiteral("Mois d'avril ");
    QTest::newRow("august keeps its spelling")
        << PlanningDates::nomMois(QDate(2024, 8, 1)) << QStringLiteral("Mois d'aout ");
    QTest::newRow("accented month") << PlanningDates::nomMois(QDate(2024, 12, 1))
                                    << QStringLiteral("Mois de décembre ");
    QTest::newRow("monthly title, one blank before the year")
        << PlanningDates::monthTitle(QDate(2027, 1, 31)) << QStringLiteral("Mois de janvier 2027");
    QTest::newRow("day column name") << PlanningDates::monthDayName(QDate(2024, 2, 1))
                                     << QStringLiteral("jeudi");
}

void TestPlanningDates::titles()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TestPlanningDates::weekStepMovesMonthOnlyWhenLeavingIt_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QDate>("selected");
    QTest::addColumn<bool>("monthMoved");
    QTest::newRow("next from the last week of january")
        << QDate(2024, 1, 29) << true << QDate(2024, 2, 5) << true;
    QTest::newRow("next within the month") << QDate(2024, 1, 8) << true << QDate(2024, 1, 15) << false;
    QTest::newRow("next into the new year") << QDate(2024, 12, 30) << true << QDate(2025, 1, 6) << true;
    QTest::newRow("previous from the first week") << QDate(2024, 3, 4) << false << QDate(2024, 2, 26) << true;
    QTest::newRow("previous within the month") << QDate(2024, 3, 20) << false << QDate(2024, 3, 13) << false;
}

void TestPlanningDates::weekStepMovesMonthOnlyWhenLeavingIt()
{
    QFETCH(QDate, start);
    QFETCH(bool, forward);
    QFETCH(QDate, selected);
    QFETCH(bool, monthMoved);
    PlanningNavigation nav(start);
    QCOMPARE(forward ? nav.nextWeek() : nav.previousWeek(), monthMoved);
    QCOMPARE(nav.selectedDate(), selected);
    QCOMPARE(nav.monday(), PlanningDates::mondayOf(selected));
    QCOMPARE(nav.displayedMonth(), monthMoved ? selected : start);
}

void TestPlanningDates::calendarClickComparesWithDisplayedMonth()
{
    PlanningNavigation nav(QDate(2024, 1, 10));
    nav.nextMonth(); // the monthly tab now shows february
    QVERIFY(nav.selectDate(QDate(2024, 1, 20)));
    QCOMPARE(nav.displayedMonth(), QDate(2024, 1, 20));
    QVERIFY(!nav.selectDate(QDate(2024, 1, 3)));
    QCOMPARE(nav.displayedMonth(), QDate(2024, 1, 20));
    QVERIFY(nav.selectDate(QDate(2025, 1, 3))); // same month, other year
}

void TestPlanningDates::monthButtonsWalkFromClampedDate()
{
    PlanningNavigation nav(QDate(2024, 1, 31));
    nav.nextMonth();
    QCOMPARE(nav.displayedMonth(), QDate(2024, 2, 29));
    nav.nextMonth();
    QCOMPARE(nav.displayedMonth(), QDate(2024, 3, 29));
    QCOMPARE(nav.selectedDate(), QDate(2024, 1, 31));
    nav.showSelectedMonth();
    QCOMPARE(nav.displayedMonth(), QDate(2024, 1, 31));
}

QTEST_GUILESS_MAIN(TestPlanningDates)
#include "tst_planning_dates.moc"
