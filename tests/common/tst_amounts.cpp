#include "common/amounts.h"

#include <QTest>

class TstAmounts : public QObject
{
    Q_OBJECT

private slots:
    void conversions_data()
    {
        QTest::addColumn<double>("ht");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("ttc");
        QTest::addColumn<double>("htBack");
        QTest::newRow("HT 10 at 19,6") << 10.0 << 19.6 << 11.96 << 10.0;
        QTest::newRow("TTC 100 at 5,5") << 94.79 << 5.5 << 100.0 << 94.79;
        QTest::newRow("half a cent rounds up") << 0.05 << 10.0 << 0.06 << 0.05;
        QTest::newRow("no rate") << 12.34 << 0.0 << 12.34 << 12.34;
    }
    void conversions()
    {
        QFETCH(double, ht);
        QFETCH(double, rate);
        QFETCH(double, ttc);
        QFETCH(double, htBack);
        QCOMPARE(Amounts::ttcFromHt(ht, rate), ttc);
        QCOMPARE(Amounts::htFromTtc(ttc, rate), htBack);
    }

    void textsOfAForm_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("ttc");
        QTest::addColumn<QString>("ht");
        QTest::newRow("comma") << "10"
                               << "19,6"
                               << "11,96"
                               << "8,36";
        QTest::newRow("point typed") << "100"
                                     << "5.5"
                                     << "105,5"
                                     << "94,79";
        QTest::newRow("rate placeholder copies the text") << "12,5"
                                                          << "---------"
                                                          << "12,5"
                                                          << "12,5";
        QTest::newRow("empty rate copies the text") << "12,5"
                                                    << ""
                                                    << "12,5"
                                                    << "12,5";
        QTest::newRow("price being typed") << "12,"
                                           << "20"
                                           << "14,4"
                                           << "10";
        QTest::newRow("not a number copies the text") << "1,2,3"
                                                      << "20"
                                                      << "1,2,3"
                                                      << "1,2,3";
    }
    void textsOfAForm()
    {
        QFETCH(QString, price);
        QFETCH(QString, rate);
        QFETCH(QString, ttc);
        QFETCH(QString, ht);
        QCOMPARE(Amounts::ttcFromHtText(price, rate), ttc);
        QCOMPARE(Amounts::htFromTtcText(price, rate), ht);
    }
};

QTEST_GUILESS_MAIN(TstAmounts)
#include "tst_amounts.moc"
