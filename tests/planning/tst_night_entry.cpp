#include "common/dialogs.h"
#include "common/errors.h"
#include "entry_fixture.h"
#include "planning/entry_report.h"
#include "data/client.h"
#include "planning/night_entry.h"
#include "planning/room_capacity.h"
#include "test_support.h"

#include <QTest>

#include <memory>

using namespace EntryFixture;

namespace {

NightEntry::Request request(int room, const QDate &monday, const QList<int> &days, const QString &etat)
{
    NightEntry::Request r;
    r.room = room;
    r.monday = monday;
    r.days = days;
    r.etat = etat;
    r.services = servicesGrid({});
    return r;
}

} // namespace

// Loading and saving the nights of the entry panel, without its widgets.
class TstNightEntry : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_database = std::make_unique<TestDatabase>();
        addService(1, QStringLiteral("Petit déjeuner"), 5, 10.0);
        addService(2, QStringLiteral("Parking"), 4, QVariant());
        addService(3, QStringLiteral("Taxe de séjour"), 1, 20.0);
    }
    void cleanup() { m_database.reset(); }

    void newClientOverThreeFreeNightsCreatesOneClientAndThreeNights_data();
    void newClientOverThreeFreeNightsCreatesOneClientAndThreeNights();
    void libreAsksOncePerOccupiedNightAndDeletesWithServices();
    void mixedSelectionUpdatesOccupiedNightsAndCreatesFreeOnes();
    void loadedClientChangesStateWithoutQuestionAndRewritesServices();
    void anotherClientAsksPerNight_data();
    void anotherClientAsksPerNight();
    void declinedClientChangeLeavesTheOtherGuestsNightAsItWas();
    void unusedNewClientIsNotCreated();
    void pastStartDateAsksFirst_data();
    void pastStartDateAsksFirst();
    void failureMidwayLeavesNothingWritten_data();
    void failureMidwayLeavesNothingWritten();
    void nightStoredWithATimeIsFoundAndDeleted();
    void loadingReadsTheNightItsClientAndItsPricedServices();
    void pricesFollowTheRoom_data();
    void pricesFollowTheRoom();
    void deletingAClientMovesItsNightsToTheDefaultClient();
    void capacityQuestion_data();
    void capacityQuestion();
    void reportSaysWhatWasDone_data();
    void reportSaysWhatWasDone();

private:
    std::unique_ptr<TestDatabase> m_database;
};

void TstNightEntry::newClientOverThreeFreeNightsCreatesOneClientAndThreeNights_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariant>("storedCompany");
    QTest::newRow("particulier") << 1 << QVariant();
    QTest::newRow("entreprise") << 2 << QVariant(QStringLiteral("Durand & Fils"));
}

void TstNightEntry::newClientOverThreeFreeNightsCreatesOneClientAndThreeNights()
{
    QFETCH(int, type);
    QFETCH(QVariant, storedCompany);
    ScopedAnswerer answers;
    const QDate monday = futureMonday();
    NightEntry::Request r = request(2, monday, {2, 3, 4}, QStringLiteral("Réservé"));
    r.source = NightEntry::ClientSource::Nouveau;
    r.client = {0,
                type,
                QStringLiteral("Durand & Fils"),
                QStringLiteral("O'Brien"),
                QStringLiteral("Anne"),
                QStringLiteral("0611"),
                QString(),
                QStringLiteral("a@b.fr"),
                QStringLiteral("Allergique")};
    r.adultes = QStringLiteral("2");
    r.services = servicesGrid({QStringLiteral("1:2"), QStringLiteral("3:1")});

    const NightEntry::Outcome outcome = NightEntry().valider(r);

    QVERIFY(outcome.saved);
    QVERIFY(outcome.clientCreated);
    QCOMPARE(outcome.nightsWritten, 3);
    QVERIFY(answers->shown.isEmpty());
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), 2);
    const int client = outcome.clientId;
    QVERIFY(client > 1);
    const QString c = QString::number(client);
    QCOMPARE(nightsOf(2), (QStringList{iso(monday.addDays(2)) + QStringLiteral(" Réservé ") + c,
                                       iso(monday.addDays(3)) + QStringLiteral(" Réservé ") + c,
                                       iso(monday.addDays(4)) + QStringLiteral(" Réservé ") + c}));
    Sql nights(db(), QStringLiteral("SELECT id, nbpers, nbenfants, reglement FROM reserv ORDER BY r_date"));
    for (const QVariantList &night : nights.rows()) {
        QCOMPARE(nightServices(night[0].toInt()), (QStringList{QStringLiteral("1:2"), QStringLiteral("3:1")}));
        QCOMPARE(night[1], QVariant(2));
        QVERIFY(night[2].isNull());
        QVERIFY(night[3].isNull());
    }
    Sql row(db(), QStringLiteral("SELECT type, nom_ets, nom, somme, informations FROM infos WHERE id = :id"));
    const QVariantList stored = row.bind(QStringLiteral(":id"), client).rows().first();
    QCOMPARE(stored[0].toInt(), type);
    QCOMPARE(stored[1].isNull(), storedCompany.isNull());
    if (!storedCompany.isNull())
        QCOMPARE(stored[1].toString(), storedCompany.toString());
    QCOMPARE(stored[2].toString(), QStringLiteral("O'Brien"));
    QCOMPARE(stored[3].toInt(), 0);
    QCOMPARE(stored[4].toString(), QStringLiteral("Allergique"));
}

