#include "common/errors.h"
#include "planning/delayed_refresher.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

class TestDelayedRefresher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void burstOfRequestsFillsOnceWithTheLatest()
    {
        DelayedRefresher refresher(nullptr, 100);
        QList<int> filled;
        QElapsedTimer clock;
        clock.start();
        refresher.request([&] { filled << 1; });
        QTest::qWait(30);
        refresher.request([&] { filled << 2; });
        QVERIFY(refresher.isPending());
        QSignalSpy spy(&refresher, &DelayedRefresher::ran);
        QVERIFY(spy.wait(2000));
        QCOMPARE(filled, QList<int>{2});
        // The delay counts from the latest request.
        QVERIFY(clock.elapsed() >= 125);
        QTest::qWait(150);
        QCOMPARE(refresher.runCount(), 1);
    }

    void requestDuringARunRunsAgainAfterIt()
    {
        DelayedRefresher refresher(nullptr, 20);
        QList<int> filled;
        refresher.request([&] {
            filled << 1;
            refresher.request([&] { filled << 2; });
        });
        QTRY_COMPARE_WITH_TIMEOUT(filled, (QList<int>{1, 2}), 2000);
    }

    void failedFillIsAbandonedSilentlyAndTheNextOneRuns()
    {
        DelayedRefresher refresher(nullptr, 10);
        QSignalSpy spy(&refresher, &DelayedRefresher::ran);
        refresher.request([] { throw DatabaseError(QStringLiteral("base verrouillée")); });
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.takeFirst().at(0).toBool(), false);
        bool done = false;
        refresher.request([&] { done = true; });
        refresher.flush();
        QVERIFY(done);
        QCOMPARE(spy.takeFirst().at(0).toBool(), true);
    }

    void cancelledWorkNeverRuns()
    {
        DelayedRefresher refresher(nullptr, 10);
        bool ran = false;
        refresher.request([&] { ran = true; });
        refresher.cancel();
        QTest::qWait(50);
        QVERIFY(!ran);
        QCOMPARE(refresher.runCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDelayedRefresher)
#include "tst_delayed_refresher.moc"
