#include "ui/planning/month_grid.h"
#include "planning/planning_model.h"
#include "ui/planning/week_grid.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

// The planning grids as the user handles them: which days a click, a drag or a
// header click selects, and what the cells hold.
class TestPlanningGrids : public QObject
{
    Q_OBJECT

private slots:
    void modelPassesTheItemModelChecks();
    void cellsOutsideTheGridAreIgnored();
    void dragStaysInTheColumnWhereItStarted();
    void shiftClickExtendsOnlyWithinTheSameRoom_data();
    void shiftClickExtendsOnlyWithinTheSameRoom();
    void keyboardExtendsDownTheColumnAndMovesAcrossRooms();
    void headerClickSelectsTheWholeWeekOfThatRoomOnly();
    void refillOfAColumnDropsItsSelection();
    void hiddenRoomsAreNotOffered();
    void monthHasOneRowPerDay_data();
    void monthHasOneRowPerDay();
    void dayClickHighlightsTheDayInEveryRoom();

private:
    static QPoint centre(const PlanningGrid &grid, int room, int day)
    {
        return grid.visualRect(grid.model()->index(day, PlanningModel::columnOfRoom(room))).center();
    }
    static void drag(QWidget *viewport, const QPoint &to)
    {
        QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
    static void show(QWidget &w)
    {
        w.resize(1000, 500);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
};

void TestPlanningGrids::modelPassesTheItemModelChecks()
{
    PlanningModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QList<QDate> days;
    for (int d = 0; d < 7; ++d)
        days << QDate(2024, 1, 29).addDays(d);
    model.setDays(days, {QStringLiteral("Lundi")});
    model.setRoomName(2, QStringLiteral("Chambre Verte"));
    model.setRoomColors(2, Qt::darkGreen, QColor(0xE6, 0xF3, 0xE4));
    model.setCell(2, 3, QStringLiteral("Réservé"), Qt::gray, 42);
    model.clearRoom(1);
    model.clearCells();
    model.setCell(3, 6, QStringLiteral("Payé"));

    QCOMPARE(model.columnCount(), PlanningModel::FirstRoomColumn + PlanningModel::MaxRooms);
    QCOMPARE(model.headerData(PlanningModel::columnOfRoom(2), Qt::Horizontal).toString(),
             QStringLiteral("Chambre Verte"));
    QCOMPARE(model.headerData(PlanningModel::columnOfRoom(25), Qt::Horizontal).toString(),
             QStringLiteral("25"));
    QCOMPARE(model.index(6, PlanningModel::columnOfRoom(3)).data().toString(), QStringLiteral("Payé"));
    QCOMPARE(model.index(3, PlanningModel::DayNumberColumn).data().toInt(), 1); // 1 February
    QCOMPARE(model.index(0, PlanningModel::columnOfRoom(2)).data(Qt::BackgroundRole).value<QColor>(),
             QColor(0xE6, 0xF3, 0xE4));
}

void TestPlanningGrids::cellsOutsideTheGridAreIgnored()
{
    WeekGrid grid;
    grid.setWeek(QDate(2024, 1, 29));
    grid.setCell(0, 0, QStringLiteral("x"));
    grid.setCell(26, 0, QStringLiteral("x"));
    grid.setCell(1, 7, QStringLiteral("x"));
    grid.setCell(1, -1, QStringLiteral("x"));
    grid.setCell(25, 6, QStringLiteral("Acompte"), Qt::darkYellow);
    QCOMPARE(grid.cellText(25, 6), QStringLiteral("Acompte"));
    QCOMPARE(grid.cell(25, 6).color, QColor(Qt::darkYellow));
    for (int room = 1; room <= 24; ++room)
        for (int day = 0; day < 7; ++day)
            QVERIFY(grid.cellText(room, day).isEmpty());
}

void TestPlanningGrids::dragStaysInTheColumnWhereItStarted()
{
    WeekGrid grid;
    grid.setWeek(QDate(2024, 1, 29));
    grid.setRoomCount(6);
    show(grid);
    QSignalSpy clicked(&grid, &WeekGrid::cellClicked);
    QSignalSpy changed(&grid, &WeekGrid::daySelectionChanged);
    QWidget *vp = grid.viewport();

    QTest::mousePress(vp, Qt::LeftButton, {}, centre(grid, 3, 2)); // Wednesday of room 3
    drag(vp, centre(grid, 5, 4));                                  // pointer over room 5, Friday
    QTest::mouseRelease(vp, Qt::LeftButton, {}, centre(grid, 5, 4));

    QCOMPARE(grid.selectedRoom(), 3);
    QCOMPARE(grid.selectedDays(), QList<int>({2, 3, 4}));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.last().at(0).toInt(), 3);
    QCOMPARE(clicked.last().at(1).toInt(), 2);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.last().at(0).toInt(), 3);
    QCOMPARE(changed.last().at(1).toDate(), QDate(2024, 1, 31));
    QCOMPARE(changed.last().at(2).toDate(), QDate(2024, 2, 2));

