#include "data/data_module.h"
#include "data/schema.h"
#include "data/sql.h"
#include "planning/available_rooms.h"
#include "test_support.h"

#include <QTest>

#include <memory>

namespace {

QDate day(const QString &iso)
{
    return QDate::fromString(iso, Qt::ISODate);
}

// Nights of one room and client from `from` to `to` included.
void occupy(int room, int client, const QString &from, const QString &to)
{
    Sql q(DataModule::shared(),
          QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat) VALUES (:d, :n, :c, 'Acompte')"));
    for (QDate d = day(from); d <= day(to); d = d.addDays(1))
        q.bind(QStringLiteral(":d"), d.toString(Qt::ISODate))
            .bind(QStringLiteral(":n"), room)
            .bind(QStringLiteral(":c"), client)
            .exec();
}

} // namespace

Q_DECLARE_METATYPE(AvailableRooms::Mode)

class TstAvailableRooms : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<TestDataDir>();
        // Four rooms; room 2 and room 4 have names of their own.
        m_dir->writeFile(QStringLiteral("config.ini"),
                         "[Chambres]\r\nnombre=4\r\n[Chambre2]\r\nnom=Suite\r\n[Chambre4]\r\nnom=Annexe\r\n");
        DataModule::release();
        Schema::createOrUpgrade(DataModule::shared());
        // The stay being changed: room 2, client 5, 10 to 12 May.
        occupy(2, 5, QStringLiteral("2024-05-10"), QStringLiteral("2024-05-12"));
        // Room 1 is taken on 14 May, room 3 on 8 and 20 May, room 2 on 16 May by someone else.
        occupy(1, 6, QStringLiteral("2024-05-14"), QStringLiteral("2024-05-14"));
        occupy(3, 7, QStringLiteral("2024-05-08"), QStringLiteral("2024-05-08"));
        occupy(3, 7, QStringLiteral("2024-05-20"), QStringLiteral("2024-05-20"));
        occupy(2, 8, QStringLiteral("2024-05-16"), QStringLiteral("2024-05-16"));
    }
    void cleanup()
    {
        DataModule::release();
        m_dir.reset();
    }

    void rooms_data()
    {
        QTest::addColumn<AvailableRooms::Mode>("mode");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selected");

        using M = AvailableRooms::Mode;
        QTest::newRow("new stay, every room tested")
            << M::NewStay << "2024-05-11"
            << "2024-05-14" << QStringList{QStringLiteral("3"), QStringLiteral("Annexe")} << -1;
        QTest::newRow("new stay, everything free")
            << M::NewStay << "2024-06-01"
            << "2024-06-03"
            << QStringList{QStringLiteral("1"), QStringLiteral("Suite"), QStringLiteral("3"),
                           QStringLiteral("Annexe")}
            << -1;
        QTest::newRow("one more night at the end, free")
            << M::EditingDates << "2024-05-10"
            << "2024-05-13"
            << QStringList{QStringLiteral("1"), QStringLiteral("Suite"), QStringLiteral("3"),
                           QStringLiteral("Annexe")}
            << 1;
        QTest::newRow("two more nights at the start, free")
            << M::EditingDates << "2024-05-08"
            << "2024-05-12"
            << QStringList{QStringLiteral("1"), QStringLiteral("Suite"), QStringLiteral("Annexe")} << 1;
        QTest::newRow("lengthened onto another stay")
            << M::EditingDates << "2024-05-10"
            << "2024-05-16" << QStringList{QStringLiteral("3"), QStringLiteral("Annexe")} << -1;
        QTest::newRow("moved later: the nights between are not wanted")
            << M::EditingDates << "2024-05-17"
            << "2024-05-18"
            << QStringList{QStringLiteral("1"), QStringLiteral("Suite"), QStringLiteral("3"),
                           QStringLiteral("Annexe")}
            << 1;
        QTest::newRow("first display keeps the stay's room")
            << M::FirstDisplay << "2024-05-10"
            << "2024-05-12"
            << QStringList{QStringLiteral("1"), QStringLiteral("Suite"), QStringLiteral("3"),
                           QStringLiteral("Annexe")}
            << 1;
    }

    void rooms()
    {
        QFETCH(AvailableRooms::Mode, mode);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        AvailableRooms::Request request;
        request.first = day(first);
        request.last = day(last);
        request.mode = mode;
        request.stayRoom = 2;
        request.oldFirst = day(QStringLiteral("2024-05-10"));
        request.oldLast = day(QStringLiteral("2024-05-12"));
        const AvailableRooms::Result result = AvailableRooms::compute(request);
        QCOMPARE(result.entries, entries);
        QCOMPARE(result.selected, selected);
        QVERIFY(result.enabled);
    }

    void wrongDatesOrNoRoom()
    {
        AvailableRooms::Request request;
        request.first = day(QStringLiteral("2024-05-10"));
        request.last = day(QStringLiteral("2024-05-08"));
        AvailableRooms::Result result = AvailableRooms::compute(request);
        QCOMPARE(result.entries, QStringList{QStringLiteral("Erreur de dates !!!")});
        QCOMPARE(result.selected, 0);
        QVERIFY(!result.enabled);

        for (int room : {1, 3, 4})
            occupy(room, 9, QStringLiteral("2024-05-12"), QStringLiteral("2024-05-12"));
        request.first = day(QStringLiteral("2024-05-01"));
        request.last = day(QStringLiteral("2024-05-31"));
        result = AvailableRooms::compute(request);
        QCOMPARE(result.entries, QStringList{QStringLiteral("Pas de chambre disponible !!!")});
        QCOMPARE(result.selected, 0);
        QVERIFY(result.enabled);
    }

private:
    std::unique_ptr<TestDataDir> m_dir;
};

QTEST_GUILESS_MAIN(TstAvailableRooms)
#include "tst_available_rooms.moc"