void TstNightEntry::libreAsksOncePerOccupiedNightAndDeletesWithServices()
{
    const QDate monday = futureMonday();
    const int client = addClient(QStringLiteral("Martin"));
    const int mon = addNight(monday, 1, client);
    const int tue = addNight(monday.addDays(1), 1, client);
    const int wed = addNight(monday.addDays(2), 1, client);
    attach(mon, 1, 1);
    attach(tue, 1, 1);
    attach(wed, 2, 1);
    const int otherRoom = addNight(monday, 2, client);

    ScopedAnswerer answers;
    answers->answer(true);
    answers->answer(false);
    answers->answer(true);
    // Thursday is free: nothing to ask, nothing to write.
    const NightEntry::Outcome outcome = NightEntry().valider(request(1, monday, {0, 1, 2, 3}, QString()));

    QVERIFY(outcome.saved);
    QCOMPARE(answers->questions(), (QStringList{NightEntry::deletionQuestion(monday),
                                                NightEntry::deletionQuestion(monday.addDays(1)),
                                                NightEntry::deletionQuestion(monday.addDays(2))}));
    QCOMPARE(answers->questions().first(),
             QStringLiteral("Confirmez-vous la suppression de la réservation du ") +
                 monday.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" ?"));
    QCOMPARE(nightsOf(1),
             QStringList{iso(monday.addDays(1)) + QStringLiteral(" Réservé ") + QString::number(client)});
    QCOMPARE(nightServices(mon), QStringList());
    QCOMPARE(nightServices(wed), QStringList());
    QCOMPARE(nightServices(tue), QStringList{QStringLiteral("1:1")});
    QCOMPARE(nightsOf(2).size(), 1);
    QVERIFY(otherRoom > 0);
}

void TstNightEntry::mixedSelectionUpdatesOccupiedNightsAndCreatesFreeOnes()
{
    const QDate monday = futureMonday();
    const int client = addClient(QStringLiteral("Martin"));
    const int tue = addNight(monday.addDays(1), 3, client, QStringLiteral("Réservé"), 3);
    attach(tue, 2, 5);

    ScopedAnswerer answers;
    NightEntry::Request r = request(3, monday, {0, 1, 2}, QStringLiteral("Payé"));
    r.source = NightEntry::ClientSource::Liste;
    r.client.id = client;
    r.paye = QStringLiteral("00");
    r.acompte = QStringLiteral("7");
    r.enfants = QStringLiteral("1");
    r.services = servicesGrid({QStringLiteral("1:1")});
    const NightEntry::Outcome outcome = NightEntry().valider(r);

    QVERIFY(answers->shown.isEmpty());
    QCOMPARE(outcome.nightsWritten, 3);
    const QString c = QString::number(client);
    QCOMPARE(nightsOf(3), (QStringList{iso(monday) + QStringLiteral(" Payé ") + c,
                                       iso(monday.addDays(1)) + QStringLiteral(" Payé ") + c,
                                       iso(monday.addDays(2)) + QStringLiteral(" Payé ") + c}));
    // The changed night keeps its adults (field left empty) and takes the grid's services.
    Sql q(db(), QStringLiteral("SELECT id, nbpers, nbenfants, reglement FROM reserv ORDER BY r_date"));
    const QList<QVariantList> rows = q.rows();
    QCOMPARE(rows[1][0].toInt(), tue);
    QCOMPARE(rows[1][1], QVariant(3));
    QVERIFY(rows[0][1].isNull());
    for (const QVariantList &row : rows) {
        QCOMPARE(row[2], QVariant(1));
        QCOMPARE(row[3], QVariant(0)); // "00" of the full payment field, not the deposit's
        QCOMPARE(nightServices(row[0].toInt()), QStringList{QStringLiteral("1:1")});
    }
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), 2);
}