    // Dragging above the grid stops at Monday.
    QTest::mousePress(vp, Qt::LeftButton, {}, centre(grid, 4, 3));
    drag(vp, QPoint(centre(grid, 4, 0).x(), -30));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, centre(grid, 4, 0));
    QCOMPARE(grid.selectedRoom(), 4);
    QCOMPARE(grid.selectedDays(), QList<int>({0, 1, 2, 3}));
}

void TestPlanningGrids::shiftClickExtendsOnlyWithinTheSameRoom_data()
{
    QTest::addColumn<int>("secondRoom");
    QTest::addColumn<int>("expectedRoom");
    QTest::addColumn<QList<int>>("expectedDays");
    QTest::newRow("same room: range") << 2 << 2 << QList<int>({1, 2, 3, 4, 5});
    QTest::newRow("other room: a new single day") << 4 << 4 << QList<int>({5});
}

void TestPlanningGrids::shiftClickExtendsOnlyWithinTheSameRoom()
{
    QFETCH(int, secondRoom);
    QFETCH(int, expectedRoom);
    QFETCH(QList<int>, expectedDays);
    WeekGrid grid;
    grid.setRoomCount(5);
    show(grid);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre(grid, 2, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(grid, secondRoom, 5));
    QCOMPARE(grid.selectedRoom(), expectedRoom);
    QCOMPARE(grid.selectedDays(), expectedDays);
}

void TestPlanningGrids::keyboardExtendsDownTheColumnAndMovesAcrossRooms()
{
    WeekGrid grid;
    grid.setRoomCount(3);
    show(grid);
    QSignalSpy clicked(&grid, &WeekGrid::cellClicked);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre(grid, 2, 1));
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(grid.selectedDays(), QList<int>({1, 2, 3}));
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_Right); // room 3 is the last one shown
    QCOMPARE(grid.selectedRoom(), 3);
    QCOMPARE(grid.selectedDays(), QList<int>({3}));
    QCOMPARE(clicked.last().at(0).toInt(), 3);
    QCOMPARE(clicked.last().at(1).toInt(), 3);
}

