#include "common/text_grid.h"
#include "documents/document_lines.h"
#include "documents/document_totals.h"

#include <QTest>

namespace {

// A line grid from "ht/ttc" pairs, each a line with a service id; a pair
// starting with "-" is a row without service id (not a line).
TextGrid linesOf(const QStringList &amounts)
{
    TextGrid grid = DocumentLines::emptyGrid();
    grid.setRowCount(1);
    int id = 1;
    for (QString a : amounts) {
        const bool line = !a.startsWith(QLatin1Char('-'));
        if (!line)
            a.remove(0, 1);
        const QStringList parts = a.split(QLatin1Char('/'));
        grid.appendRow({line ? QString::number(id++) : QString(), QStringLiteral("x"), QStringLiteral("1"),
                        parts.value(0), QStringLiteral("10"), parts.value(1)});
    }
    grid.appendRow();
    return grid;
}

} // namespace

class TstDocumentTotals : public QObject
{
    Q_OBJECT

private slots:
    void totalsWithDiscount_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("remise");
        QTest::addColumn<QString>("ht");
        QTest::addColumn<QString>("tva");
        QTest::addColumn<QString>("ttc");
        QTest::newRow("discount 10 on 100/110") << QStringList{"60/66", "40/44"} << "10" << "90" << "9" << "99";
        QTest::newRow("discount 0 keeps 5,5") << QStringList{"100/105,5"} << "0" << "100" << "5,5" << "105,5";
        QTest::newRow("no discount text") << QStringList{"100/105,5"} << "" << "100" << "5,5" << "105,5";
        QTest::newRow("discount not a number is ignored") << QStringList{"100/110"} << "1a" << "100" << "10"
                                                          << "110";
        QTest::newRow("total HT 0 skips the discount") << QStringList{"0/0"} << "10" << "0" << "0" << "0";
        QTest::newRow("free lines with tax only skip it") << QStringList{"0/5"} << "3" << "0" << "5" << "5";
        QTest::newRow("no line at all") << QStringList{} << "10" << "0" << "0" << "0";
        QTest::newRow("rows without service are not lines")
            << QStringList{"100/110", "-50/55"} << "" << "100" << "10" << "110";
        // The tax is rounded (halves away from zero) and TTC = HT + TVA exactly.
        QTest::newRow("tax rounded up, not cut") << QStringList{"30/33,37"} << "10" << "20" << "2,25" << "22,25";
        QTest::newRow("48,346 gives 48,35") << QStringList{"300/330", "190,8/211,2"} << "20" << "470,8" << "48,35"
                                            << "519,15";
        QTest::newRow("a half cent rounds up") << QStringList{"100/100,01"} << "50" << "50" << "0,01" << "50,01";
        QTest::newRow("a negative half rounds away from zero")
            << QStringList{"100/100,01"} << "150" << "-50" << "-0,01" << "-50,01";
        QTest::newRow("tax below the half cent rounds down")
            << QStringList{"100/100,01"} << "60" << "40" << "0" << "40";
        QTest::newRow("a cent survives binary noise") << QStringList{"1/1,15"} << "0" << "1" << "0,15" << "1,15";
        QTest::newRow("discount typed with a point") << QStringList{"100/110"} << "10.0" << "90" << "9" << "99";
        QTest::newRow("discount above the total") << QStringList{"100/110"} << "150" << "-50" << "-5" << "-55";
    }
    void totalsWithDiscount()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, remise);
        const DocumentTotals::Totaux t = DocumentTotals::calculer(linesOf(lines), remise);
        QFETCH(QString, ht);
        QFETCH(QString, tva);
        QFETCH(QString, ttc);
        QCOMPARE(t.ht, ht);
        QCOMPARE(t.tva, tva);
        QCOMPARE(t.ttc, ttc);
    }

    void restToPay_data()
    {
        QTest::addColumn<QString>("ttc");
        QTest::addColumn<QString>("acompte");
        QTest::addColumn<QString>("reste");
        QTest::newRow("deposit taken off") << "110" << "30,5" << "79,5";
        QTest::newRow("empty deposit counts 0") << "110" << "" << "110";
        QTest::newRow("deposit above total") << "50" << "60" << "-10";
        QTest::newRow("deposit not a number") << "110" << "abc" << "";
    }
    void restToPay()
    {
        QFETCH(QString, ttc);
        QFETCH(QString, acompte);
        QFETCH(QString, reste);
        QCOMPARE(DocumentTotals::resteAPayer(ttc, acompte), reste);
    }

    void amountsCheckedBeforeSaving_data()
    {
        QTest::addColumn<QString>("remise");
        QTest::addColumn<QString>("acompte");
        QTest::addColumn<QString>("message");
        QTest::newRow("both numbers") << "10,5" << "20" << "";
        QTest::newRow("both empty") << "" << " " << "";
        QTest::newRow("discount names its field") << "dix" << "20" << "La remise « dix » n'est pas un nombre.";
        QTest::newRow("deposit names its field") << "0" << "1,2,3" << "L'acompte « 1,2,3 » n'est pas un nombre.";
    }
    void amountsCheckedBeforeSaving()
    {
        QFETCH(QString, remise);
        QFETCH(QString, acompte);
        QFETCH(QString, message);
        QCOMPARE(DocumentTotals::verifierMontants(remise, acompte), message);
    }
};

QTEST_GUILESS_MAIN(TstDocumentTotals)
#include "tst_document_totals.moc"