void TstNightEntry::loadedClientChangesStateWithoutQuestionAndRewritesServices()
{
    const QDate monday = futureMonday();
    const int client = addClient(QStringLiteral("Martin"));
    const int night = addNight(monday.addDays(5), 1, client);
    attach(night, 1, 1);
    attach(night, 3, 2);

    ScopedAnswerer answers;
    NightEntry::Request r = request(1, monday, {5}, QStringLiteral("Acompte"));
    r.source = NightEntry::ClientSource::Infos;
    r.client = {client,
                2,
                QStringLiteral("SARL Martin"),
                QStringLiteral("Martin"),
                QStringLiteral("Paul"),
                QStringLiteral("0102"),
                QStringLiteral("0103"),
                QStringLiteral("p@m.fr"),
                QStringLiteral("VIP")};
    r.acompte = QStringLiteral("00");
    r.services = servicesGrid({QStringLiteral("1:2"), QStringLiteral("2:1")});
    NightEntry().valider(r);

    QVERIFY(answers->shown.isEmpty());
    QCOMPARE(nightsOf(1),
             QStringList{iso(monday.addDays(5)) + QStringLiteral(" Acompte ") + QString::number(client)});
    QCOMPARE(nightServices(night), (QStringList{QStringLiteral("1:2"), QStringLiteral("2:1")}));
    QCOMPARE(value(QStringLiteral("SELECT reglement FROM reserv")), QVariant(0));
    Sql row(db(), QStringLiteral(
                      "SELECT type, nom_ets, prenom, fax, email, informations FROM infos WHERE id = :id"));
    QCOMPARE(row.bind(QStringLiteral(":id"), client).rows().first(),
             (QVariantList{2, QStringLiteral("SARL Martin"), QStringLiteral("Paul"), QStringLiteral("0103"),
                           QStringLiteral("p@m.fr"), QStringLiteral("VIP")}));
}

void TstNightEntry::anotherClientAsksPerNight_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("accepted") << true;
    QTest::newRow("declined") << false;
}

void TstNightEntry::anotherClientAsksPerNight()
{
    QFETCH(bool, accept);
    const QDate monday = futureMonday();
    const int stored = addClient(QStringLiteral("Martin"));
    const int other = addClient(QStringLiteral("Bernard"));
    const int sat = addNight(monday.addDays(5), 2, stored);
    const int sun = addNight(monday.addDays(6), 2, stored);
    attach(sat, 3, 1);
    attach(sun, 3, 1);

    ScopedAnswerer answers;
    answers->setFallback(accept);
    NightEntry::Request r = request(2, monday, {5, 6}, QStringLiteral("Payé"));
    r.client.id = other;
    r.adultes = QStringLiteral("4");
    r.services = servicesGrid({QStringLiteral("1:1")});
    NightEntry().valider(r);

    QCOMPARE(answers->questions(), (QStringList{NightEntry::clientChangeQuestion(monday.addDays(5)),
                                                NightEntry::clientChangeQuestion(monday.addDays(6))}));
    // "Oui" moves the nights to the chosen client with the new values; "Non"
    // leaves another guest's nights exactly as they were.
    const QString c = QString::number(accept ? other : stored);
    const QString etat = accept ? QStringLiteral(" Payé ") : QStringLiteral(" Réservé ");
    QCOMPARE(nightsOf(2), (QStringList{iso(monday.addDays(5)) + etat + c, iso(monday.addDays(6)) + etat + c}));
    // Services stay as stored either way.
    QCOMPARE(nightServices(sat), QStringList{QStringLiteral("3:1")});
    QCOMPARE(nightServices(sun), QStringList{QStringLiteral("3:1")});
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv WHERE nbpers = 4")), accept ? 2 : 0);
}

