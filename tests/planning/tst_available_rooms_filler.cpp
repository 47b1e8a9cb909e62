#include "data/data_module.h"
#include "data/schema.h"
#include "data/sql.h"
#include "ui/planning/available_rooms_filler.h"
#include "test_support.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The advanced reservation form's room list, filled half a second after the
// latest change of its dates.
class TestAvailableRoomsFiller : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<TestDataDir>();
        m_dir->writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=3\n[Chambre2]\nnom=Suite\n");
        DataModule::release();
        Schema::createOrUpgrade(DataModule::shared());
        // The stay being changed: room 2 on 10 and 11 May; room 1 taken on the 12th.
        occupy(2, QStringLiteral("2024-05-10"));
        occupy(2, QStringLiteral("2024-05-11"));
        occupy(1, QStringLiteral("2024-05-12"));
    }
    void cleanup()
    {
        DataModule::release();
        m_dir.reset();
    }

    void listFollowsTheLatestDates();
    void wrongDatesLeaveTheListDisabled();
    void noFreeRoomIsSaidInTheList();
    void changedStayKeepsItsRoomSelectedAndTheEditTextEmptied();
    void databaseErrorLeavesTheListAsItWas();

private:
    static QDate day(const char *iso) { return QDate::fromString(QLatin1String(iso), Qt::ISODate); }
    static void occupy(int room, const QString &date)
    {
        Sql(DataModule::shared(),
            QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat) VALUES (:d, :n, 5, 'Réservé')"))
            .bind(QStringLiteral(":d"), date)
            .bind(QStringLiteral(":n"), room)
            .exec();
    }
    static QStringList entries(const QComboBox &list)
    {
        QStringList out;
        for (int i = 0; i < list.count(); ++i)
            out << list.itemText(i);
        return out;
    }
    static AvailableRooms::Request newStay(const char *first, const char *last)
    {
        AvailableRooms::Request r;
        r.first = day(first);
        r.last = day(last);
        return r;
    }

    std::unique_ptr<TestDataDir> m_dir;
};

void TestAvailableRoomsFiller::listFollowsTheLatestDates()
{
    QComboBox list;
    AvailableRoomsFiller filler(&list, nullptr, 60);
    QSignalSpy ran(filler.refresher(), &DelayedRefresher::ran);
    filler.request(newStay("2024-05-10", "2024-05-10"));
    QTest::qWait(20);
    filler.request(newStay("2024-05-12", "2024-05-13"));
    QCOMPARE(list.count(), 0); // nothing before the delay
    QVERIFY(ran.wait(2000));
    QTest::qWait(120);
    QCOMPARE(ran.count(), 1);
    QCOMPARE(entries(list), QStringList({QStringLiteral("Suite"), QStringLiteral("3")}));
    QCOMPARE(list.currentIndex(), -1); // a new stay has no room chosen yet
    QVERIFY(list.isEnabled());
}

void TestAvailableRoomsFiller::wrongDatesLeaveTheListDisabled()
{
    QComboBox list;
    list.addItem(QStringLiteral("1"));
    AvailableRoomsFiller filler(&list, nullptr, 10);
    filler.request(newStay("2024-05-10", "2024-05-08"));
    filler.refresher()->flush();
    QCOMPARE(entries(list), QStringList{QStringLiteral("Erreur de dates !!!")});
    QCOMPARE(list.currentIndex(), 0);
    QVERIFY(!list.isEnabled());
}

void TestAvailableRoomsFiller::noFreeRoomIsSaidInTheList()
{
    occupy(3, QStringLiteral("2024-05-11"));
    QComboBox list;
    list.setEnabled(false);
    AvailableRoomsFiller filler(&list, nullptr, 10);
    filler.request(newStay("2024-05-09", "2024-05-12"));
    filler.refresher()->flush();
    QCOMPARE(entries(list), QStringList{QStringLiteral("Pas de chambre disponible !!!")});
    QCOMPARE(list.currentIndex(), 0);
    QVERIFY(list.isEnabled());
}

void TestAvailableRoomsFiller::changedStayKeepsItsRoomSelectedAndTheEditTextEmptied()
{
    QComboBox list;
    list.setEditable(true);
    list.setEditText(QStringLiteral("tapé"));
    AvailableRoomsFiller filler(&list, nullptr, 10);
    filler.request(newStay("2024-05-13", "2024-05-14"));
    filler.refresher()->flush();
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.currentIndex(), -1);
    QCOMPARE(list.lineEdit()->text(), QString()); // what was typed is gone

    AvailableRooms::Request r;
    r.mode = AvailableRooms::Mode::EditingDates;
    r.stayRoom = 2;
    r.oldFirst = day("2024-05-10");
    r.oldLast = day("2024-05-11");
    r.first = day("2024-05-10");
    r.last = day("2024-05-12"); // one more night, free in its own room
    filler.request(r);
    filler.refresher()->flush();
    QCOMPARE(entries(list), QStringList({QStringLiteral("Suite"), QStringLiteral("3")}));
    QCOMPARE(list.currentText(), QStringLiteral("Suite"));

    r.last = day("2024-05-11");
    r.first = day("2024-05-11"); // shortened: its room needs no test
    filler.request(r);
    filler.refresher()->flush();
    QCOMPARE(entries(list), QStringList({QStringLiteral("1"), QStringLiteral("Suite"), QStringLiteral("3")}));
    QCOMPARE(list.lineEdit()->text(), QStringLiteral("Suite"));

    // Lengthened onto room 1's night: room 2 is free there, room 1 is not.
    r.stayRoom = 1;
    r.oldFirst = r.oldLast = day("2024-05-12");
    r.first = day("2024-05-10");
    r.last = day("2024-05-12");
    filler.request(r);
    filler.refresher()->flush();
    QCOMPARE(entries(list), QStringList({QStringLiteral("1"), QStringLiteral("3")}));
    QCOMPARE(list.currentText(), QStringLiteral("1"));
}

void TestAvailableRoomsFiller::databaseErrorLeavesTheListAsItWas()
{
    QComboBox list;
    AvailableRoomsFiller filler(&list, nullptr, 10);
    filler.request(newStay("2024-05-12", "2024-05-13"));
    filler.refresher()->flush();
    const QStringList before = entries(list);
    Sql(DataModule::shared(), QStringLiteral("DROP TABLE reserv")).exec();
    QSignalSpy ran(filler.refresher(), &DelayedRefresher::ran);
    filler.request(newStay("2024-05-01", "2024-05-02"));
    filler.refresher()->flush();
    QCOMPARE(ran.count(), 1);
    QCOMPARE(ran.first().first().toBool(), false);
    QCOMPARE(entries(list), before);
}

QTEST_MAIN(TestAvailableRoomsFiller)
#include "tst_available_rooms_filler.moc"
