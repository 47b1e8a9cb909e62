#include "common/choice_list.h"
#include "common/errors.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/periode.h"
#include "data/schema.h"
#include "data/sql.h"
#include "test_support.h"

#include <QTest>

#include <memory>

namespace {

QSqlDatabase db()
{
    return DataModule::shared();
}

int count(const QString &statement)
{
    return Sql(db(), statement).scalar().toInt();
}

void addServiceRow(int id, int room, double ht)
{
    Sql(db(), QStringLiteral(
                  "INSERT INTO prestations (id_prestation, libelle, numero_chambre, tarif_ht, tarif_tva, "
                  "tarif_ttc) VALUES (:id, 'x', :room, :ht, NULL, :ttc)"))
        .bind(QStringLiteral(":id"), id)
        .bind(QStringLiteral(":room"), room)
        .bind(QStringLiteral(":ht"), ht)
        .bind(QStringLiteral(":ttc"), ht * 1.1)
        .exec();
}

TextGrid calendarGrid()
{
    TextGrid g(1, 5);
    g.setRow(0,
             {QString(), QString(), QStringLiteral("Période"), QStringLiteral("Du"), QStringLiteral("Au")});
    return g;
}

} // namespace

class TstPeriode : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void periodsList()
    {
        Periode p;
        ChoiceList list;
        p.remplirListePeriodes(list);
        QCOMPARE(list.items(), (QList<ChoiceList::Item>{{QStringLiteral("Liste des Périodes"), 0}}));
        const int high = p.ajouterPeriode(QStringLiteral("Haute saison"));
        const int low = p.ajouterPeriode(QStringLiteral("Basse saison"));
        QCOMPARE(low, high + 1);
        QCOMPARE(p.renommerPeriode(high, QStringLiteral("L'été")), 1);
        QCOMPARE(p.renommerPeriode(99, QStringLiteral("rien")), 0);
        p.remplirListePeriodes(list);
        QCOMPARE(list.items(), (QList<ChoiceList::Item>{{QStringLiteral("Liste des Périodes"), 0},
                                                        {QStringLiteral("Basse saison"), low},
                                                        {QStringLiteral("L'été"), high}}));
    }

    void aNewPeriodStartsWithTheBasePrices()
    {
        Periode p;
        QCOMPARE(p.creerPeriode(QStringLiteral("Sans prestation"), 3), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM prestations_tarifs")), 0);

        addServiceRow(1, 1, 10);
        addServiceRow(1, 2, 12);
        addServiceRow(2, 1, 4);
        addServiceRow(2, 2, 4);
        addServiceRow(2, 3, 4); // a room above the number of rooms: no price for it
        const int id = p.creerPeriode(QStringLiteral("Haute"), 2);
        const QList<QVariantList> rows =
            Sql(db(), QStringLiteral(
                          "SELECT id_prestation, numero_chambre, tarif_ht, tarif_tva FROM prestations_tarifs "
                          "WHERE id_periode = :p ORDER BY id_prestation, numero_chambre"))
                .bind(QStringLiteral(":p"), id)
                .rows();
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[1][0].toInt(), 1);
        QCOMPARE(rows[1][1].toInt(), 2);
        QCOMPARE(rows[1][2].toDouble(), 12.0);
        QVERIFY(rows[1][3].isNull());
    }

    void deletingAPeriodRemovesItsRangesAndPrices()
    {
        Periode p;
        const int high = p.ajouterPeriode(QStringLiteral("Haute"));
        const int low = p.ajouterPeriode(QStringLiteral("Basse"));
        p.ajouterPlageCalendrier(high, QDate(2023, 7, 1), QDate(2023, 8, 31));
        p.ajouterPlageCalendrier(high, QDate(2024, 7, 1), QDate(2024, 8, 31));
        p.ajouterPlageCalendrier(low, QDate(2024, 9, 1), QDate(2024, 12, 31));
        Sql(db(), QStringLiteral("INSERT INTO prestations_tarifs (id_prestation, id_periode, numero_chambre) "
                                 "VALUES (1, :h, 1), (1, :l, 1)"))
            .bind(QStringLiteral(":h"), high)
            .bind(QStringLiteral(":l"), low)
            .exec();
        QCOMPARE(p.supprimerPeriode(0), 0); // the placeholder deletes nothing
        QCOMPARE(p.supprimerPeriode(high), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM calendrier_tarifaire")), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM prestations_tarifs")), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM periodes")), 1);
    }

    void afficherCalendrier_data()
    {
        QTest::addColumn<QStringList>("ranges");   // "start end" as ISO dates, period 1
        QTest::addColumn<QStringList>("expected"); // "start-end" shown, "" for the entry row
        QTest::newRow("year without ranges") << QStringList{} << QStringList{""};
        QTest::newRow("ranges in date order, then the entry row")
            << QStringList{"2024-06-01 2024-08-31", "2024-01-01 2024-05-31"}
            << QStringList{"01/01/2024-31/05/2024", "01/06/2024-31/08/2024", ""};
        QTest::newRow("year planned to 31/12: no entry row")
            << QStringList{"2024-01-01 2024-06-30", "2024-07-01 2024-12-31"}
            << QStringList{"01/01/2024-30/06/2024", "01/07/2024-31/12/2024"};
        QTest::newRow("a range belongs to the year it starts in")
            << QStringList{"2023-12-01 2024-01-15", "2024-12-20 2025-01-10"}
            << QStringList{"20/12/2024-10/01/2025", ""};
    }
    void afficherCalendrier()
    {
        QFETCH(QStringList, ranges);
        QFETCH(QStringList, expected);
        Periode p;
        const int period = p.ajouterPeriode(QStringLiteral("Saison"));
        for (const QString &r : ranges)
            p.ajouterPlageCalendrier(period,
                                     QDate::fromString(r.section(QLatin1Char(' '), 0, 0), Qt::ISODate),
                                     QDate::fromString(r.section(QLatin1Char(' '), 1, 1), Qt::ISODate));
        TextGrid grid = calendarGrid();
        grid.setRowCount(9); // left over from another year
        grid.setCell(8, 2, QStringLiteral("old"));
        p.afficherCalendrier(2024, grid);
        QCOMPARE(grid.rowCount(), expected.size() + 1);
        QCOMPARE(grid.cell(0, 3), QStringLiteral("Du"));
        for (int i = 0; i < expected.size(); ++i) {
            const int row = i + 1;
            if (expected[i].isEmpty()) {
                QVERIFY(grid.isRowEmpty(row));
                continue;
            }
            QCOMPARE(grid.cell(row, 3) + QLatin1Char('-') + grid.cell(row, 4), expected[i]);
            QCOMPARE(grid.cell(row, 1), QString::number(period));
            QCOMPARE(grid.cell(row, 2), QStringLiteral("Saison"));
            QVERIFY(!grid.cell(row, 0).isEmpty());
        }
    }

    void rangesOfADeletedPeriodAreNotListed()
    {
        Periode p;
        const int kept = p.ajouterPeriode(QStringLiteral("Gardée"));
        p.ajouterPlageCalendrier(kept, QDate(2024, 1, 1), QDate(2024, 3, 31));
        // written by an older version: a range whose period is gone
        Sql(db(), QStringLiteral("INSERT INTO calendrier_tarifaire (id_periode, date_debut, date_fin) "
                                 "VALUES (77, '2024-04-01', '2024-12-31')"))
            .exec();
        TextGrid grid = calendarGrid();
        p.afficherCalendrier(2024, grid);
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.cell(1, 2), QStringLiteral("Gardée"));
    }

    void changingRanges()
    {
        Periode p;
        const int a = p.ajouterPeriode(QStringLiteral("A"));
        const int b = p.ajouterPeriode(QStringLiteral("B"));
        const int range = p.ajouterPlageCalendrier(a, QDate(2024, 1, 1), QDate(2024, 1, 31));
        QVERIFY(range > 0);
        p.modifierPlageCalendrier(range, b, QDate(2024, 2, 1), QDate(2024, 12, 31));
        p.modifierPlageCalendrier(range + 10, a, QDate(2024, 2, 1), QDate(2024, 2, 2)); // no such range
        TextGrid grid = calendarGrid();
        p.afficherCalendrier(2024, grid);
        QCOMPARE(grid.row(1),
                 (QStringList{QString::number(range), QString::number(b), "B", "01/02/2024", "31/12/2024"}));
        QCOMPARE(grid.rowCount(), 2);
        QCOMPARE(Sql(db(), QStringLiteral("SELECT date_debut FROM calendrier_tarifaire")).scalar().toString(),
                 QStringLiteral("2024-02-01"));

        QVERIFY_THROWS_EXCEPTION(KestrovaError,
                                 p.ajouterPlageCalendrier(a, QDate(2024, 3, 2), QDate(2024, 3, 1)));
        QVERIFY_THROWS_EXCEPTION(KestrovaError,
                                 p.modifierPlageCalendrier(range, a, QDate(), QDate(2024, 3, 1)));
        p.supprimerPlageCalendrier(range);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM calendrier_tarifaire")), 0);
    }

private:
    std::unique_ptr<TestDatabase> m_db;
};

QTEST_GUILESS_MAIN(TstPeriode)
#include "tst_periode.moc"
