#include "common/format.h"
#include "common/text_grid.h"

#include <QLocale>
#include <QtTest>

class TestFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    void generalNumberFormat_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("no grouping") << 1234.5 << QStringLiteral("1234,5");
        QTest::newRow("integer") << 20.0 << QStringLiteral("20");
        QTest::newRow("binary noise hidden") << 0.1 + 0.2 << QStringLiteral("0,3");
        QTest::newRow("rate") << 19.6 << QStringLiteral("19,6");
        QTest::newRow("negative") << -2.25 << QStringLiteral("-2,25");
        QTest::newRow("zero") << -0.0 << QStringLiteral("0");
        QTest::newRow("large") << 123456789012.0 << QStringLiteral("123456789012");
    }

    void generalNumberFormat()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(Format::number(value), text);
    }

    void typedAmounts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("comma") << QStringLiteral("5,5") << true << 5.5;
        QTest::newRow("point") << QStringLiteral("5.5") << true << 5.5;
        QTest::newRow("blanks") << QStringLiteral(" 12 ") << true << 12.0;
        QTest::newRow("trailing separator") << QStringLiteral("7,") << true << 7.0;
        QTest::newRow("grouping refused") << QStringLiteral("1 234") << false << 0.0;
        QTest::newRow("two separators") << QStringLiteral("1,2,3") << false << 0.0;
        QTest::newRow("letters") << QStringLiteral("abc") << false << 0.0;
        QTest::newRow("empty") << QString() << false << 0.0;
    }

    void typedAmounts()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(double, value);
        bool converted = !ok;
        QCOMPARE(Format::parseAmount(typed, &converted), value);
        QCOMPARE(converted, ok);
    }

    void roundingHalvesUp_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("printed");
        QTest::newRow("HT 10 at 19,6") << 10 * 1.196 << QStringLiteral("11.96");
        QTest::newRow("TTC 100 at 5,5") << 100 / 1.055 << QStringLiteral("94.79");
        QTest::newRow("half stored below") << 11.955 << QStringLiteral("11.96");
        QTest::newRow("half") << 0.125 << QStringLiteral("0.13");
        QTest::newRow("negative half") << -0.125 << QStringLiteral("-0.13");
        QTest::newRow("below half") << 2.344999 << QStringLiteral("2.34");
        QTest::newRow("negative zero") << -0.001 << QStringLiteral("0.00");
    }

    void roundingHalvesUp()
    {
        QFETCH(double, value);
        QFETCH(QString, printed);
        QCOMPARE(Format::amount2(value), printed);
    }

    void dates()
    {
        QCOMPARE(Format::date(QDate(2026, 3, 7)), QStringLiteral("07/03/2026"));
        QCOMPARE(Format::parseDate(QStringLiteral("7/3/2026")), QDate(2026, 3, 7));
        QVERIFY(!Format::parseDate(QStringLiteral("31/02/2026")).isValid());
        QVERIFY(!Format::parseDate(QStringLiteral("2026-03-07")).isValid());
        QCOMPARE(Format::fromIsoDate(QStringLiteral("2026-03-07 00:00:00")), QDate(2026, 3, 7));
        QCOMPARE(Format::isoDate(QDate(2026, 3, 7)), QStringLiteral("2026-03-07"));
        QCOMPARE(Format::date(Format::zeroDate()), QStringLiteral("30/12/1899"));
        QCOMPARE(Format::dayName(QDate(2026, 12, 7).dayOfWeek()), QStringLiteral("Lundi"));
    }

    void gridKeepsTitleAndOneEmptyRow()
    {
        TextGrid g(1, 3);
        g.setRow(0, {QStringLiteral("N°"), QStringLiteral("Libellé"), QStringLiteral("Qté")});
        g.appendRow({QStringLiteral("4"), QStringLiteral("Petit déjeuner"), QStringLiteral("2")});
        g.setCell(5, 4, QStringLiteral("x"));
        QCOMPARE(g.rowCount(), 6);
        QCOMPARE(g.columnCount(), 5);
        QCOMPARE(g.cell(1, 1), QStringLiteral("Petit déjeuner"));
        g.clearData();
        QCOMPARE(g.rowCount(), 2);
        QCOMPARE(g.cell(0, 1), QStringLiteral("Libellé"));
        QVERIFY(g.isRowEmpty(1));
        QCOMPARE(g.cell(9, 9), QString());
    }
};

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
