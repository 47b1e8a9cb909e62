#include "common/choice_list.h"
#include "common/errors.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/prestation.h"
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

int addNight(const QString &isoDate, int room, int client)
{
    Sql q(db(),
          QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat) VALUES (:d, :n, :c, 'Réservé')"));
    q.bind(QStringLiteral(":d"), isoDate)
        .bind(QStringLiteral(":n"), room)
        .bind(QStringLiteral(":c"), client)
        .exec();
    return q.lastInsertId().toInt();
}

void attach(int night, int service, int nb)
{
    Sql(db(),
        QStringLiteral("INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) VALUES (:r, :p, :nb)"))
        .bind(QStringLiteral(":r"), night)
        .bind(QStringLiteral(":p"), service)
        .bind(QStringLiteral(":nb"), nb)
        .exec();
}

// A services grid: titles, one row per "service:nb", the trailing empty row.
TextGrid servicesGrid(const QStringList &lines)
{
    return servicesGridOf(lines, 6);
}

// One service row per room, prices before VAT and with VAT as given.
void addService(int id, const QString &label, const QList<double> &ttcPerRoom, const QVariant &rate = 20.0)
{
    for (int i = 0; i < ttcPerRoom.size(); ++i) {
        Sql(db(),
            QStringLiteral(
                "INSERT INTO prestations (id_prestation, libelle, numero_chambre, tarif_ht, tarif_tva, "
                "tarif_ttc, chk_gratuit_enfant, chk_add_auto) VALUES (:id, :l, :r, :ht, :tva, :ttc, 1, 1)"))
            .bind(QStringLiteral(":id"), id)
            .bind(QStringLiteral(":l"), label)
            .bind(QStringLiteral(":r"), i + 1)
            .bind(QStringLiteral(":ht"), ttcPerRoom[i] / 2)
            .bind(QStringLiteral(":tva"), rate)
            .bind(QStringLiteral(":ttc"), ttcPerRoom[i])
            .exec();
    }
}

int addPeriod(const QString &name)
{
    Sql q(db(), QStringLiteral("INSERT INTO periodes (libelle) VALUES (:l)"));
    q.bind(QStringLiteral(":l"), name).exec();
    return q.lastInsertId().toInt();
}

// The rows of one service as "room:ht:tva:ttc:gratuit:auto" (empty for null).
QStringList serviceRows(int id, const QString &table = QStringLiteral("prestations"))
{
    const bool flags = table == QLatin1String("prestations");
    QStringList out;
    Sql q(db(), QStringLiteral("SELECT numero_chambre, tarif_ht, tarif_tva, tarif_ttc") +
                    (flags ? QStringLiteral(", chk_gratuit_enfant, chk_add_auto") : QString()) +
                    QStringLiteral(" FROM ") + table +
                    QStringLiteral(" WHERE id_prestation = :id ORDER BY numero_chambre"));
    q.bind(QStringLiteral(":id"), id);
    for (const QVariantList &row : q.rows()) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << (v.isNull() ? QString() : v.toString());
        out << cells.join(QLatin1Char(':'));
    }
    return out;
}

int count(const QString &statement)
{
    return Sql(db(), statement).scalar().toInt();
}

TextGrid roomPrices(const QList<QStringList> &rows)
{
    TextGrid g(1, 4);
    for (const QStringList &r : rows)
        g.appendRow(QStringList{QStringLiteral("Chambre")} + r);
    return g;
}

} // namespace