void TstNightEntry::declinedClientChangeLeavesTheOtherGuestsNightAsItWas()
{
    // Two guests selected: Monday is the loaded client's, Tuesday another's,
    // unpaid, with his guests, payment and services.
    const QDate monday = futureMonday();
    const int loaded = addClient(QStringLiteral("Martin"));
    const int other = addClient(QStringLiteral("Bernard"));
    const int mine = addNight(monday, 2, loaded);
    const int his = addNight(monday.addDays(1), 2, other, QStringLiteral("Acompte"), 2);
    Sql(db(), QStringLiteral("UPDATE reserv SET reglement = 30, nbenfants = 1 WHERE id = :id"))
        .bind(QStringLiteral(":id"), his)
        .exec();
    attach(his, 3, 2);
    const auto row = [](int id) {
        return Sql(db(), QStringLiteral("SELECT * FROM reserv WHERE id = :id"))
            .bind(QStringLiteral(":id"), id)
            .rows();
    };
    const QList<QVariantList> before = row(his);

    ScopedAnswerer answers;
    answers->answer(false);
    NightEntry::Request r = request(2, monday, {0, 1}, QStringLiteral("Payé"));
    r.source = NightEntry::ClientSource::Infos;
    r.client.id = loaded;
    r.client.type = 1;
    r.client.nom = QStringLiteral("Martin");
    r.adultes = QStringLiteral("3");
    r.paye = QStringLiteral("00");
    r.services = servicesGrid({QStringLiteral("1:1")});
    const NightEntry::Outcome outcome = NightEntry().valider(r);

    QCOMPARE(answers->questions(), QStringList{NightEntry::clientChangeQuestion(monday.addDays(1))});
    QCOMPARE(row(his), before);
    QCOMPARE(nightServices(his), QStringList{QStringLiteral("3:2")});
    // The asked-for night is written as usual.
    QCOMPARE(value(QStringLiteral("SELECT etat || '/' || nbpers || '/' || reglement FROM reserv WHERE id = ") +
                   QString::number(mine))
                 .toString(),
             QStringLiteral("Payé/3/0"));
    QCOMPARE(nightServices(mine), QStringList{QStringLiteral("1:1")});
    QCOMPARE(outcome.changed, 1);
    QCOMPARE(outcome.nightsWritten, 1);
}

void TstNightEntry::unusedNewClientIsNotCreated()
{
    const QDate monday = futureMonday();
    const int stored = addClient(QStringLiteral("Martin"));
    addNight(monday, 1, stored);
    ScopedAnswerer answers;
    answers->setFallback(false);

    // The only night's change of client is declined; free days with "Libre" give nothing.
    NightEntry::Request change = request(1, monday, {0}, QStringLiteral("Payé"));
    change.source = NightEntry::ClientSource::Nouveau;
    change.client.nom = QStringLiteral("Nouveau");
    const NightEntry::Outcome first = NightEntry().valider(change);
    NightEntry::Request libre = request(1, monday, {3, 4}, QString());
    libre.source = NightEntry::ClientSource::Nouveau;
    const NightEntry::Outcome second = NightEntry().valider(libre);

    QVERIFY(!first.clientCreated);
    QVERIFY(!second.clientCreated);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), 2);
    QCOMPARE(nightsOf(1), QStringList{iso(monday) + QStringLiteral(" Réservé ") + QString::number(stored)});
}

void TstNightEntry::pastStartDateAsksFirst_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("declined: nothing written") << false;
    QTest::newRow("accepted: saved") << true;
}

