#include "catalogue/room_prices_model.h"
#include "catalogue/services_grid.h"
#include "common/choice_list.h"
#include "common/price_validator.h"
#include "common/text_grid.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QtTest>

namespace {

TextGrid servicesGrid(const QList<QStringList> &lines)
{
    TextGrid grid(1, 6);
    grid.setRow(0, {QString(), QStringLiteral("Prestation"), QStringLiteral("Nb")});
    for (const QStringList &line : lines)
        grid.appendRow(line);
    grid.appendRow();
    return grid;
}

} // namespace

class TestCatalogueHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void priceKeys_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("point becomes comma") << "12.5"
                                             << "12,5";
        QTest::newRow("second comma refused") << "1,2,3"
                                              << "1,23";
        QTest::newRow("comma after point refused") << "1.2,3"
                                                   << "1,23";
        QTest::newRow("letters and signs refused") << "a-1b2+"
                                                   << "12";
        QTest::newRow("blank refused") << "1 2"
                                       << "12";
        QTest::newRow("seven characters at most") << "123456789"
                                                  << "1234567";
        QTest::newRow("leading comma kept") << ".5"
                                            << ",5";
    }
    void priceKeys()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QLineEdit edit;
        PriceValidator::install(&edit);
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), shown);
        // Backspace always works.
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), shown.left(shown.size() - 1));
    }

    void pastedTextObeysTheSameRules()
    {
        QLineEdit edit;
        PriceValidator::install(&edit);
        edit.insert(QStringLiteral("4.5"));
        QCOMPARE(edit.text(), QStringLiteral("4,5"));
        edit.insert(QStringLiteral("x"));
        QCOMPARE(edit.text(), QStringLiteral("4,5"));
    }

    void computedPriceLongerThanTheFieldIsShownWhole()
    {
        QLineEdit edit;
        PriceValidator::install(&edit);
        edit.setText(QStringLiteral("11999998,8"));
        QCOMPARE(edit.text(), QStringLiteral("11999998,8"));
    }

    void roomPricesFollowTheRate()
    {
        RoomPricesModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setup({QStringLiteral("Bleue"), QStringLiteral("2"), QStringLiteral("Verte")},
                    QStringLiteral("---------"));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Tarif TTC"));
        model.setCell(2, RoomPricesModel::PriceTtc, QStringLiteral("100"));

        model.setRate(QStringLiteral("5,5"));
        const TextGrid &g = model.grid();
        QCOMPARE(g.row(1), (QStringList{"Bleue", "0", "5,5", "0"}));
        QCOMPARE(g.row(2), (QStringList{"2", "94,79", "5,5", "100"}));

        // Without a rate the price before VAT is a copy of the price with VAT.
        model.setRate(QStringLiteral("---------"));
        QCOMPARE(g.row(2), (QStringList{"2", "100", "---------", "100"}));
    }

    void typingAPriceComputesOnlyTheOtherOne()
    {
        RoomPricesModel model;
        model.setup({QStringLiteral("1"), QStringLiteral("2")}, QStringLiteral("19,6"));
        model.priceTyped(1, RoomPricesModel::PriceHt, QStringLiteral("10"));
        QCOMPARE(model.cell(1, RoomPricesModel::PriceTtc), QStringLiteral("11,96"));
        // The typed cell itself is the editor's: it is stored when the edit ends.
        QCOMPARE(model.cell(1, RoomPricesModel::PriceHt), QString());
        model.priceTyped(2, RoomPricesModel::PriceTtc, QStringLiteral("abc"));
        QCOMPARE(model.cell(2, RoomPricesModel::PriceHt), QStringLiteral("abc"));
        QVERIFY(model.setData(model.index(0, RoomPricesModel::PriceHt), QStringLiteral("10")));
        QCOMPARE(model.cell(1, RoomPricesModel::PriceTtc), QStringLiteral("11,96"));
    }

    void onlyPriceColumnsCanBeChosenAndEdited()
    {
        RoomPricesModel model;
        model.setup({QStringLiteral("1")}, QStringLiteral("20"));
        for (int column = 0; column < 4; ++column) {
            const bool price = column == RoomPricesModel::PriceHt || column == RoomPricesModel::PriceTtc;
            QCOMPARE(bool(model.flags(model.index(0, column)) & Qt::ItemIsEditable), price);
            QCOMPARE(bool(model.flags(model.index(0, column)) & Qt::ItemIsSelectable), price);
        }
        QVERIFY(!model.setData(model.index(0, RoomPricesModel::RoomName), QStringLiteral("x")));
    }

    void pickerListLeavesOutServicesOfTheGrid()
    {
        ChoiceList services;
        services.add(QStringLiteral("Liste des Prestations"), 0);
        services.add(QStringLiteral("Dîner"), 4);
        services.add(QStringLiteral("Parking"), 7);
        services.add(QStringLiteral("Petit déjeuner"), 2);
        const TextGrid grid = servicesGrid({{"7", "Parking", "1"}, {"2", "Petit déjeuner", "2"}});
        ServicesGrid::removeServicesIn(services, grid);
        QCOMPARE(services.count(), 2);
        QCOMPARE(services.text(0), QStringLiteral("Liste des Prestations"));
        QCOMPARE(services.value(1), 4);
    }

    void appendedServiceTakesTheEntryRow()
    {
        TextGrid grid = servicesGrid({{"7", "Parking", "1"}});
        ServicesGrid::appendService(grid, 4, QStringLiteral("Dîner"), QStringLiteral("3"));
        QCOMPARE(grid.rowCount(), 4);
        QCOMPARE(grid.row(2).mid(0, 3), (QStringList{"4", "Dîner", "3"}));
        QVERIFY(grid.isRowEmpty(3));
        // A grid without its entry row keeps its last service.
        TextGrid full(2, 3);
        full.setRow(1, {QStringLiteral("7"), QStringLiteral("Parking"), QStringLiteral("1")});
        ServicesGrid::appendService(full, 4, QStringLiteral("Dîner"), QStringLiteral("1"));
        QCOMPARE(full.cell(1, 0), QStringLiteral("7"));
        QCOMPARE(full.cell(2, 0), QStringLiteral("4"));
        QVERIFY(full.isRowEmpty(3));
    }

    void quantities_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::newRow("one") << "1" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("decimal") << "1,5" << false;
        QTest::newRow("negative") << "-2" << false;
    }
    void quantities()
    {
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QCOMPARE(ServicesGrid::isQuantity(text), whole);
    }
};

QTEST_MAIN(TestCatalogueHelpers)
#include "tst_catalogue_helpers.moc"
