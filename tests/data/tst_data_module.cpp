#include "data/data_module.h"
#include "data/schema.h"
#include "data/sql.h"
#include "test_support.h"

#include <QSqlQuery>
#include <QtTest>

class TestDataModule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        DataModule::closeConnection(QStringLiteral("main"));
        DataModule::release();
    }

    void nestedUsersShareOneOpenConnection()
    {
        TestDataDir dir;
        {
            DataModule::Use outer;
            Schema::createOrUpgrade(outer.db());
            {
                DataModule::Use inner;
                QCOMPARE(DataModule::useCount(), 2);
            }
            // The inner user left; the outer one still works on the same connection.
            QVERIFY(outer.db().isOpen());
            QCOMPARE(Sql(outer.db(), QStringLiteral("SELECT count(*) FROM infos")).scalar().toInt(), 1);
            QVERIFY(!DataModule::release());
        }
        QVERIFY(DataModule::release());
    }

    void openReaderNeverBlocksAnotherConnectionsWrite()
    {
        TestDataDir dir;
        DataModule::Use use;
        Schema::createOrUpgrade(use.db());
        for (int i = 0; i < 50; ++i)
            Sql(use.db(), QStringLiteral("INSERT INTO infos (type, nom) VALUES (2, :n)")).bind(QStringLiteral(":n"), i).exec();

        // The main window's client list, left open in the middle of its rows.
        QSqlDatabase mainDb = DataModule::connection(QStringLiteral("main"));
        QSqlQuery list(mainDb);
        QVERIFY(list.exec(QStringLiteral("SELECT id, nom FROM infos ORDER BY nom")));
        QVERIFY(list.next());

        Transaction t(use.db());
        Sql(use.db(), QStringLiteral("INSERT INTO infos (type, nom) VALUES (2, 'Durand')")).exec();
        t.commit();
        QCOMPARE(Sql(use.db(), QStringLiteral("SELECT count(*) FROM infos")).scalar().toInt(), 52);
        list.finish();
    }

    void transactionRollsBackWhatItWroteUnlessCommitted()
    {
        TestDataDir dir;
        DataModule::Use use;
        Schema::createOrUpgrade(use.db());
        {
            Transaction outer(use.db());
            Sql(use.db(), QStringLiteral("INSERT INTO tva (taux) VALUES (1)")).exec();
            {
                Transaction inner(use.db());
                Sql(use.db(), QStringLiteral("INSERT INTO tva (taux) VALUES (2)")).exec();
                // inner not committed: only its row goes
            }
            outer.commit();
        }
        QCOMPARE(Sql(use.db(), QStringLiteral("SELECT count(*) FROM tva")).scalar().toInt(), 3);
        {
            Transaction t(use.db());
            Sql(use.db(), QStringLiteral("DELETE FROM tva")).exec();
        }
        QCOMPARE(Sql(use.db(), QStringLiteral("SELECT count(*) FROM tva")).scalar().toInt(), 3);
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_data_module.moc"
