#include "planning/cell_style.h"

#include <QTest>

// The drawing rule of planning cells, on the texts the fills write.
class TestCellStyle : public QObject
{
    Q_OBJECT

private slots:
    void textAndColourOfACell_data();
    void textAndColourOfACell();
};

namespace {
const StateColors kColors{QColor(0x1F, 0x5F, 0xAF), QColor(0xB8, 0x6B, 0x00), QColor(0x1E, 0x7B, 0x3A)};
}

void TestCellStyle::textAndColourOfACell_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QColor>("color");

    const QColor none;
    QTest::newRow("free night") << ""
                                << "" << none;
    QTest::newRow("state alone keeps its word") << "Acompte"
                                                << "Acompte" << kColors.acompte;
    QTest::newRow("paid alone") << "Payé"
                                << "Payé" << kColors.paye;
    QTest::newRow("booked alone") << "Réservé"
                                  << "Réservé" << kColors.reserve;
    QTest::newRow("weekly name mode") << "Réservé Dupont"
                                      << " Dupont" << kColors.reserve;
    QTest::newRow("monthly name mode") << "Dupont Acompte"
                                       << "Dupont " << kColors.acompte;
    QTest::newRow("weekly, client without a surname") << "Payé"
                                                      << "Payé" << kColors.paye;
    // The search order decides, not the position: a name holding "Payé" after a
    // booked state is drawn as paid, and loses that word instead of the state.
    QTest::newRow("Payé inside a name after Réservé") << "Réservé Payéton"
                                                      << "Réservé ton" << kColors.paye;
    QTest::newRow("Acompte before Réservé") << "Réservé Acompteur"
                                            << "Réservé ur" << kColors.acompte;
    QTest::newRow("first occurrence only") << "Payé Payé"
                                           << " Payé" << kColors.paye;
    QTest::newRow("case matters") << "payé Martin"
                                  << "payé Martin" << none;
    QTest::newRow("no state word") << "Dupont"
                                   << "Dupont" << none;
    QTest::newRow("unknown state") << "Option"
                                   << "Option" << none;
}

void TestCellStyle::textAndColourOfACell()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QColor, color);
    const CellStyle style = CellStyles::style(text, kColors);
    QCOMPARE(style.text, shown);
    QCOMPARE(style.color, color);
}

QTEST_GUILESS_MAIN(TestCellStyle)
#include "tst_cell_style.moc"
