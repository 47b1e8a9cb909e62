#include "ui/catalogue/service_picker.h"
#include "common/dialogs.h"
#include "common/text_grid.h"
#include "data/prestation.h"

#include "catalogue_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// A services grid as the entry panel holds it: titles, services, entry row.
TextGrid grid(const QList<QStringList> &lines)
{
    TextGrid g(1, 7);
    g.setRow(0, {QString(), QStringLiteral("Prestation"), QStringLiteral("Nb"), QStringLiteral("Tarif HT"),
                 QStringLiteral("TVA"), QStringLiteral("Tarif TTC")});
    for (const QStringList &line : lines)
        g.appendRow(line);
    g.appendRow();
    return g;
}

QStringList offered(const TSelectPrestation &picker)
{
    auto *list = child<QComboBox>(&picker, "services");
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

} // namespace

class TestServicePicker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_fixture.start();
        Prestation prestation;
        for (const char *label : {"Parking", "Dîner", "Petit déjeuner"})
            m_ids << prestation.ajouterPrestationToutesChambres(
                QString::fromUtf8(label), 3, QStringLiteral("5"), QString(), QStringLiteral("5"), 0, 0);
    }
    void cleanup()
    {
        m_ids.clear();
        m_fixture.stop();
    }

    void addModeNeverOffersAServiceTheGridHolds()
    {
        TextGrid g = grid({{QString::number(m_ids[0]), "Parking", "1", "5", "---------", "5"}});
        TSelectPrestation picker;
        picker.initListePrestations(g);
        QCOMPARE(picker.windowTitle(), QStringLiteral("Prestation"));
        QCOMPARE(offered(picker), (QStringList{"Liste des Prestations", "Dîner", "Petit déjeuner"}));
        QCOMPARE(child<QComboBox>(&picker, "services")->currentIndex(), 0);
        QVERIFY(child<QComboBox>(&picker, "services")->isEnabled());
        QCOMPARE(child<QLineEdit>(&picker, "quantity")->text(), QStringLiteral("1"));
        QCOMPARE(child<QPushButton>(&picker, "validate")->text(), QStringLiteral("Ajouter"));

        // The entry row itself holds nothing to leave out.
        TextGrid empty = grid({});
        picker.initListePrestations(empty);
        QCOMPARE(offered(picker).size(), 4);
    }

    void addingWritesTheEntryRowAndAddsANewOne()
    {
        TextGrid g = grid({{QString::number(m_ids[0]), "Parking", "1", "5", "---------", "5"}});
        TSelectPrestation picker;
        picker.initListePrestations(g);
        QVERIFY(choose(child<QComboBox>(&picker, "services"), QStringLiteral("Dîner")));
        auto *quantity = child<QLineEdit>(&picker, "quantity");
        quantity->selectAll();
        QTest::keyClicks(quantity, QStringLiteral("3"));
        child<QPushButton>(&picker, "validate")->click();

        QVERIFY(picker.gridChanged());
        QCOMPARE(g.rowCount(), 4);
        QCOMPARE(g.row(2).mid(0, 3), (QStringList{QString::number(m_ids[1]), "Dîner", "3"}));
        QVERIFY(g.isRowEmpty(3));
        QCOMPARE(g.cell(1, 1), QStringLiteral("Parking"));
    }

    void placeholderChangesNothing()
    {
        TextGrid g = grid({});
        const TextGrid before = g;
        TSelectPrestation picker;
        picker.show();
        picker.initListePrestations(g);
        child<QPushButton>(&picker, "validate")->click();
        QVERIFY(picker.isVisible());
        QVERIFY(!picker.gridChanged());
        QCOMPARE(g, before);
    }

    void updateModeLocksTheServiceAndChangesTheQuantity()
    {
        TextGrid g = grid({{QString::number(m_ids[0]), "Parking", "1", "5", "---------", "5"},
                           {QString::number(m_ids[2]), "Petit déjeuner", "2", "10", "---------", "10"}});
        TSelectPrestation picker;
        picker.initListePrestationsForUpdate(g, 2);
        auto *list = child<QComboBox>(&picker, "services");
        QCOMPARE(list->currentText(), QStringLiteral("Petit déjeuner"));
        QVERIFY(!list->isEnabled());
        // Every service is listed when changing a line.
        QCOMPARE(list->count(), 4);
        auto *quantity = child<QLineEdit>(&picker, "quantity");
        QCOMPARE(quantity->text(), QStringLiteral("2"));
        QCOMPARE(child<QPushButton>(&picker, "validate")->text(), QStringLiteral("Modifier"));
        quantity->clear();
        QTest::keyClicks(quantity, QStringLiteral("4"));
        child<QPushButton>(&picker, "validate")->click();

        QVERIFY(picker.gridChanged());
        QCOMPARE(g.rowCount(), 4);
        QCOMPARE(g.row(2).mid(0, 3), (QStringList{QString::number(m_ids[2]), "Petit déjeuner", "4"}));
    }

    void quantityMustBeAWholeNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("decimal") << "1.5";
        QTest::newRow("empty") << "";
    }
    void quantityMustBeAWholeNumber()
    {
        QFETCH(QString, typed);
        ScopedAnswerer answers;
        TextGrid g = grid({});
        const TextGrid before = g;
        TSelectPrestation picker;
        picker.show();
        picker.initListePrestations(g);
        QVERIFY(choose(child<QComboBox>(&picker, "services"), QStringLiteral("Parking")));
        auto *quantity = child<QLineEdit>(&picker, "quantity");
        quantity->clear();
        QTest::keyClicks(quantity, typed);
        child<QPushButton>(&picker, "validate")->click();
        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Le nombre doit être un nombre entier.")});
        QVERIFY(picker.isVisible());
        QCOMPARE(g, before);
    }

    void modalRunTellsWhetherTheGridChanged()
    {
        TextGrid g = grid({});
        TSelectPrestation picker;
        QTimer::singleShot(0, &picker, [&] {
            choose(child<QComboBox>(&picker, "services"), QStringLiteral("Parking"));
            child<QPushButton>(&picker, "validate")->click();
        });
        QVERIFY(picker.ajouter(g));
        QCOMPARE(g.cell(1, 1), QStringLiteral("Parking"));

        QTimer::singleShot(0, &picker, [&] { child<QPushButton>(&picker, "cancel")->click(); });
        QVERIFY(!picker.modifier(g, 1));
        QCOMPARE(g.cell(1, 2), QStringLiteral("1"));
    }

    void screenshots()
    {
        const QString dir = qEnvironmentVariable("KESTROVA_SHOTS");
        if (dir.isEmpty())
            QSKIP("set KESTROVA_SHOTS to a directory to get screenshots");
        TextGrid g = grid({});
        TSelectPrestation picker;
        picker.initListePrestations(g);
        picker.show();
        QVERIFY(picker.grab().save(dir + QStringLiteral("/service_picker.png")));
    }

private:
    CatalogueFixture m_fixture;
    QList<int> m_ids;
};

QTEST_MAIN(TestServicePicker)
#include "tst_service_picker.moc"
