#include "common/choice_list.h"
#include "common/errors.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/schema.h"
#include "data/sql.h"
#include "data/tva.h"
#include "test_support.h"

#include <QTest>

#include <memory>

namespace {

QStringList texts(const ChoiceList &list)
{
    QStringList out;
    for (const ChoiceList::Item &i : list.items())
        out << i.text;
    return out;
}

} // namespace

class TstTva : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void ratesHighestFirstAfterThePlaceholder()
    {
        Tva tva;
        ChoiceList list;
        tva.remplirListeTva(list);
        QCOMPARE(texts(list), (QStringList{"---------", "20", "10"}));
        QCOMPARE(list.value(0), 0);
        tva.ajouterTaux(QStringLiteral("5.5"));
        // A file written before duplicates were refused may hold one: both are listed.
        Sql(DataModule::shared(), QStringLiteral("INSERT INTO tva (taux) VALUES (10.0)")).exec();
        QVERIFY_THROWS_EXCEPTION(KestrovaError, tva.ajouterTaux(QStringLiteral("10,0")));
        tva.remplirListeTva(list);
        QCOMPARE(texts(list), (QStringList{"---------", "20", "10", "10", "5,5"}));
    }

    void emptyTableGivesOnlyThePlaceholder()
    {
        Sql(DataModule::shared(), QStringLiteral("DELETE FROM tva")).exec();
        Tva tva;
        ChoiceList list;
        list.add(QStringLiteral("old"), 3);
        tva.remplirListeTva(list);
        QCOMPARE(texts(list), QStringList{QStringLiteral("---------")});
        TextGrid grid(4, 2);
        grid.setCell(2, 1, QStringLiteral("19,6"));
        QCOMPARE(tva.afficherTaux(grid), 0);
        QCOMPARE(grid.rowCount(), 2);
        QVERIFY(grid.isRowEmpty(1));
    }

    void editingRates()
    {
        Tva tva;
        const int id = tva.ajouterTaux(QStringLiteral(" 19,6 "));
        QCOMPARE(tva.getTaux(id), QStringLiteral("19,6"));
        QVERIFY(tva.modifierTaux(id, QStringLiteral("7.7")));
        QCOMPARE(tva.getTaux(id), QStringLiteral("7,7"));
        QVERIFY(!tva.modifierTaux(id + 5, QStringLiteral("1")));
        QVERIFY_THROWS_EXCEPTION(KestrovaError, tva.ajouterTaux(QStringLiteral("dix")));
        QVERIFY_THROWS_EXCEPTION(KestrovaError, tva.modifierTaux(id, QStringLiteral("7,7,7")));
        QCOMPARE(tva.getTaux(id), QStringLiteral("7,7"));

        TextGrid grid(1, 2);
        QCOMPARE(tva.afficherTaux(grid), 3);
        QCOMPARE(grid.row(1), (QStringList{"1", "20"}));
        QCOMPARE(grid.row(3), (QStringList{QString::number(id), "7,7"}));

        QVERIFY(tva.supprimerTaux(id));
        QVERIFY(!tva.supprimerTaux(id));
        QCOMPARE(tva.getTaux(id), QString());
    }

private:
    std::unique_ptr<TestDatabase> m_db;
};

QTEST_GUILESS_MAIN(TstTva)
#include "tst_tva.moc"