void TestPlanningGrids::headerClickSelectsTheWholeWeekOfThatRoomOnly()
{
    WeekGrid grid;
    grid.setRoomCount(5);
    show(grid);
    QSignalSpy header(&grid, &WeekGrid::roomHeaderClicked);
    grid.selectDays(1, 2, 3);
    QHeaderView *h = grid.horizontalHeader();
    const int column = PlanningModel::columnOfRoom(4);
    const QPoint pos(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, pos);
    QCOMPARE(header.count(), 1);
    QCOMPARE(header.first().first().toInt(), 4);
    QCOMPARE(grid.selectedRoom(), 4);
    QCOMPARE(grid.selectedDays(), QList<int>({0, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(grid.selectionModel()->selectedIndexes().size(), 7);
}

void TestPlanningGrids::refillOfAColumnDropsItsSelection()
{
    WeekGrid grid;
    grid.setCell(2, 1, QStringLiteral("Payé"));
    grid.selectDays(2, 0, 2);
    grid.clearRoom(3);
    QCOMPARE(grid.selectedDays(), QList<int>({0, 1, 2}));
    grid.clearRoom(2);
    QCOMPARE(grid.selectedRoom(), 0);
    QVERIFY(grid.cellText(2, 1).isEmpty());
    grid.selectDays(2, 0, 2);
    grid.setWeek(QDate(2024, 2, 5));
    QCOMPARE(grid.selectedRoom(), 0);
}

void TestPlanningGrids::hiddenRoomsAreNotOffered()
{
    WeekGrid grid;
    grid.setRoomName(1, QStringLiteral("Bleue"));
    grid.selectDays(5, 1, 1);
    grid.setRoomCount(3);
    QCOMPARE(grid.visibleRoomNames(),
             QStringList({QStringLiteral("Bleue"), QStringLiteral("2"), QStringLiteral("3")}));
    QCOMPARE(grid.selectedRoom(), 0); // the selection of a room that went away goes too
    grid.selectDays(4, 0, 0);
    QCOMPARE(grid.selectedRoom(), 0);
    grid.selectWeek(3);
    QCOMPARE(grid.selectedRoom(), 3);
}

void TestPlanningGrids::monthHasOneRowPerDay_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("firstDayName");
    QTest::newRow("february of a leap year") << QDate(2024, 2, 17) << 29 << QStringLiteral("jeudi");
    QTest::newRow("february of another year") << QDate(2023, 2, 1) << 28 << QStringLiteral("mercredi");
    QTest::newRow("december") << QDate(2024, 12, 31) << 31 << QStringLiteral("dimanche");
}

void TestPlanningGrids::monthHasOneRowPerDay()
{
    QFETCH(QDate, date);
    QFETCH(int, days);
    QFETCH(QString, firstDayName);
    MonthGrid grid;
    grid.setMonth(date);
    QCOMPARE(grid.dayCount(), days);
    QCOMPARE(grid.model()->index(0, PlanningModel::DayNameColumn).data().toString(), firstDayName);
    QCOMPARE(grid.model()->index(days - 1, PlanningModel::DayNumberColumn).data().toInt(), days);
    QCOMPARE(grid.dayDate(days - 1), QDate(date.year(), date.month(), days));
}

void TestPlanningGrids::dayClickHighlightsTheDayInEveryRoom()
{
    MonthGrid grid;
    grid.setMonth(QDate(2024, 3, 1));
    grid.setRoomCount(4);
    show(grid);
    QWidget *vp = grid.viewport();
    const auto dayCellCentre = [&](int column, int day) {
        return grid.visualRect(grid.model()->index(day, column)).center();
    };
    QTest::mouseClick(vp, Qt::LeftButton, {}, dayCellCentre(PlanningModel::DayNameColumn, 3));
    QTest::mouseClick(vp, Qt::LeftButton, {}, dayCellCentre(PlanningModel::DayNameColumn, 14));
    QCOMPARE(grid.highlightedDay(), 14);
    for (int room = 1; room <= 4; ++room) {
        QVERIFY(
            grid.selectionModel()->isSelected(grid.model()->index(14, PlanningModel::columnOfRoom(room))));
        QVERIFY(
            !grid.selectionModel()->isSelected(grid.model()->index(3, PlanningModel::columnOfRoom(room))));
    }
    QVERIFY(grid.selectionModel()->isSelected(grid.model()->index(14, PlanningModel::DayNumberColumn)));

    // The room columns only display: a click there changes nothing.
    QTest::mouseClick(vp, Qt::LeftButton, {}, centre(grid, 2, 20));
    QCOMPARE(grid.highlightedDay(), 14);
    QVERIFY(!grid.selectionModel()->isSelected(grid.model()->index(20, PlanningModel::columnOfRoom(2))));
}

QTEST_MAIN(TestPlanningGrids)
#include "tst_planning_grids.moc"