void TstNightEntry::pastStartDateAsksFirst()
{
    QFETCH(bool, accept);
    const QDate monday(2024, 3, 4);
    const int stored = addClient(QStringLiteral("Martin"));
    addNight(monday.addDays(1), 1, stored);
    ScopedAnswerer answers;
    answers->answer(accept);
    answers->setFallback(true);

    NightEntry::Request r = request(1, monday, {0, 1}, QStringLiteral("Réservé"));
    r.source = NightEntry::ClientSource::Nouveau;
    r.client.nom = QStringLiteral("Retard");
    r.today = QDate(2024, 3, 5);
    const NightEntry::Outcome outcome = NightEntry().valider(r);

    QCOMPARE(outcome.saved, accept);
    QCOMPARE(answers->questions().first(),
             QStringLiteral("Attention, la réservation débute à une date antérieure à celle d'aujourd'hui, "
                            "confirmez-vous cette enregistrement ?"));
    QCOMPARE(answers->questions().size(), accept ? 2 : 1);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), accept ? 3 : 2);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv")), accept ? 2 : 1);

    // A start today is not in the past.
    answers->reset();
    r.today = monday;
    r.days = {0};
    NightEntry().valider(r);
    QVERIFY(!answers->questions().contains(NightEntry::pastDateQuestion()));
}

void TstNightEntry::failureMidwayLeavesNothingWritten_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("condition");
    QTest::newRow("third night refused") << QStringLiteral("reserv") << QStringLiteral("NEW.r_date = '%1'");
    QTest::newRow("services of the third night refused")
        << QStringLiteral("reserv_prestations")
        << QStringLiteral("(SELECT r_date FROM reserv WHERE id = NEW.id_reserv) = '%1'");
}

void TstNightEntry::failureMidwayLeavesNothingWritten()
{
    QFETCH(QString, table);
    QFETCH(QString, condition);
    const QDate monday = futureMonday();
    const int stored = addClient(QStringLiteral("Martin"));
    const int mon = addNight(monday, 1, stored);
    attach(mon, 3, 1);
    refuseWrites(QStringLiteral("refuse"), QStringLiteral("BEFORE INSERT ON ") + table,
                 condition.arg(iso(monday.addDays(3))));

    ScopedAnswerer answers;
    NightEntry::Request r = request(1, monday, {0, 1, 2, 3}, QStringLiteral("Payé"));
    r.source = NightEntry::ClientSource::Nouveau;
    r.client.nom = QStringLiteral("Perdu");
    r.services = servicesGrid({QStringLiteral("1:1")});
    answers->setFallback(true);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, NightEntry().valider(r));

    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos")), 2);
    QCOMPARE(nightsOf(1), QStringList{iso(monday) + QStringLiteral(" Réservé ") + QString::number(stored)});
    QCOMPARE(nightServices(mon), QStringList{QStringLiteral("3:1")});
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv_prestations")), 1);

    // Nothing is left open: the next validation writes normally.
    allowWrites(QStringLiteral("refuse"), table);
    NightEntry().valider(r);
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv")), 4);
}

void TstNightEntry::nightStoredWithATimeIsFoundAndDeleted()
{
    const QDate monday = futureMonday();
    const int stored = addClient(QStringLiteral("Martin"));
    const int night = addNight(monday, 1, stored, QStringLiteral("Payé"), QVariant(),
                               iso(monday) + QStringLiteral(" 00:00:00"));
    attach(night, 1, 1);
    addNight(monday.addDays(1), 1, stored);

    const auto loaded = NightEntry().charger(1, monday);
    QVERIFY(loaded);
    QCOMPARE(loaded->id, night);

    ScopedAnswerer answers;
    answers->answer(true);
    NightEntry().valider(request(1, monday, {0}, QString()));
    QCOMPARE(nightsOf(1).size(), 1);
    QCOMPARE(nightServices(night), QStringList());
}

