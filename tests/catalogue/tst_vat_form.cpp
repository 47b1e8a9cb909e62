#include "catalogue/text_grid_model.h"
#include "ui/catalogue/vat_editor.h"
#include "ui/catalogue/vat_form.h"
#include "common/dialogs.h"
#include "data/tva.h"

#include "catalogue_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace {

QStringList storedRates()
{
    QStringList rates;
    for (const QVariantList &row : query(QStringLiteral("SELECT taux FROM tva ORDER BY id")))
        rates << QString::number(row[0].toDouble());
    return rates;
}

} // namespace

class TestVatForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_fixture.start(); }
    void cleanup() { m_fixture.stop(); }

    void listsTheRatesAndSelectsTheFirst()
    {
        TFormTVA form;
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("Taux de TVA"));
        const TextGrid &grid = form.rates()->grid();
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.cell(0, 1), QStringLiteral("Taux de TVA"));
        QCOMPARE(grid.cell(1, 1), QStringLiteral("20"));
        QCOMPARE(form.selectedRate(), grid.cell(1, 0).toInt());
        QVERIFY(child<QTableView>(&form, "rates")->isColumnHidden(0));
        QVERIFY(child<QAction>(&form, "actionModifier")->isEnabled());
    }

    void typedRateIsStoredWithADecimalComma_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("point") << "5.5"
                               << "5,5"
                               << "5.5";
        QTest::newRow("comma") << "19,6"
                               << "19,6"
                               << "19.6";
        QTest::newRow("second separator refused") << "2.1.0"
                                                  << "2,10"
                                                  << "2.1";
        QTest::newRow("letters refused") << "7a%"
                                         << "7"
                                         << "7";
    }
    void typedRateIsStoredWithADecimalComma()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        TFormTVA form;
        form.show();
        Ttva_details *editor = form.editor();
        QTimer::singleShot(0, editor, [&] {
            QCOMPARE(editor->windowTitle(), QStringLiteral("Nouveau taux de TVA"));
            auto *rate = child<QLineEdit>(editor, "rate");
            QTest::keyClicks(rate, typed);
            QCOMPARE(rate->text(), shown);
            child<QPushButton>(editor, "validate")->click();
        });
        form.addRate();
        QCOMPARE(storedRates(), (QStringList{"20", "10", stored}));
        QCOMPARE(form.rates()->grid().cell(3, 1),
                 QString(stored).replace(QLatin1Char('.'), QLatin1Char(',')));
    }

    void emptyRateIsRefusedAndTheEditorStays()
    {
        ScopedAnswerer answers;
        Ttva_details editor;
        editor.show();
        child<QPushButton>(&editor, "validate")->click();
        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Le taux de TVA ne peut être vide !")});
        QVERIFY(editor.isVisible());
        QCOMPARE(storedRates().size(), 2);
    }

    void rateThatIsNotANumberIsReportedAndTheEditorStays()
    {
        ScopedAnswerer answers;
        Ttva_details editor;
        editor.show();
        auto *rate = child<QLineEdit>(&editor, "rate");
        QTest::keyClicks(rate, QStringLiteral(","));
        child<QPushButton>(&editor, "validate")->click();
        QCOMPARE(answers->shown.size(), 1);
        QCOMPARE(answers->shown[0].kind, Dialogs::Kind::Error);
        QVERIFY(answers->texts()[0].startsWith(QStringLiteral("Le taux de TVA n'a pas été enregistré.")));
        QVERIFY(editor.isVisible());
        QCOMPARE(rate->text(), QStringLiteral(","));
        QCOMPARE(storedRates().size(), 2);
    }

    void rateThatExistsIsRefusedWithItsValue_data()
    {
        QTest::addColumn<int>("changedId"); // 0: a new rate
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::newRow("new, same text") << 0 << "10" << true;
        QTest::newRow("new, other writing") << 0 << "10.00" << true;
        QTest::newRow("new, other rate") << 0 << "10,5" << false;
        QTest::newRow("change to another's value") << 1 << "10" << true;
        QTest::newRow("change kept as it is") << 2 << "10" << false;
    }
    void rateThatExistsIsRefusedWithItsValue()
    {
        QFETCH(int, changedId);
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        ScopedAnswerer answers;
        const QStringList before = storedRates();
        Ttva_details editor;
        if (changedId == 0)
            editor.nouveauTaux();
        else
            editor.modifierTaux(changedId, Tva().getTaux(changedId));
        editor.show();
        auto *rate = child<QLineEdit>(&editor, "rate");
        rate->clear();
        QTest::keyClicks(rate, typed);
        child<QPushButton>(&editor, "validate")->click();
        if (refused) {
            QCOMPARE(answers->texts(), QStringList{QStringLiteral("Le taux de TVA n'a pas été enregistré.\n"
                                                                  "Le taux de TVA 10 % existe déjà.")});
            QVERIFY(editor.isVisible());
            QCOMPARE(storedRates(), before);
        } else {
            QVERIFY(answers->texts().isEmpty());
            QVERIFY(!editor.isVisible());
        }
    }

    void changingARate()
    {
        TFormTVA form;
        form.show();
        const TextGrid &grid = form.rates()->grid();
        child<QTableView>(&form, "rates")->setCurrentIndex(form.rates()->index(1, 1));
        QCOMPARE(form.selectedRate(), grid.cell(2, 0).toInt());
        Ttva_details *editor = form.editor();
        QTimer::singleShot(0, editor, [&] {
            QCOMPARE(editor->windowTitle(), QStringLiteral("Modification du taux de TVA"));
            QCOMPARE(child<QPushButton>(editor, "validate")->text(), QStringLiteral("Modifier"));
            auto *rate = child<QLineEdit>(editor, "rate");
            QCOMPARE(rate->text(), QStringLiteral("10"));
            rate->clear();
            QTest::keyClicks(rate, QStringLiteral("8.5"));
            child<QPushButton>(editor, "validate")->click();
        });
        form.modifyRate();
        QCOMPARE(storedRates(), (QStringList{"20", "8.5"}));
        // Closing the editor empties it for the next use.
        QCOMPARE(child<QLineEdit>(editor, "rate")->text(), QString());
    }

    void deletingTheLastRateDisablesChangeAndDelete()
    {
        ScopedAnswerer answers;
        answers->setFallback(true);
        TFormTVA form;
        form.show();
        form.deleteRate();
        form.deleteRate();
        QCOMPARE(answers->questions(), QStringList(2, QStringLiteral("Supprimer ce taux de TVA ?")));
        QVERIFY(storedRates().isEmpty());
        QCOMPARE(form.rates()->grid().rowCount(), 2);
        QVERIFY(form.rates()->grid().isRowEmpty(1));
        QCOMPARE(form.selectedRate(), -1);
        QVERIFY(!child<QAction>(&form, "actionModifier")->isEnabled());
        QVERIFY(!child<QAction>(&form, "actionSupprimer")->isEnabled());

        // "Non" keeps the rate.
        Tva().ajouterTaux(QStringLiteral("5,5"));
        form.refill();
        answers->answer(false);
        form.deleteRate();
        QCOMPARE(storedRates(), QStringList{"5.5"});
    }

    void screenshots()
    {
        const QString dir = qEnvironmentVariable("KESTROVA_SHOTS");
        if (dir.isEmpty())
            QSKIP("set KESTROVA_SHOTS to a directory to get screenshots");
        TFormTVA form;
        form.show();
        QVERIFY(form.grab().save(dir + QStringLiteral("/vat_form.png")));
        form.editor()->modifierTaux(1, QStringLiteral("20"));
        form.editor()->show();
        QVERIFY(form.editor()->grab().save(dir + QStringLiteral("/vat_editor.png")));
    }

private:
    CatalogueFixture m_fixture;
};

QTEST_MAIN(TestVatForm)
#include "tst_vat_form.moc"