class TstPrestation : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void majPrestationsNuit_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("grid");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<bool>("withKept");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("only the empty row keeps everything")
            << QStringList{"1:2", "2:1"} << QStringList{} << QStringList{} << false
            << QStringList{"1:2", "2:1"};
        QTest::newRow("update, insert and remove") << QStringList{"1:2", "2:1"} << QStringList{"1:5", "3:1"}
                                                   << QStringList{} << false << QStringList{"1:5", "3:1"};
        QTest::newRow("kept grid is neither written nor removed")
            << QStringList{"1:2", "2:1", "4:3"} << QStringList{"1:1"} << QStringList{"2:9"} << true
            << QStringList{"1:1", "2:1"};
        QTest::newRow("empty daily grid, one-off grid decides")
            << QStringList{"1:2", "2:1"} << QStringList{} << QStringList{"2:1"} << true << QStringList{"2:1"};
    }
    void majPrestationsNuit()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, grid);
        QFETCH(QStringList, kept);
        QFETCH(bool, withKept);
        QFETCH(QStringList, expected);
        const int night = addNight(QStringLiteral("2024-05-01"), 1, 1);
        const int other = addNight(QStringLiteral("2024-05-01"), 2, 1);
        for (const QString &s : stored) {
            attach(night, s.section(QLatin1Char(':'), 0, 0).toInt(),
                   s.section(QLatin1Char(':'), 1, 1).toInt());
            attach(other, s.section(QLatin1Char(':'), 0, 0).toInt(),
                   s.section(QLatin1Char(':'), 1, 1).toInt());
        }
        const TextGrid keptGrid = servicesGrid(kept);
        Prestation().majPrestationsNuit(night, servicesGrid(grid), withKept ? &keptGrid : nullptr);
        QCOMPARE(nightServices(night), expected);
        QCOMPARE(nightServices(other), stored); // another night is never touched
    }

    void badQuantityChangesNothing()
    {
        const int night = addNight(QStringLiteral("2024-05-01"), 1, 1);
        attach(night, 1, 2);
        TextGrid grid = servicesGrid({QStringLiteral("2:1"), QStringLiteral("3:deux")});
        QVERIFY_THROWS_EXCEPTION(KestrovaError, Prestation().majPrestationsNuit(night, grid));
        QCOMPARE(nightServices(night), QStringList{QStringLiteral("1:2")});
    }

    void emptyCatalogue()
    {
        Prestation p;
        QCOMPARE(p.nouveauNumeroPrestation(), 1);
        ChoiceList list;
        list.add(QStringLiteral("ancien"), 9);
        p.remplirListePrestations(list);
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.text(0), QStringLiteral("Liste des Prestations"));
        QCOMPARE(list.value(0), 0);
        p.etendreChambres(5);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM prestations")), 0);
        QCOMPARE(p.getTarifHT(1, 1), QStringLiteral("0"));
        QCOMPARE(p.getTauxTva(1, 1), QStringLiteral("---------"));
        QCOMPARE(p.getTarifTTC(1, 1), QStringLiteral("0"));
        QVERIFY(!p.estGratuitEnfant(1, 1));
        QVERIFY(!p.estAjoutAuto(1, 1));
    }

    void listIsBuiltFromRoomOne()
    {
        addService(4, QStringLiteral("Taxe de séjour"), {1, 1});
        addService(2, QStringLiteral("Dîner"), {20, 20});
        // A service missing in room 1 is invisible.
        Sql(db(),
            QStringLiteral(
                "INSERT INTO prestations (id_prestation, libelle, numero_chambre) VALUES (7, 'Caché', 2)"))
            .exec();
        ChoiceList list;
        Prestation p;
        p.remplirListePrestations(list);
        QCOMPARE(list.items(), (QList<ChoiceList::Item>{{QStringLiteral("Liste des Prestations"), 0},
                                                        {QStringLiteral("Dîner"), 2},
                                                        {QStringLiteral("Taxe de séjour"), 4}}));
        QCOMPARE(p.nouveauNumeroPrestation(), 8);
    }

    void addingInAllRoomsStoresTheNumbersAndTextAsTyped()
    {
        addPeriod(QStringLiteral("Haute saison"));
        addPeriod(QStringLiteral("Basse saison"));
        Prestation p;
        const QString label = QStringLiteral("Petit-déjeuner d'hiver \"complet\"");
        const int id = p.ajouterPrestationToutesChambres(
            label, 3, QStringLiteral("10,5"), QStringLiteral("19,6"), QStringLiteral("12.56"), 1, 0);
        QCOMPARE(id, 1);
        QCOMPARE(serviceRows(id),
                 (QStringList{"1:10.5:19.6:12.56:1:0", "2:10.5:19.6:12.56:1:0", "3:10.5:19.6:12.56:1:0"}));
        QCOMPARE(
            count(QStringLiteral(
                "SELECT COUNT(*) FROM prestations WHERE libelle = 'Petit-déjeuner d''hiver \"complet\"'")),
            3);
        // one price row per room and period
        QCOMPARE(serviceRows(id, QStringLiteral("prestations_tarifs")).size(), 6);
        QCOMPARE(p.getTarifHT(id, 2), QStringLiteral("10,5"));
        QCOMPARE(p.getTauxTva(id, 2), QStringLiteral("19,6"));
        QCOMPARE(p.getTarifTTC(id, 2), QStringLiteral("12,56"));
        QVERIFY(p.estGratuitEnfant(id, 3));
        QVERIFY(!p.estAjoutAuto(id, 3));
        QCOMPARE(p.nouveauNumeroPrestation(), 2);
    }

    void emptyPricesAndNoRateAreStoredEmpty()
    {
        Prestation p;
        p.ajouterPrestation(3, QStringLiteral("Parking"), 1, QString(), QStringLiteral("---------"),
                            QString(), 0, 0);
        p.creerTarifsPeriodes(3, 1, QString(), QStringLiteral("---------"), QString());
        QCOMPARE(serviceRows(3), QStringList{QStringLiteral("1::::0:0")});
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM prestations_tarifs")), 0); // no period, no row
        QCOMPARE(p.getTarifHT(3, 1), QStringLiteral("0"));
        QCOMPARE(p.getTauxTva(3, 1), QStringLiteral("---------"));
        QCOMPARE(p.getTarifTTC(3, 1), QStringLiteral("0"));
    }

    void aPriceThatIsNotANumberWritesNoRoom()
    {
        Prestation p;
        const TextGrid prices = roomPrices({{"10", "20", "12"}, {"10", "20", "douze"}, {"10", "20", "12"}});
        QVERIFY_THROWS_EXCEPTION(KestrovaError,
                                 p.ajouterPrestationParChambre(QStringLiteral("Bain"), prices, 3, 0, 0));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM prestations")), 0);
    }

    void addingPerRoom()
    {
        Prestation p;
        const TextGrid prices = roomPrices({{"10", "20", "12"}, {"5", "---------", "5"}});
        const int id = p.ajouterPrestationParChambre(QStringLiteral("Bain"), prices, 2, 0, 1);
        QCOMPARE(serviceRows(id), (QStringList{"1:10:20:12:0:1", "2:5::5:0:1"}));
        TextGrid shown = roomPrices({{}, {}, {}});
        QVERIFY(p.afficherTarifsChambres(shown, id));
        QCOMPARE(shown.row(1), (QStringList{"Chambre", "10", "20", "12"}));
        QCOMPARE(shown.row(2), (QStringList{"Chambre", "5", "---------", "5"}));
        QCOMPARE(shown.row(3), (QStringList{"Chambre", "", "", ""}));
        QVERIFY(!p.afficherTarifsChambres(shown, 99));
    }

    void roomsBeyondTheGridAreNotShown()
    {
        addService(1, QStringLiteral("Dîner"), {20, 20, 20, 20, 20});
        TextGrid shown = roomPrices({{}, {}, {}});
        QVERIFY(Prestation().afficherTarifsChambres(shown, 1));
        QCOMPARE(shown.rowCount(), 4);
    }

    void modifying()
    {
        addService(1, QStringLiteral("Dîner"), {20, 20, 30}, 10.0);
        Prestation p;
        // An empty rate keeps the stored one.
        p.modifierPrestationToutesChambres(1, QStringLiteral("Dîner d'été"), 2, QStringLiteral("15,5"),
                                           QString(), QStringLiteral("17,05"));
        QCOMPARE(serviceRows(1),
                 (QStringList{"1:15.5:10:17.05:1:1", "2:15.5:10:17.05:1:1", "3:15:10:30:1:1"}));
        p.modifierPrestation(1, QStringLiteral("Dîner d'été"), 3, QStringLiteral("25"), QStringLiteral("20"),
                             QStringLiteral("30"));
        QCOMPARE(serviceRows(1).last(), QStringLiteral("3:25:20:30:1:1"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM prestations WHERE libelle = 'Dîner d''été'")), 3);

        // prices must be numbers: nothing changes in any room
        const TextGrid prices = roomPrices({{"1", "20", "1,2"}, {"", "20", "1,2"}});
        QVERIFY_THROWS_EXCEPTION(KestrovaError,
                                 p.modifierPrestationParChambre(1, QStringLiteral("X"), prices, 2));
        QCOMPARE(serviceRows(1).first(), QStringLiteral("1:15.5:10:17.05:1:1"));

        // "---------" stores no rate, so that rate and prices agree.
        p.modifierPrestation(1, QStringLiteral("Dîner d'été"), 1, QStringLiteral("15,5"),
                             QStringLiteral("---------"), QStringLiteral("15,5"));
        QCOMPARE(serviceRows(1).first(), QStringLiteral("1:15.5::15.5:1:1"));
        // A room without a row gets one when prices are typed for it, none otherwise.
        p.modifierPrestation(1, QStringLiteral("Dîner d'été"), 4, QStringLiteral("40"), QStringLiteral("10"),
                             QStringLiteral("44"));
        p.modifierPrestation(1, QStringLiteral("Dîner d'été"), 5, QString(), QStringLiteral("10"), QString());
        QCOMPARE(serviceRows(1).mid(3), QStringList{QStringLiteral("4:40:10:44:1:1")});
        QVERIFY_THROWS_EXCEPTION(KestrovaError, p.modifierPrestation(1, QStringLiteral("X"), 5, QStringLiteral("4"),
                                                                     QString(), QString()));
        QCOMPARE(serviceRows(1).size(), 4);
        // A service that is gone is not brought back by a room.
        p.modifierPrestation(9, QStringLiteral("Fantôme"), 2, QStringLiteral("1"), QString(), QStringLiteral("1"));
        QCOMPARE(serviceRows(9), QStringList());
    }

    void addingWithoutARoomIsRefused()
    {
        Prestation p;
        QVERIFY_THROWS_EXCEPTION(KestrovaError, p.ajouterPrestationToutesChambres(QStringLiteral("Bain"), 0,
                                                                                  QStringLiteral("5"), QString(),
                                                                                  QStringLiteral("5"), 0, 0));
        QVERIFY_THROWS_EXCEPTION(KestrovaError,
                                 p.ajouterPrestationParChambre(QStringLiteral("Bain"), roomPrices({}), 0, 0, 0));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM prestations")), 0);
    }

    void renamingAndDeleting()
    {
        addService(1, QStringLiteral("Dîner"), {20, 20});
        addService(2, QStringLiteral("Bain"), {5, 5});
        Sql(db(), QStringLiteral("INSERT INTO prestations_tarifs (id_prestation, id_periode, numero_chambre) "
                                 "VALUES (1, 1, 1)"))
            .exec();
        Prestation p;
        QCOMPARE(p.renommerPrestation(1, QStringLiteral("L'assiette")), 2);
        QCOMPARE(p.renommerPrestation(9, QStringLiteral("x")), 0);
        ChoiceList list;
        p.remplirListePrestations(list);
        QCOMPARE(list.text(2), QStringLiteral("L'assiette"));

        const int night = addNight(QStringLiteral("2024-05-01"), 1, 1);
        attach(night, 1, 1);
        attach(night, 2, 2);
        QCOMPARE(p.supprimerPrestation(1), 2);
        QCOMPARE(p.supprimerPrestation(1), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM prestations_tarifs")), 0);
        QCOMPARE(nightServices(night), (QStringList{"1:1", "2:2"})); // the night keeps its rows...
        TextGrid grid;
        p.cumulerPrestationsNuit(night, true, grid);
        QCOMPARE(grid.rowCount(), 3); // ...but the deleted service drops out of its totals
        QCOMPARE(grid.row(1), (QStringList{"2", "Bain", "2", "5", "20", "10"}));
    }

    void estTarifUniforme_data()
    {
        QTest::addColumn<QList<double>>("prices");
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("uniform");
        const QList<double> lastDiffers{50, 50, 50, 50, 60};
        QTest::newRow("same price in the rooms asked") << lastDiffers << 4 << true;
        QTest::newRow("room 5 priced differently") << lastDiffers << 5 << false;
        QTest::newRow("missing in a room") << QList<double>{50, 50, 50} << 4 << false;
        QTest::newRow("differences that cancel out") << QList<double>{50, 40, 60} << 3 << false;
        QTest::newRow("equal to the cent") << QList<double>{11.96, 11.96 + 1e-9, 11.959999} << 3 << true;
        QTest::newRow("one cent apart") << QList<double>{11.96, 11.97} << 2 << false;
        QTest::newRow("no room") << QList<double>{50} << 0 << false;
    }
    void estTarifUniforme()
    {
        QFETCH(QList<double>, prices);
        QFETCH(int, n);
        QFETCH(bool, uniform);
        addService(1, QStringLiteral("Dîner"), prices);
        QCOMPARE(Prestation().estTarifUniforme(1, n), uniform);
    }

    void etendreChambresCopiesTheHighestRoomWithoutFlags()
    {
        addService(1, QStringLiteral("Dîner"), {20, 22, 24});
        addService(2, QStringLiteral("Bain"), {5, 5, 6}, QVariant());
        Prestation p;
        p.etendreChambres(5);
        QCOMPARE(serviceRows(1), (QStringList{"1:10:20:20:1:1", "2:11:20:22:1:1", "3:12:20:24:1:1",
                                              "4:12:20:24::", "5:12:20:24::"}));
        QCOMPARE(serviceRows(2).mid(3), (QStringList{"4:3::6::", "5:3::6::"}));
        p.etendreChambres(4); // fewer rooms: nothing removed, nothing added
        p.etendreChambres(5);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM prestations")), 10);
    }

    void cumulerAddsTheNightsOfAStay()
    {
        addService(1, QStringLiteral("Dîner"), {25, 30}); // HT 12.5 / 15
        addService(2, QStringLiteral("Bain"), {5, 5}, QVariant());
        QList<int> nights;
        for (int d = 1; d <= 3; ++d) {
            nights << addNight(QStringLiteral("2024-05-0%1").arg(d), 1, 5);
            attach(nights.last(), 1, 1);
        }
        attach(nights[1], 2, 2);
        TextGrid grid = servicesGrid({QStringLiteral("8:1")}); // earlier content, removed by vider
        grid.setCell(2, 4, QStringLiteral("kept"));
        Prestation p;
        for (int i = 0; i < nights.size(); ++i)
            p.cumulerPrestationsNuit(nights[i], i == 0, grid);
        QCOMPARE(grid.rowCount(), 4);
        QCOMPARE(grid.row(1), (QStringList{"1", "Dîner", "3", "37,5", "20", "75"}));
        QCOMPARE(grid.row(2),
                 (QStringList{"2", "Bain", "2", "5", "", "10"})); // no rate: column left as it was
        QVERIFY(grid.isRowEmpty(3));

        // the price is the one of the night's room
        const int other = addNight(QStringLiteral("2024-05-01"), 2, 6);
        attach(other, 1, 2);
        p.cumulerPrestationsNuit(other, true, grid);
        QCOMPARE(grid.row(1), (QStringList{"1", "Dîner", "2", "30", "20", "60"}));
    }

    void chargerSeparatesDailyAndOneOffServices()
    {
        addService(1, QStringLiteral("Petit-déjeuner"), {10, 10});
        addService(2, QStringLiteral("Dîner"), {25, 25});
        addService(3, QStringLiteral("Bain"), {5, 5});
        QList<int> nights;
        for (int d = 1; d <= 3; ++d)
            nights << addNight(QStringLiteral("2024-05-0%1").arg(d), 1, 5);
        addNight(QStringLiteral("2024-05-04"), 1, 6); // next day, another client
        const int afterGap = addNight(QStringLiteral("2024-05-05"), 1, 5);
        attach(afterGap, 3, 1);
        const QList<int> dinners{2, 2, 1};
        for (int i = 0; i < 3; ++i) {
            attach(nights[i], 1, 2);
            attach(nights[i], 2, dinners[i]);
        }
        attach(nights[1], 3, 1);

        TextGrid daily = servicesGrid({QStringLiteral("9:1")});
        TextGrid oneOff(5, 3);
        Prestation().chargerPrestationsSejour(nights[0], true, daily, oneOff);
        QCOMPARE(daily.rowCount(), 3);
        QCOMPARE(daily.row(1), (QStringList{"1", "Petit-déjeuner", "2", "10", "20", "20"}));
        QCOMPARE(oneOff.rowCount(), 6);
        QCOMPARE(oneOff.row(1), (QStringList{"2", "Dîner", "01/05/2024"}));
        QCOMPARE(oneOff.row(2), (QStringList{"2", "Dîner", "02/05/2024"}));
        QCOMPARE(oneOff.row(3), (QStringList{"3", "Bain", "02/05/2024"}));
        QCOMPARE(oneOff.row(4), (QStringList{"2", "Dîner", "03/05/2024"}));
        QVERIFY(oneOff.isRowEmpty(5));
    }

    void chargerWithAMissingNightLeavesEmptyGrids()
    {
        TextGrid daily = servicesGrid({QStringLiteral("9:1")});
        TextGrid oneOff = servicesGrid({QStringLiteral("9:1")});
        Prestation().chargerPrestationsSejour(42, true, daily, oneOff);
        QCOMPARE(daily.rowCount(), 2);
        QCOMPARE(oneOff.rowCount(), 2);
        QVERIFY(daily.isRowEmpty(1));
    }

    void neighbourNights()
    {
        const int first = addNight(QStringLiteral("2024-02-28"), 2, 5);
        const int second = addNight(QStringLiteral("2024-02-29"), 2, 5);
        const int third = addNight(QStringLiteral("2024-03-01 00:00:00"), 2, 5);
        addNight(QStringLiteral("2024-03-02"), 3, 5); // another room
        addNight(QStringLiteral("2024-02-27"), 2, 6); // another client
        Prestation p;
        QCOMPARE(p.getNuitSuivante(first), second);
        QCOMPARE(p.getNuitSuivante(second), third);
        QCOMPARE(p.getNuitPrecedente(third), second);
        QCOMPARE(p.getNuitVoisine(first, 2), third);
        QCOMPARE(p.getNuitSuivante(third), -1);
        QCOMPARE(p.getNuitPrecedente(first), -1);
        QCOMPARE(p.getNuitSuivante(999), -1);
        QCOMPARE(p.getDateNuit(second), QDate(2024, 2, 29));
        QCOMPARE(p.getDateNuit(999), Format::zeroDate());
    }

private:
    std::unique_ptr<TestDatabase> m_db;
};

QTEST_GUILESS_MAIN(TstPrestation)
#include "tst_prestation.moc"