void TstNightEntry::loadingReadsTheNightItsClientAndItsPricedServices()
{
    const QDate day = futureMonday().addDays(2);
    const int client = addClient(QStringLiteral("Martin"), 2, QStringLiteral("Vient en train"));
    Sql(db(), QStringLiteral("UPDATE infos SET nom_ets = 'SARL Martin', email = 'm@m.fr' WHERE id = :id"))
        .bind(QStringLiteral(":id"), client)
        .exec();
    const int night = addNight(day, 2, client, QStringLiteral("Acompte"), 2);
    Sql(db(), QStringLiteral("UPDATE reserv SET reglement = 12, nbenfants = 1 WHERE id = :id"))
        .bind(QStringLiteral(":id"), night)
        .exec();
    attach(night, 1, 3);
    attach(night, 2, 1);

    NightEntry entry;
    QVERIFY(!entry.charger(2, day.addDays(1)));
    QVERIFY(!entry.charger(1, day));
    const auto loaded = entry.charger(2, day);
    QVERIFY(loaded);
    QCOMPARE(loaded->id, night);
    QCOMPARE(loaded->info, QVariant(client));
    QCOMPARE(loaded->etat, QStringLiteral("Acompte"));
    QCOMPARE(loaded->reglement, QVariant(12));
    QCOMPARE(loaded->nbpers, QVariant(2));
    QCOMPARE(loaded->nbenfants, QVariant(1));
    QVERIFY(loaded->clientFound);
    QCOMPARE(loaded->client.type, 2);
    QCOMPARE(loaded->client.nomEts, QStringLiteral("SARL Martin"));
    QCOMPARE(loaded->client.nom, QStringLiteral("Martin"));
    QCOMPARE(loaded->client.email, QStringLiteral("m@m.fr"));
    QCOMPARE(loaded->informations.toString(), QStringLiteral("Vient en train"));

    TextGrid grid;
    entry.chargerPrestations(night, 2, grid);
    QCOMPARE(grid.rowCount(), 4);
    QCOMPARE(grid.columnCount(), 7);
    QCOMPARE(grid.row(0), (QStringList{QString(), QStringLiteral("Prestation"), QStringLiteral("Nb"),
                                       QStringLiteral("Tarif HT"), QStringLiteral("TVA"),
                                       QStringLiteral("Tarif TTC"), QString()}));
    // Room 2: breakfast 10 before VAT, 11 with it; parking 8 without a rate.
    QCOMPARE(grid.row(1),
             (QStringList{QStringLiteral("1"), QStringLiteral("Petit déjeuner"), QStringLiteral("3"),
                          QStringLiteral("30"), QStringLiteral("10"), QStringLiteral("33"), QString()}));
    QCOMPARE(grid.row(2),
             (QStringList{QStringLiteral("2"), QStringLiteral("Parking"), QStringLiteral("1"),
                          QStringLiteral("8"), QStringLiteral("---------"), QStringLiteral("8"), QString()}));
    QVERIFY(grid.isRowEmpty(3));

    // A night whose client row is gone still loads.
    Sql(db(), QStringLiteral("DELETE FROM infos WHERE id = :id")).bind(QStringLiteral(":id"), client).exec();
    const auto orphan = entry.charger(2, day);
    QVERIFY(orphan);
    QVERIFY(!orphan->clientFound);
    QCOMPARE(orphan->etat, QStringLiteral("Acompte"));
}

void TstNightEntry::pricesFollowTheRoom_data()
{
    QTest::addColumn<int>("room");
    QTest::addColumn<QStringList>("breakfast");
    QTest::addColumn<QStringList>("parking");
    QTest::newRow("room 1") << 1
                            << QStringList{QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("11")}
                            << QStringList{QStringLiteral("4"), QStringLiteral("---------"),
                                           QStringLiteral("4")};
    QTest::newRow("room 3") << 3
                            << QStringList{QStringLiteral("30"), QStringLiteral("10"), QStringLiteral("33")}
                            << QStringList{QStringLiteral("12"), QStringLiteral("---------"),
                                           QStringLiteral("12")};
    QTest::newRow("room without prices")
        << 9 << QStringList{QStringLiteral("0"), QStringLiteral("---------"), QStringLiteral("0")}
        << QStringList{QStringLiteral("0"), QStringLiteral("---------"), QStringLiteral("0")};
}

void TstNightEntry::pricesFollowTheRoom()
{
    QFETCH(int, room);
    QFETCH(QStringList, breakfast);
    QFETCH(QStringList, parking);
    TextGrid grid = servicesGrid({QStringLiteral("1:2"), QStringLiteral("2:1")});
    NightEntry::majListePrestations(grid, room);
    QCOMPARE(grid.row(1).mid(3, 3), breakfast);
    QCOMPARE(grid.row(2).mid(3, 3), parking);
    QVERIFY(grid.isRowEmpty(3));
}

