#include "planning/room_description.h"
#include "test_support.h"

#include <QtTest>

class TestRoomDescription : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheRoomsFileInEitherEncoding()
    {
        TestDataDir dir;
        dir.writeFile(QStringLiteral("description/3.txt"), "Vue sur le jardin.\r\nLit double, douche à l'italienne.\r\n");
        dir.writeFile(QStringLiteral("description/12.txt"), "Chambre \xE0 deux lits, 25 \x80 le petit d\xE9jeuner");
        QCOMPARE(RoomDescription::text(3), QStringLiteral("Vue sur le jardin.\nLit double, douche à l'italienne.\n"));
        QCOMPARE(RoomDescription::text(12), QStringLiteral("Chambre à deux lits, 25 € le petit déjeuner"));
        // Room 1 has no file; room 0 is no room.
        QCOMPARE(RoomDescription::text(1), QString());
        QCOMPARE(RoomDescription::text(0), QString());
    }
};

QTEST_GUILESS_MAIN(TestRoomDescription)
#include "tst_room_description.moc"
