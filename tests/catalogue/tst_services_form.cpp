#include "ui/catalogue/catalogue_windows.h"
#include "ui/catalogue/periods_form.h"
#include "catalogue/room_prices_model.h"
#include "ui/catalogue/room_prices_view.h"
#include "ui/catalogue/services_form.h"
#include "ui/catalogue/vat_form.h"
#include "common/dialogs.h"
#include "data/prestation.h"
#include "data/tva.h"

#include "catalogue_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

int countRows(const QString &statement)
{
    return query(statement).value(0).value(0).toInt();
}

// Types into a cell of a room-prices grid as the user does, then leaves it.
void typeInCell(RoomPricesView *view, int room, int column, const QString &keys)
{
    view->commitEditing();
    // The editor of the cell left goes away before the next one is looked for.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QModelIndex index = view->model()->index(room - 1, column);
    view->setCurrentIndex(index);
    view->edit(index);
    auto *editor = view->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, keys);
}

} // namespace

class TestServicesForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_fixture.start();
        Tva tva;
        tva.ajouterTaux(QStringLiteral("19,6"));
        tva.ajouterTaux(QStringLiteral("5,5"));
        tva.ajouterTaux(QStringLiteral("100"));
    }
    void cleanup() { m_fixture.stop(); }

    void activationFillsEveryList()
    {
        Prestation().ajouterPrestationToutesChambres(QStringLiteral("Parking"), 15, QStringLiteral("5"),
                                                     QString(), QStringLiteral("5"), 0, 0);
        TForm5 form;
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("Modification des prestations"));
        for (const char *name : {"addRate", "modifyRate", "advancedAddRate", "advancedModifyRate"}) {
            auto *rates = child<QComboBox>(&form, name);
            QCOMPARE(rates->currentText(), QStringLiteral("---------"));
            QCOMPARE(rates->count(), 6); // placeholder, 100, 20, 19,6, 10, 5,5
            QCOMPARE(rates->itemText(1), QStringLiteral("100"));
        }
        for (const char *name : {"modifyService", "deleteService", "advancedModifyService"}) {
            auto *services = child<QComboBox>(&form, name);
            QCOMPARE(services->currentText(), QStringLiteral("Liste des Prestations"));
            QCOMPARE(services->itemText(1), QStringLiteral("Parking"));
        }
        auto *grid = child<RoomPricesView>(&form, "advancedAddPrices");
        QCOMPARE(grid->model()->rowCount(), 15);
        QVERIFY(!grid->currentIndex().isValid());
        QVERIFY(child<QCheckBox>(&form, "addAutomatic")->isHidden());
    }

    void roomNamesComeFromTheSettings()
    {
        m_fixture.dir().writeFile(QStringLiteral("config.ini"),
                                  "[Chambres]\nnombre=4\n[Chambre3]\nnom=Suite royale\n");
        TForm5 form;
        form.show();
        const TextGrid &grid = child<RoomPricesView>(&form, "advancedModifyPrices")->prices()->grid();
        QCOMPARE(grid.rowCount(), 5);
        QCOMPARE(grid.cell(3, 0), QStringLiteral("Suite royale"));
        QCOMPARE(grid.cell(4, 0), QStringLiteral("4"));
    }

    void addingAServiceCreatesOneRowPerRoom()
    {
        ScopedAnswerer answers;
        TForm5 form;
        form.show();
        child<QLineEdit>(&form, "addLabel")->insert(QStringLiteral("Petit déjeuner"));
        QTest::keyClicks(child<QLineEdit>(&form, "addHt"), QStringLiteral("10"));
        QVERIFY(choose(child<QComboBox>(&form, "addRate"), QStringLiteral("19,6")));
        child<QCheckBox>(&form, "addFreeForChildren")->setChecked(true);
        child<QPushButton>(&form, "addButton")->click();

        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Prestation enregistrée")});
        const QList<QVariantList> rows = query(
            QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT id_prestation), MIN(tarif_ht), MAX(tarif_ht), "
                           "MIN(tarif_ttc), MAX(tarif_ttc), MIN(tarif_tva), MIN(chk_gratuit_enfant), "
                           "COUNT(DISTINCT numero_chambre), MIN(libelle) FROM prestations"));
        QCOMPARE(rows[0][0].toInt(), 15);
        QCOMPARE(rows[0][1].toInt(), 1);
        QCOMPARE(rows[0][2].toDouble(), 10.0);
        QCOMPARE(rows[0][3].toDouble(), 10.0);
        QCOMPARE(rows[0][4].toDouble(), 11.96);
        QCOMPARE(rows[0][5].toDouble(), 11.96);
        QCOMPARE(rows[0][6].toDouble(), 19.6);
        QCOMPARE(rows[0][7].toInt(), 1);
        QCOMPARE(rows[0][8].toInt(), 15);
        QCOMPARE(rows[0][9].toString(), QStringLiteral("Petit déjeuner"));

        // The form is ready for the next service, which every list now offers.
        QCOMPARE(child<QLineEdit>(&form, "addLabel")->text(), QString());
        QCOMPARE(child<QLineEdit>(&form, "addTtc")->text(), QString());
        QVERIFY(!child<QCheckBox>(&form, "addFreeForChildren")->isChecked());
        QCOMPARE(child<QComboBox>(&form, "advancedModifyService")->itemText(1),
                 QStringLiteral("Petit déjeuner"));
    }

    void addingWithoutALabelDoesNothing()
    {
        ScopedAnswerer answers;
        TForm5 form;
        form.show();
        QTest::keyClicks(child<QLineEdit>(&form, "addHt"), QStringLiteral("10"));
        child<QPushButton>(&form, "addButton")->click();
        child<QPushButton>(&form, "advancedAddButton")->click();
        QVERIFY(answers->texts().isEmpty());
        QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM prestations")), 0);
    }

    void pricesFollowEachOther_data()
    {
        QTest::addColumn<QString>("typedField");
        QTest::addColumn<QString>("otherField");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("computed");
        for (const char *prefix : {"add", "modify"}) {
            const QString ht = QLatin1String(prefix) + QLatin1String("Ht");
            const QString ttc = QLatin1String(prefix) + QLatin1String("Ttc");
            QTest::addRow("%s: HT 10 at 19,6", prefix) << ht << ttc << "19,6"
                                                       << "10"
                                                       << "11,96";
            QTest::addRow("%s: TTC 100 at 5,5", prefix) << ttc << ht << "5,5"
                                                        << "100"
                                                        << "94,79";
            QTest::addRow("%s: no rate copies HT", prefix) << ht << ttc << "---------"
                                                           << "12.5"
                                                           << "12,5";
            QTest::addRow("%s: no rate copies TTC", prefix) << ttc << ht << "---------"
                                                            << "7"
                                                            << "7";
            // 0,03 at 100 % gives 0,02, which would give 0,04 if it were computed back.
            QTest::addRow("%s: typed price stays as typed", prefix) << ttc << ht << "100"
                                                                    << "0,03"
                                                                    << "0,02";
        }
    }
    void pricesFollowEachOther()
    {
        QFETCH(QString, typedField);
        QFETCH(QString, otherField);
        QFETCH(QString, rate);
        QFETCH(QString, typed);
        QFETCH(QString, computed);
        TForm5 form;
        form.show();
        const QString prefix =
            typedField.startsWith(QLatin1String("add")) ? QStringLiteral("add") : QStringLiteral("modify");
        auto *rates = form.findChild<QComboBox *>(prefix + QStringLiteral("Rate"));
        rates->setCurrentIndex(rates->findText(rate));
        auto *field = form.findChild<QLineEdit *>(typedField);
        auto *other = form.findChild<QLineEdit *>(otherField);
        QTest::keyClicks(field, typed);
        QCOMPARE(other->text(), computed);
        QCOMPARE(field->text(), QString(typed).replace(QLatin1Char('.'), QLatin1Char(',')));
    }

    void newRateRecomputesThePriceWithVat()
    {
        TForm5 form;
        form.show();
        QTest::keyClicks(child<QLineEdit>(&form, "addHt"), QStringLiteral("10"));
        QCOMPARE(child<QLineEdit>(&form, "addTtc")->text(), QStringLiteral("10"));
        QVERIFY(choose(child<QComboBox>(&form, "addRate"), QStringLiteral("19,6")));
        QCOMPARE(child<QLineEdit>(&form, "addTtc")->text(), QStringLiteral("11,96"));
        QVERIFY(choose(child<QComboBox>(&form, "addRate"), QStringLiteral("---------")));
        QCOMPARE(child<QLineEdit>(&form, "addTtc")->text(), QStringLiteral("10"));
    }

    void priceFieldsTakeOnlyPriceKeys()
    {
        TForm5 form;
        form.show();
        auto *ht = child<QLineEdit>(&form, "addHt");
        QTest::keyClicks(ht, QStringLiteral("12.5"));
        QCOMPARE(ht->text(), QStringLiteral("12,5"));
        QTest::keyClicks(ht, QStringLiteral(",.x-"));
        QCOMPARE(ht->text(), QStringLiteral("12,5"));
        QTest::keyClicks(ht, QStringLiteral("123456"));
        QCOMPARE(ht->text(), QStringLiteral("12,5123"));
    }

    void choosingAServiceShowsItsRoomOnePrices()
    {
        const int id =
            Prestation().ajouterPrestationToutesChambres(QStringLiteral("Dîner"), 15, QStringLiteral("20"),
                                                         QStringLiteral("5,5"), QStringLiteral("21,1"), 1, 0);
        TForm5 form;
        form.show();
        QVERIFY(choose(child<QComboBox>(&form, "modifyService"), QStringLiteral("Dîner")));
        QCOMPARE(child<QLineEdit>(&form, "modifyLabel")->text(), QStringLiteral("Dîner"));
        QCOMPARE(child<QLineEdit>(&form, "modifyHt")->text(), QStringLiteral("20"));
        QCOMPARE(child<QComboBox>(&form, "modifyRate")->currentText(), QStringLiteral("5,5"));
        // Stored as typed, not recomputed (20 at 5,5 would give 21,1 as well: check the rate order).
        QCOMPARE(child<QLineEdit>(&form, "modifyTtc")->text(), QStringLiteral("21,1"));
        QVERIFY(child<QCheckBox>(&form, "modifyFreeForChildren")->isChecked());

        // A rate no longer offered still shows.
        Sql(DataModule::shared(),
            QStringLiteral("UPDATE prestations SET tarif_tva = 7 WHERE id_prestation = :id"))
            .bind(QStringLiteral(":id"), id)
            .exec();
        QVERIFY(choose(child<QComboBox>(&form, "modifyService"), QStringLiteral("Liste des Prestations")));
        QCOMPARE(child<QLineEdit>(&form, "modifyLabel")->text(), QString());
        QVERIFY(choose(child<QComboBox>(&form, "modifyService"), QStringLiteral("Dîner")));
        QCOMPARE(child<QComboBox>(&form, "modifyRate")->currentText(), QStringLiteral("7"));
        QCOMPARE(child<QLineEdit>(&form, "modifyTtc")->text(), QStringLiteral("21,1"));
    }

    void uniformServiceIsChangedInEveryRoom()
    {
        ScopedAnswerer answers;
        Prestation().ajouterPrestationToutesChambres(QStringLiteral("Parking"), 15, QStringLiteral("10"),
                                                     QStringLiteral("20"), QStringLiteral("12"), 0, 0);
        TForm5 form;
        form.show();
        QVERIFY(choose(child<QComboBox>(&form, "modifyService"), QStringLiteral("Parking")));
        auto *label = child<QLineEdit>(&form, "modifyLabel");
        label->clear();
        QTest::keyClicks(label, QStringLiteral("Garage"));
        auto *ht = child<QLineEdit>(&form, "modifyHt");
        ht->clear();
        QTest::keyClicks(ht, QStringLiteral("20"));
        child<QPushButton>(&form, "modifyButton")->click();

        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Prestation mise à jour")});
        QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM prestations WHERE libelle = 'Garage' AND "
                                          "tarif_ht = 20 AND tarif_ttc = 24 AND tarif_tva = 20")),
                 15);
        QCOMPARE(label->text(), QString());
        QCOMPARE(ht->text(), QString());
        QCOMPARE(child<QComboBox>(&form, "deleteService")->itemText(1), QStringLiteral("Garage"));
    }

    void serviceWithItsOwnPriceInOneRoomIsOnlyRenamed()
    {
        ScopedAnswerer answers;
        Prestation prestation;
        const int id =
            prestation.ajouterPrestationToutesChambres(QStringLiteral("Parking"), 15, QStringLiteral("10"),
                                                       QStringLiteral("20"), QStringLiteral("12"), 0, 0);
        prestation.modifierPrestation(id, QStringLiteral("Parking"), 3, QStringLiteral("20"),
                                      QStringLiteral("20"), QStringLiteral("24"));
        TForm5 form;
        form.show();
        QVERIFY(choose(child<QComboBox>(&form, "modifyService"), QStringLiteral("Parking")));
        auto *label = child<QLineEdit>(&form, "modifyLabel");
        label->clear();
        QTest::keyClicks(label, QStringLiteral("Garage"));
        auto *ht = child<QLineEdit>(&form, "modifyHt");
        ht->clear();
        QTest::keyClicks(ht, QStringLiteral("50"));
        child<QPushButton>(&form, "modifyButton")->click();

        QCOMPARE(answers->texts(),
                 QStringList{QStringLiteral(
                     "Seul le libelle a été modifié, pour modifier les tarifs, utilisez le système avancé")});
        QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM prestations WHERE libelle = 'Garage'")), 15);
        QCOMPARE(prestation.getTarifTTC(id, 1), QStringLiteral("12"));
        QCOMPARE(prestation.getTarifTTC(id, 3), QStringLiteral("24"));
        QCOMPARE(label->text(), QString());
        QCOMPARE(ht->text(), QString());
    }

    void changingWithoutAChosenServiceDoesNothing()
    {
        ScopedAnswerer answers;
        TForm5 form;
        form.show();
        QTest::keyClicks(child<QLineEdit>(&form, "modifyLabel"), QStringLiteral("Garage"));
        child<QPushButton>(&form, "modifyButton")->click();
        QTest::keyClicks(child<QLineEdit>(&form, "advancedModifyLabel"), QStringLiteral("Garage"));
        child<QPushButton>(&form, "advancedModifyButton")->click();
        QVERIFY(answers->texts().isEmpty());
    }

    void priceThatIsNotANumberIsReportedAndChangesNothing()
    {
        ScopedAnswerer answers;
        const int id = Prestation().ajouterPrestationToutesChambres(
            QStringLiteral("Parking"), 15, QStringLiteral("10"), QString(), QStringLiteral("10"), 0, 0);
        TForm5 form;
        form.show();
        QVERIFY(choose(child<QComboBox>(&form, "modifyService"), QStringLiteral("Parking")));
        child<QLineEdit>(&form, "modifyHt")->clear();
        child<QPushButton>(&form, "modifyButton")->click();
        QCOMPARE(answers->shown.size(), 1);
        QCOMPARE(answers->shown[0].kind, Dialogs::Kind::Error);
        QCOMPARE(Prestation().getTarifHT(id, 1), QStringLiteral("10"));
        // The user's text stays for correction.
        QCOMPARE(child<QLineEdit>(&form, "modifyLabel")->text(), QStringLiteral("Parking"));
    }

    void deletingAServiceAsksFirst()
    {
        ScopedAnswerer answers;
        Prestation().ajouterPrestationToutesChambres(QStringLiteral("Parking"), 15, QStringLiteral("10"),
                                                     QString(), QStringLiteral("10"), 0, 0);
        TForm5 form;
        form.show();
        auto *list = child<QComboBox>(&form, "deleteService");
        child<QPushButton>(&form, "deleteButton")->click(); // placeholder: nothing at all
        QVERIFY(answers->texts().isEmpty());

        QVERIFY(choose(list, QStringLiteral("Parking")));
        answers->answer(false);
        child<QPushButton>(&form, "deleteButton")->click();
        QCOMPARE(answers->questions(),
                 QStringList{QStringLiteral("Comfirmez-vous la suppression de cette prestation ?")});
        QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM prestations")), 15);

        answers->reset();
        answers->answer(true);
        child<QPushButton>(&form, "deleteButton")->click();
        QCOMPARE(answers->texts(),
                 (QStringList{QStringLiteral("Comfirmez-vous la suppression de cette prestation ?"),
                              QStringLiteral("Suppression effectuée")}));
        QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM prestations")), 0);
        QCOMPARE(list->count(), 1);
        QCOMPARE(child<QComboBox>(&form, "modifyService")->count(), 1);
    }

    void advancedAddStoresEachRoomsPrices()
    {
        ScopedAnswerer answers;
        m_fixture.dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=3\n");
        TForm5 form;
        form.show();
        auto *view = child<RoomPricesView>(&form, "advancedAddPrices");
        const TextGrid &grid = view->prices()->grid();
        QTest::keyClicks(child<QLineEdit>(&form, "advancedAddLabel"), QStringLiteral("Chambre"));
        QVERIFY(choose(child<QComboBox>(&form, "advancedAddRate"), QStringLiteral("10")));
        QCOMPARE(grid.row(1), (QStringList{"1", "0", "10", "0"}));

        typeInCell(view, 2, RoomPricesModel::PriceTtc, QStringLiteral("66"));
        QCOMPARE(grid.cell(2, RoomPricesModel::PriceHt), QStringLiteral("60"));
        typeInCell(view, 3, RoomPricesModel::PriceHt, QStringLiteral("80.5"));
        QCOMPARE(grid.cell(3, RoomPricesModel::PriceTtc), QStringLiteral("88,55"));
        child<QPushButton>(&form, "advancedAddButton")->click();

        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Prestation enregistrée")});
        const QList<QVariantList> rows =
            query(QStringLiteral("SELECT numero_chambre, tarif_ht, tarif_tva, tarif_ttc FROM prestations "
                                 "ORDER BY numero_chambre"));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], (QVariantList{1, 0.0, 10.0, 0.0}));
        QCOMPARE(rows[1], (QVariantList{2, 60.0, 10.0, 66.0}));
        QCOMPARE(rows[2], (QVariantList{3, 80.5, 10.0, 88.55}));
        // Typed prices remain for a similar service.
        QCOMPARE(child<QLineEdit>(&form, "advancedAddLabel")->text(), QString());
        QCOMPARE(grid.cell(3, RoomPricesModel::PriceHt), QStringLiteral("80,5"));
    }

    void advancedAddWithoutRateCopiesPrices()
    {
        m_fixture.dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=2\n");
        TForm5 form;
        form.show();
        auto *view = child<RoomPricesView>(&form, "advancedAddPrices");
        QVERIFY(choose(child<QComboBox>(&form, "advancedAddRate"), QStringLiteral("20")));
        typeInCell(view, 1, RoomPricesModel::PriceTtc, QStringLiteral("24"));
        view->commitEditing();
        QCOMPARE(view->prices()->grid().cell(1, RoomPricesModel::PriceHt), QStringLiteral("20"));
        QVERIFY(choose(child<QComboBox>(&form, "advancedAddRate"), QStringLiteral("---------")));
        QCOMPARE(view->prices()->grid().row(1), (QStringList{"1", "24", "---------", "24"}));
        QCOMPARE(view->prices()->grid().row(2), (QStringList{"2", "0", "---------", "0"}));
    }

    void advancedModifyChangesRoomByRoom()
    {
        ScopedAnswerer answers;
        m_fixture.dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=3\n");
        Prestation prestation;
        const int id =
            prestation.ajouterPrestationToutesChambres(QStringLiteral("Parking"), 3, QStringLiteral("10"),
                                                       QStringLiteral("20"), QStringLiteral("12"), 1, 0);
        prestation.modifierPrestation(id, QStringLiteral("Parking"), 2, QStringLiteral("15"), QString(),
                                      QStringLiteral("18"));
        TForm5 form;
        form.show();
        auto *view = child<RoomPricesView>(&form, "advancedModifyPrices");
        const TextGrid &grid = view->prices()->grid();
        QVERIFY(choose(child<QComboBox>(&form, "advancedModifyService"), QStringLiteral("Parking")));
        QCOMPARE(child<QLineEdit>(&form, "advancedModifyLabel")->text(), QStringLiteral("Parking"));
        QCOMPARE(child<QComboBox>(&form, "advancedModifyRate")->currentText(), QStringLiteral("20"));
        QVERIFY(child<QCheckBox>(&form, "advancedModifyFreeForChildren")->isChecked());
        QCOMPARE(grid.row(1), (QStringList{"1", "10", "20", "12"}));
        QCOMPARE(grid.row(2), (QStringList{"2", "15", "20", "18"}));

        // A cell typed in follows the rate shown.
        typeInCell(view, 3, RoomPricesModel::PriceTtc, QStringLiteral("36"));
        QCOMPARE(grid.cell(3, RoomPricesModel::PriceHt), QStringLiteral("30"));
        child<QPushButton>(&form, "advancedModifyButton")->click();
        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Prestation mise à jour")});
        QCOMPARE(prestation.getTarifTTC(id, 3), QStringLiteral("36"));
        QCOMPARE(prestation.getTarifHT(id, 3), QStringLiteral("30"));
        QCOMPARE(prestation.getTarifTTC(id, 2), QStringLiteral("18"));
        // Ready for the next one.
        QCOMPARE(grid.row(3), (QStringList{"3", "", "20", ""}));
        QCOMPARE(child<QComboBox>(&form, "advancedModifyService")->currentIndex(), 0);
    }

    void unreadableRoomCountRefusesTheService_data()
    {
        QTest::addColumn<bool>("advanced");
        QTest::newRow("standard") << false;
        QTest::newRow("advanced") << true;
    }

    void unreadableRoomCountRefusesTheService()
    {
        QFETCH(bool, advanced);
        ScopedAnswerer answers;
        m_fixture.dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=douze\n");
        TForm5 form;
        form.show();
        answers->reset();
        if (advanced) {
            QTest::keyClicks(child<QLineEdit>(&form, "advancedAddLabel"), QStringLiteral("Parking"));
            child<QPushButton>(&form, "advancedAddButton")->click();
        } else {
            QTest::keyClicks(child<QLineEdit>(&form, "addLabel"), QStringLiteral("Parking"));
            QTest::keyClicks(child<QLineEdit>(&form, "addHt"), QStringLiteral("10"));
            child<QPushButton>(&form, "addButton")->click();
        }
        QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM prestations")), 0);
        QCOMPARE(answers->shown.size(), 1);
        QCOMPARE(answers->shown.first().kind, Dialogs::Kind::Error);
        // The reason names the value that could not be read.
        QVERIFY2(answers->shown.first().text.contains(QStringLiteral("douze")) ||
                     answers->shown.first().text.contains(QStringLiteral("nombre")),
                 qPrintable(answers->shown.first().text));
    }

    void reopeningClearsWhatWasTyped()
    {
        ScopedAnswerer answers;
        TForm5 form;
        form.show();
        QTest::keyClicks(child<QLineEdit>(&form, "addLabel"), QStringLiteral("Parking"));
        QTest::keyClicks(child<QLineEdit>(&form, "addHt"), QStringLiteral("10"));
        QVERIFY(choose(child<QComboBox>(&form, "addRate"), QStringLiteral("20")));
        QCOMPARE(child<QLineEdit>(&form, "addTtc")->text(), QStringLiteral("12"));
        auto *view = child<RoomPricesView>(&form, "advancedAddPrices");
        QVERIFY(choose(child<QComboBox>(&form, "advancedAddRate"), QStringLiteral("20")));
        typeInCell(view, 1, RoomPricesModel::PriceTtc, QStringLiteral("24"));
        form.hide();
        form.show();

        // The rate lists show "---------" again; no price of another rate stays.
        QCOMPARE(child<QComboBox>(&form, "addRate")->currentText(), QStringLiteral("---------"));
        QCOMPARE(child<QLineEdit>(&form, "addHt")->text(), QString());
        QCOMPARE(child<QLineEdit>(&form, "addTtc")->text(), QString());
        QCOMPARE(view->prices()->grid().row(1), (QStringList{"1", "", "---------", ""}));

        // What is typed now is stored consistently.
        QTest::keyClicks(child<QLineEdit>(&form, "addLabel"), QStringLiteral("Parking"));
        QTest::keyClicks(child<QLineEdit>(&form, "addHt"), QStringLiteral("10"));
        child<QPushButton>(&form, "addButton")->click();
        const QList<QVariantList> rows =
            query(QStringLiteral("SELECT DISTINCT tarif_ht, tarif_tva, tarif_ttc FROM prestations"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toDouble(), 10.0);
        QVERIFY(rows[0][1].isNull());
        QCOMPARE(rows[0][2].toDouble(), 10.0);
    }

    void noRateChosenInModifyStoresNoRate()
    {
        ScopedAnswerer answers;
        m_fixture.dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=3\n");
        Prestation prestation;
        const int id = prestation.ajouterPrestationToutesChambres(
            QStringLiteral("Parking"), 3, QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("11"), 0, 0);
        TForm5 form;
        form.show();
        QVERIFY(choose(child<QComboBox>(&form, "modifyService"), QStringLiteral("Parking")));
        auto *ht = child<QLineEdit>(&form, "modifyHt");
        ht->clear();
        QTest::keyClicks(ht, QStringLiteral("8,5"));
        QVERIFY(choose(child<QComboBox>(&form, "modifyRate"), QStringLiteral("---------")));
        child<QPushButton>(&form, "modifyButton")->click();

        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Prestation mise à jour")});
        const QList<QVariantList> rows = query(
            QStringLiteral("SELECT DISTINCT tarif_ht, tarif_tva, tarif_ttc FROM prestations WHERE id_prestation = ") +
            QString::number(id));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toDouble(), 8.5);
        QVERIFY(rows[0][1].isNull());
        QCOMPARE(rows[0][2].toDouble(), 8.5);
        QCOMPARE(prestation.getTauxTva(id, 2), QStringLiteral("---------"));
    }

    void advancedModifyCreatesTheRowsOfANewRoom()
    {
        ScopedAnswerer answers;
        Prestation prestation;
        const int id = prestation.ajouterPrestationToutesChambres(
            QStringLiteral("Parking"), 3, QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("12"), 1, 0);
        // Room 4 is added by raising the number of rooms; the service has no row there yet.
        m_fixture.dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=5\n");
        TForm5 form;
        form.show();
        child<QTabWidget>(&form, "modeTabs")->setCurrentIndex(1);
        child<QTabWidget>(&form, "advancedTabs")->setCurrentIndex(1);
        auto *view = child<RoomPricesView>(&form, "advancedModifyPrices");
        QVERIFY(choose(child<QComboBox>(&form, "advancedModifyService"), QStringLiteral("Parking")));
        QCOMPARE(view->prices()->grid().row(4), (QStringList{"4", "", "20", ""}));
        typeInCell(view, 4, RoomPricesModel::PriceHt, QStringLiteral("15"));
        child<QPushButton>(&form, "advancedModifyButton")->click();

        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Prestation mise à jour")});
        const QList<QVariantList> rows =
            query(QStringLiteral("SELECT numero_chambre, libelle, tarif_ht, tarif_tva, tarif_ttc, chk_gratuit_enfant "
                                 "FROM prestations WHERE id_prestation = ") +
                  QString::number(id) + QStringLiteral(" ORDER BY numero_chambre"));
        QCOMPARE(rows.size(), 4); // room 5, left without a price, gets no row
        QCOMPARE(rows[3], (QVariantList{4, QStringLiteral("Parking"), 15.0, 20.0, 18.0, 1}));
        QCOMPARE(prestation.getTarifTTC(id, 1), QStringLiteral("12"));
    }

    void menuEntriesOpenTheCatalogueWindows()
    {
        QWidget mainWindow;
        QAction prestations(QStringLiteral("Prestations"));
        QAction tva(QStringLiteral("TVA"));
        QAction periods(QStringLiteral("Périodes tarifaires"));
        for (QAction *action : {&prestations, &tva, &periods})
            action->setEnabled(false);
        periods.setVisible(false);
        CatalogueWindows *windows = CatalogueWindows::install(&mainWindow, &prestations, &tva, &periods);
        QVERIFY(prestations.isEnabled() && tva.isEnabled());
        QVERIFY(!periods.isVisible());
        // Hidden, but ready the day it is offered.
        periods.setVisible(true);
        QVERIFY(periods.isEnabled());

        const QList<std::pair<QAction *, QDialog *>> opened = {
            {&prestations, windows->services()}, {&tva, windows->vat()}, {&periods, windows->periods()}};
        for (const auto &[action, window] : opened) {
            bool wasModal = false;
            QTimer::singleShot(0, window, [&, window = window] {
                wasModal = window->isVisible() && window->isModal();
                window->close();
            });
            action->trigger();
            QVERIFY2(wasModal, qPrintable(action->text()));
        }
    }

    // Writes PNGs of both tabs into $KESTROVA_SHOTS (skipped without it).
    void screenshots()
    {
        const QString dir = qEnvironmentVariable("KESTROVA_SHOTS");
        if (dir.isEmpty())
            QSKIP("set KESTROVA_SHOTS to a directory to get screenshots");
        Prestation prestation;
        const int id = prestation.ajouterPrestationToutesChambres(QStringLiteral("Petit déjeuner"), 15,
                                                                  QStringLiteral("10"), QStringLiteral("10"),
                                                                  QStringLiteral("11"), 1, 0);
        prestation.modifierPrestation(id, QStringLiteral("Petit déjeuner"), 3, QStringLiteral("12"),
                                      QStringLiteral("10"), QStringLiteral("13,2"));
        TForm5 form;
        form.show();
        QVERIFY(choose(child<QComboBox>(&form, "modifyService"), QStringLiteral("Petit déjeuner")));
        QTest::keyClicks(child<QLineEdit>(&form, "addLabel"), QStringLiteral("Parking"));
        QTest::keyClicks(child<QLineEdit>(&form, "addHt"), QStringLiteral("8"));
        QVERIFY(choose(child<QComboBox>(&form, "addRate"), QStringLiteral("20")));
        QVERIFY(form.grab().save(dir + QStringLiteral("/services_standard.png")));
        auto *tabs = child<QTabWidget>(&form, "modeTabs");
        tabs->setCurrentIndex(1);
        QVERIFY(form.grab().save(dir + QStringLiteral("/services_advanced_add.png")));
        child<QTabWidget>(&form, "advancedTabs")->setCurrentIndex(1);
        QVERIFY(choose(child<QComboBox>(&form, "advancedModifyService"), QStringLiteral("Petit déjeuner")));
        QVERIFY(form.grab().save(dir + QStringLiteral("/services_advanced_modify.png")));
    }

private:
    CatalogueFixture m_fixture;
};

QTEST_MAIN(TestServicesForm)
#include "tst_services_form.moc"