void TstNightEntry::deletingAClientMovesItsNightsToTheDefaultClient()
{
    const QDate monday = futureMonday();
    const int leaving = addClient(QStringLiteral("Parti"));
    const int staying = addClient(QStringLiteral("Reste"));
    addNight(monday, 1, leaving);
    addNight(monday.addDays(1), 1, leaving);
    addNight(monday.addDays(2), 1, staying);

    Client clients;
    QVERIFY(clients.supprimerClientPanneau(leaving));
    QCOMPARE(nightsOf(1),
             (QStringList{iso(monday) + QStringLiteral(" Réservé 1"),
                          iso(monday.addDays(1)) + QStringLiteral(" Réservé 1"),
                          iso(monday.addDays(2)) + QStringLiteral(" Réservé ") + QString::number(staying)}));
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos WHERE id = ") + QString::number(leaving)), 0);

    // The default client receives the nights of the others: it stays.
    QVERIFY(!clients.supprimerClientPanneau(Client::defaultClient));
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM infos WHERE id = 1")), 1);

    // A failing deletion leaves the nights with their client.
    refuseWrites(QStringLiteral("keep"), QStringLiteral("BEFORE DELETE ON infos"));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, clients.supprimerClientPanneau(staying));
    QCOMPARE(countOf(QStringLiteral("SELECT COUNT(*) FROM reserv WHERE info = ") + QString::number(staying)),
             1);
}

void TstNightEntry::capacityQuestion_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("adultes");
    QTest::addColumn<QString>("enfants");
    QTest::addColumn<QString>("question");
    const QByteArray room = "[Chambre2]\nnom=Bleue\nNbPersMax=2\nNbEnfantsMax=1\n";
    QTest::newRow("within both") << room << "2" << "1" << QString();
    QTest::newRow("nothing typed") << room << "" << "" << QString();
    QTest::newRow("adults over") << room << "3" << "" << "La chambre Bleue accueille au plus 2 adultes. Enregistrer quand même ?";
    QTest::newRow("both over") << room << "3" << "2"
                               << "La chambre Bleue accueille au plus 2 adultes et 1 enfant. Enregistrer quand même ?";
    QTest::newRow("children over") << room << "1" << "02"
                                   << "La chambre Bleue accueille au plus 1 enfant. Enregistrer quand même ?";
    QTest::newRow("no maximum") << QByteArray("[Chambre2]\nnom=Bleue\n") << "9" << "9" << QString();
    QTest::newRow("maximum not a number") << QByteArray("[Chambre2]\nNbPersMax=deux\n") << "9" << "" << QString();
}

void TstNightEntry::capacityQuestion()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, adultes);
    QFETCH(QString, enfants);
    QFETCH(QString, question);
    m_database->dir().writeFile(QStringLiteral("config.ini"), ini);
    QCOMPARE(RoomCapacity::question(2, adultes, enfants), question);
}

void TstNightEntry::reportSaysWhatWasDone_data()
{
    QTest::addColumn<int>("created");
    QTest::addColumn<int>("changed");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QString>("report");
    QTest::newRow("one night") << 1 << 0 << 0 << "1 nuit enregistrée, chambre Bleue, client Martin Paul.";
    QTest::newRow("created and changed") << 2 << 1 << 0 << "3 nuits enregistrées, chambre Bleue, client Martin Paul.";
    QTest::newRow("deleted only") << 0 << 0 << 2 << "2 nuits supprimées, chambre Bleue.";
    QTest::newRow("both") << 1 << 0 << 1 << "1 nuit enregistrée, 1 nuit supprimée, chambre Bleue, client Martin Paul.";
    QTest::newRow("nothing") << 0 << 0 << 0 << "Aucune nuit n'a été modifiée (chambre Bleue).";
}

void TstNightEntry::reportSaysWhatWasDone()
{
    QFETCH(int, created);
    QFETCH(int, changed);
    QFETCH(int, deleted);
    QFETCH(QString, report);
    NightEntry::Outcome outcome;
    outcome.saved = true;
    outcome.created = created;
    outcome.changed = changed;
    outcome.deleted = deleted;
    QCOMPARE(EntryReport::saved(outcome, QStringLiteral("Bleue"), QStringLiteral("Martin Paul")), report);
    QCOMPARE(EntryReport::clientName(QString(), QString(), QStringLiteral("Mon Hotel")), QStringLiteral("Mon Hotel"));
    QCOMPARE(EntryReport::clientName(QStringLiteral("Martin"), QStringLiteral("Paul"), QStringLiteral("SARL")),
             QStringLiteral("Martin Paul"));
}

QTEST_GUILESS_MAIN(TstNightEntry)
#include "tst_night_entry.moc"
