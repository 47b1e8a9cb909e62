#include "common/errors.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/reservation.h"
#include "data/schema.h"
#include "data/sql.h"
#include "test_support.h"

#include <QTest>

#include <memory>

namespace {

const QString kReserve = QStringLiteral("Réservé");
const QString kPaye = QStringLiteral("Payé");

QSqlDatabase db()
{
    return DataModule::shared();
}

QDate day(const char *iso)
{
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

int addClient(int type, const QVariant &nom, const QVariant &nomEts = QVariant())
{
    Sql q(db(), QStringLiteral("INSERT INTO infos (type, nom, nom_ets, somme) VALUES (:t, :n, :e, 0)"));
    q.bind(QStringLiteral(":t"), type)
        .bind(QStringLiteral(":n"), nom)
        .bind(QStringLiteral(":e"), nomEts)
        .exec();
    return q.lastInsertId().toInt();
}

int addNight(const char *iso, int room, int client, const QString &etat = kReserve,
             const QVariant &adults = 2, const QVariant &children = 0)
{
    Sql q(db(), QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, nbpers, nbenfants) "
                               "VALUES (:d, :n, :c, :e, :a, :k)"));
    q.bind(QStringLiteral(":d"), QString::fromLatin1(iso))
        .bind(QStringLiteral(":n"), room)
        .bind(QStringLiteral(":c"), client)
        .bind(QStringLiteral(":e"), etat)
        .bind(QStringLiteral(":a"), adults)
        .bind(QStringLiteral(":k"), children)
        .exec();
    return q.lastInsertId().toInt();
}

// Nights of a client from `from` to `to` included, in one room.
QList<int> addStay(const char *from, const char *to, int room, int client, const QVariant &adults = 2)
{
    QList<int> ids;
    for (QDate d = day(from); d <= day(to); d = d.addDays(1))
        ids << addNight(d.toString(Qt::ISODate).toLatin1().constData(), room, client, kReserve, adults);
    return ids;
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

void addPrice(int service, int room, double ht)
{
    Sql(db(), QStringLiteral("INSERT INTO prestations (id_prestation, libelle, numero_chambre, tarif_ht) "
                             "VALUES (:s, 'x', :r, :ht)"))
        .bind(QStringLiteral(":s"), service)
        .bind(QStringLiteral(":r"), room)
        .bind(QStringLiteral(":ht"), ht)
        .exec();
}

// Every night as "date room client state adults children", by date and room.
QStringList nights()
{
    QStringList out;
    Sql q(db(), QStringLiteral("SELECT r_date, numero, info, etat, nbpers, nbenfants FROM reserv "
                               "ORDER BY r_date, numero, id"));
    for (const QVariantList &row : q.rows()) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << (v.isNull() ? QStringLiteral("-") : v.toString());
        out << cells.join(QLatin1Char(' '));
    }
    return out;
}

// Services of every night as "date:service×nb", by date and service.
QStringList services()
{
    QStringList out;
    Sql q(db(),
          QStringLiteral("SELECT r.r_date, rp.id_prestations, rp.nb FROM reserv_prestations rp "
                         "LEFT JOIN reserv r ON r.id = rp.id_reserv ORDER BY r.r_date, rp.id_prestations"));
    for (const QVariantList &row : q.rows())
        out << row[0].toString() + QLatin1Char(':') + row[1].toString() + QLatin1Char('x') +
                   row[2].toString();
    return out;
}

// A services grid: titles, one row per "service:nb", the trailing empty row.
TextGrid grid(const QStringList &lines)
{
    return servicesGridOf(lines, 3);
}

// Everything a stay operation may touch, to compare before and after.
QStringList snapshot()
{
    QStringList out = nights() + services();
    Sql q(db(), QStringLiteral("SELECT id, operation, apres FROM log ORDER BY id"));
    for (const QVariantList &row : q.rows())
        out << row[1].toString() + row[2].toString();
    return out;
}

} // namespace

class TstReservation : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<TestDataDir>();
        DataModule::release();
        Schema::createOrUpgrade(DataModule::shared());
    }
    void cleanup()
    {
        DataModule::release();
        m_dir.reset();
    }

    void missingRowsGiveDefaults()
    {
        Reservation r;
        QCOMPARE(r.getDateDebut(99), Format::zeroDate());
        QCOMPARE(r.getDateFin(99), Format::zeroDate());
        QCOMPARE(r.getNumeroChambre(99), 0);
        QCOMPARE(r.getEtat(99), QString());
        QCOMPARE(r.getNomChambreReservation(99), QStringLiteral("0"));
    }

    void roomNamesComeFromSettings()
    {
        m_dir->writeFile(QStringLiteral("config.ini"), "[Chambre2]\r\nnom=Suite bleue\r\n");
        const int first = addStay("2024-05-01", "2024-05-02", 2, 1).first();
        Reservation r;
        QCOMPARE(Reservation::getNomChambre(2), QStringLiteral("Suite bleue"));
        QCOMPARE(Reservation::getNomChambre(3), QStringLiteral("3"));
        QCOMPARE(r.getNomChambreReservation(first), QStringLiteral("Suite bleue"));
        QCOMPARE(r.getDateDebut(first), day("2024-05-01"));
        QCOMPARE(r.getEtat(first), kReserve);
    }

    void stayEndsAtGapRoomOrClientChange()
    {
        const int other = addClient(2, QStringLiteral("Durand"));
        const int first = addStay("2024-01-30", "2024-02-02", 1, 1).first(); // across a month end
        addNight("2024-02-04", 1, 1);     // after a free night: another stay
        addNight("2024-02-03", 2, 1);     // next day but another room
        addNight("2024-02-03", 1, other); // next day, same room, another client
        Reservation r;
        QCOMPARE(r.getDateFin(first), day("2024-02-02"));
        QCOMPARE(r.getDateDebut(first), day("2024-01-30"));
    }

    void listing_data()
    {
        QTest::addColumn<QStringList>("rows"); // "date room client [adults]"
        QTest::addColumn<QString>("client");
        QTest::addColumn<QStringList>("lines"); // "#k|first|last|name|state|room|adults|children"

        QTest::newRow("one night, empty last night")
            << QStringList{QStringLiteral("2024-03-10 4 2 -")} << QStringLiteral("2")
            << QStringList{QStringLiteral("#0|10/03/2024||4|Réservé|4|0|0")};
        QTest::newRow("a free night makes two stays")
            << QStringList{QStringLiteral("2024-03-10 1 2"), QStringLiteral("2024-03-11 1 2"),
                           QStringLiteral("2024-03-13 1 2")}
            << QStringLiteral("2")
            << QStringList{QStringLiteral("#0|10/03/2024|11/03/2024|1|Réservé|1|2|0"),
                           QStringLiteral("#2|13/03/2024||1|Réservé|1|2|0")};
        QTest::newRow("by room, then date")
            << QStringList{QStringLiteral("2024-03-11 3 2"), QStringLiteral("2024-03-10 1 2"),
                           QStringLiteral("2024-03-12 3 2"), QStringLiteral("2024-03-11 1 2")}
            << QStringLiteral("2")
            << QStringList{QStringLiteral("#1|10/03/2024|11/03/2024|1|Réservé|1|2|0"),
                           QStringLiteral("#0|11/03/2024|12/03/2024|3|Réservé|3|2|0")};
        QTest::newRow("other clients are not listed")
            << QStringList{QStringLiteral("2024-03-10 1 3")} << QStringLiteral("2") << QStringList{};
        QTest::newRow("every client: clients kept apart")
            << QStringList{QStringLiteral("2024-03-10 1 2"), QStringLiteral("2024-03-11 1 3")} << QString()
            << QStringList{QStringLiteral("#0|10/03/2024||1|Réservé|1|2|0"),
                           QStringLiteral("#1|11/03/2024||1|Réservé|1|2|0")};
    }

    void listing()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, client);
        QFETCH(QStringList, lines);
        addClient(2, QStringLiteral("Martin"));
        addClient(2, QStringLiteral("Petit"));
        QStringList ids;
        for (const QString &row : rows) {
            const QStringList f = row.split(QLatin1Char(' '));
            const QVariant adults = f.value(3) == QLatin1String("-") ? QVariant() : QVariant(2);
            ids << QString::number(addNight(f[0].toLatin1().constData(), f[1].toInt(), f[2].toInt(), kReserve,
                                            adults, adults.isNull() ? QVariant() : QVariant(0)));
        }
        TextGrid g(2, 8); // titles and the empty row of a grid without data
        g.setCell(0, 1, QStringLiteral("Début"));
        Reservation().listerReservationsClient(client, g);
        QCOMPARE(g.rowCount(), 2 + lines.size());
        QCOMPARE(g.cell(0, 1), QStringLiteral("Début"));
        for (int i = 0; i < lines.size(); ++i) {
            QString expected = lines[i];
            expected.replace(0, 2, ids.value(expected.mid(1, 1).toInt()));
            QCOMPARE(g.row(i + 1).join(QLatin1Char('|')), expected);
        }
        QVERIFY(g.isRowEmpty(g.rowCount() - 1));
    }

    void deletingAStayKeepsTheNextOne()
    {
        const QList<int> first = addStay("2024-06-01", "2024-06-03", 5, 1);
        const QList<int> second = addStay("2024-06-05", "2024-06-06", 5, 1);
        for (int id : first + second)
            attach(id, 7, 1);
        Reservation().supprimerReservation(first.first());
        QCOMPARE(nights(), (QStringList{QStringLiteral("2024-06-05 5 1 Réservé 2 0"),
                                        QStringLiteral("2024-06-06 5 1 Réservé 2 0")}));
        QCOMPARE(services(),
                 (QStringList{QStringLiteral("2024-06-05:7x1"), QStringLiteral("2024-06-06:7x1")}));
        Reservation().supprimerReservation(12345); // nothing to delete
        QCOMPARE(nights().size(), 2);
    }

    void planningTexts_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("nom");
        QTest::addColumn<QVariant>("nomEts");
        QTest::addColumn<bool>("clientDeleted");
        QTest::addColumn<QString>("dayText");      // name mode of the week worker
        QTest::addColumn<QString>("monthText");    // name mode of the month
        QTest::addColumn<QString>("stateAndName"); // name mode of the weekly grid

        const QVariant null;
        const QVariant empty = QStringLiteral(""); // bound as an empty text, not NULL
        const QVariant dupont = QStringLiteral("Dupont");
        const QVariant acme = QStringLiteral("ACME");
        QTest::newRow("kind 1 with a name") << 1 << dupont << acme << false << "Dupont"
                                            << "Dupont Payé"
                                            << "Payé Dupont";
        // A client without a surname shows its company name, else the state:
        // a held night never looks free.
        QTest::newRow("kind 1 without a name") << 1 << null << acme << false << "ACME"
                                               << "ACME Payé"
                                               << "Payé ACME";
        QTest::newRow("kind 1, empty name") << 1 << empty << acme << false << "ACME"
                                            << "ACME Payé"
                                            << "Payé ACME";
        QTest::newRow("kind 1, no name at all") << 1 << empty << empty << false << "Payé"
                                                << "Payé"
                                                << "Payé";
        QTest::newRow("kind 2 with a name") << 2 << dupont << acme << false << "Dupont"
                                            << "Dupont Payé"
                                            << "Payé Dupont";
        QTest::newRow("kind 2, company name") << 2 << empty << acme << false << "ACME"
                                              << "ACME Payé"
                                              << "Payé ACME";
        QTest::newRow("kind 2, no name at all") << 2 << null << null << false << "Payé"
                                                << "Payé"
                                                << "Payé";
        QTest::newRow("unknown kind") << 3 << dupont << acme << false << ""
                                      << "Payé"
                                      << "Payé Dupont";
        QTest::newRow("client deleted") << 2 << dupont << acme << true << ""
                                        << "Payé"
                                        << "Payé";
    }

    void planningTexts()
    {
        QFETCH(int, type);
        QFETCH(QVariant, nom);
        QFETCH(QVariant, nomEts);
        QFETCH(bool, clientDeleted);
        QFETCH(QString, dayText);
        QFETCH(QString, monthText);
        QFETCH(QString, stateAndName);
        const int client = addClient(type, nom, nomEts);
        addNight("2024-02-29", 3, client, kPaye);
        addNight("2024-02-27", 3, 1, kReserve); // the hotel itself, kind 1 with its company name only
        if (clientDeleted)
            Sql(db(), QStringLiteral("DELETE FROM infos WHERE id = :id"))
                .bind(QStringLiteral(":id"), client)
                .exec();

        Reservation r;
        QCOMPARE(r.getNomClientJour(3, day("2024-02-29")), dayText);
        QCOMPARE(r.getEtatJour(3, day("2024-02-29")), kPaye);
        QStringList month(32);
        r.remplirClientsMois(3, month, day("2024-02-10"));
        QCOMPARE(month.at(28), monthText);
        QCOMPARE(month.at(26), QStringLiteral("Mon Hotel Réservé"));
        QStringList week(7);
        r.remplirClientsSemaine(3, week, day("2024-02-26"));
        QCOMPARE(week, (QStringList{QString(), QStringLiteral("Mon Hotel"), QString(), dayText, QString(), QString(),
                                    QString()}));

        const PlanningTable table = r.lirePlanningMois(day("2024-02-10"), 4);
        QCOMPARE(table.dayCount(), 29);
        QCOMPARE(table.textesMois(3), month.mid(0, 29));
        const PlanningCell &cell = table.cell(3, 28);
        QCOMPARE(cell.texteClient, dayText);
        QCOMPARE(cell.texteEtatNom, stateAndName);
        QCOMPARE(cell.etat, kPaye);
        QCOMPARE(cell.client, client);
        QVERIFY(table.cell(3, 27).isFree());
    }

    // The one-call tables give what the per-room fills give, on a mix of
    // clients, a deleted client, two months and a night stored with a time.
    void tablesAgreeWithPerRoomFills()
    {
        const int named = addClient(2, QStringLiteral("Leroy"));
        const int company = addClient(1, QVariant(), QStringLiteral("Cabinet Roux"));
        const int gone = addClient(2, QStringLiteral("Parti"));
        addStay("2024-03-28", "2024-04-02", 1, named);
        addStay("2024-03-30", "2024-04-03", 2, company);
        addStay("2024-04-01", "2024-04-02", 3, gone);
        addNight("2024-04-04 00:00:00", 3, named, kPaye);
        Sql(db(), QStringLiteral("DELETE FROM infos WHERE id = :id"))
            .bind(QStringLiteral(":id"), gone)
            .exec();

        Reservation r;
        const QDate monday = day("2024-04-01").addDays(-7); // 25 March: a week across two months
        const PlanningTable week = r.lirePlanningSemaine(monday, 3);
        const PlanningTable april = r.lirePlanningMois(day("2024-04-15"), 3);
        for (int room = 1; room <= 3; ++room) {
            QStringList states(7), names(7);
            r.remplirEtatsSemaine(room, states, monday);
            r.remplirClientsSemaine(room, names, monday);
            QCOMPARE(week.etats(room), states);
            QCOMPARE(week.textesClients(room), names);
            QStringList monthStates(32), monthTexts(32);
            r.remplirEtatsMois(room, monthStates, day("2024-04-15"));
            r.remplirClientsMois(room, monthTexts, day("2024-04-15"));
            QCOMPARE(april.etats(room), monthStates.mid(0, 30));
            QCOMPARE(april.textesMois(room), monthTexts.mid(0, 30));
        }
        QCOMPARE(april.textesMois(3).mid(0, 4),
                 (QStringList{kReserve, kReserve, QString(), QStringLiteral("Leroy Payé")}));
        // Kind 1 without a surname: its company name.
        QCOMPARE(april.textesMois(2).at(0), QStringLiteral("Cabinet Roux Réservé"));
        QCOMPARE(week.textesClients(2).at(6), QStringLiteral("Cabinet Roux"));
    }

    void monthFillsLeaveFreeDaysAsTheyWere()
    {
        addNight("2024-07-02", 1, 1, kPaye);
        QStringList states(32, QStringLiteral("x"));
        QStringList texts(32, QStringLiteral("x"));
        Reservation r;
        r.remplirEtatsMois(1, states, day("2024-07-20"));
        r.remplirClientsMois(1, texts, day("2024-07-20"));
        QCOMPARE(states.at(1), kPaye);
        QCOMPARE(states.at(0), QStringLiteral("x"));
        QCOMPARE(texts.at(1), QStringLiteral("Mon Hotel Payé")); // the hotel: its company name only
        QCOMPARE(texts.at(2), QStringLiteral("x"));
        QStringList week(7, QStringLiteral("x"));
        r.remplirEtatsSemaine(1, week, day("2024-07-01"));
        QCOMPARE(week,
                 (QStringList{QString(), kPaye, QString(), QString(), QString(), QString(), QString()}));
    }

    void availability_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("free");
        // Room 1 holds 10 and 11 May.
        QTest::newRow("start after end") << "2024-05-11"
                                         << "2024-05-10" << true;
        QTest::newRow("before") << "2024-05-01"
                                << "2024-05-09" << true;
        QTest::newRow("last day taken") << "2024-05-05"
                                        << "2024-05-10" << false;
        QTest::newRow("first day taken") << "2024-05-11"
                                         << "2024-05-20" << false;
        QTest::newRow("after") << "2024-05-12"
                               << "2024-05-20" << true;
        QTest::newRow("around") << "2024-05-01"
                                << "2024-05-31" << false;
    }

    void availability()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, free);
        addStay("2024-05-10", "2024-05-11", 1, 1);
        addNight("2024-05-15", 2, 1);
        Reservation r;
        const QDate f = QDate::fromString(from, Qt::ISODate);
        const QDate t = QDate::fromString(to, Qt::ISODate);
        QCOMPARE(r.estDisponible(1, f, t), free);
        QCOMPARE(!r.getChambresOccupees(f, t).contains(1), free);
    }

    void monthlySums()
    {
        addPrice(1, 1, 80.0);
        addPrice(1, 2, 95.5);
        addPrice(2, 1, 9.5);
        addPrice(2, 2, 9.5);
        const QList<int> march = addStay("2024-03-30", "2024-04-01", 1, 1, 2);
        addNight("2024-03-15", 2, 1, kReserve, QVariant(), QVariant()); // adults unknown
        attach(march[0], 1, 1);
        attach(march[0], 2, 2);
        attach(march[1], 1, 1);
        attach(march[2], 1, 1);
        const int room2 = addNight("2024-03-16", 2, 1, kReserve, 3);
        attach(room2, 1, 1);
        attach(room2, 99, 4); // a service no longer in the catalogue counts for nothing

        Reservation r;
        QCOMPARE(r.getNbNuitsMois(1, 2024, 3), 2);
        QCOMPARE(r.getNbPersonnesMois(1, 2024, 3), 4);
        QCOMPARE(r.getChiffreAffairesMois(1, 2024, 3), 80.0 + 19.0 + 80.0);
        QCOMPARE(r.getNbNuitsMois(2, 2024, 3), 2);
        QCOMPARE(r.getNbPersonnesMois(2, 2024, 3), 3);
        QCOMPARE(r.getChiffreAffairesMois(2, 2024, 3), 95.5);
        QCOMPARE(r.getChiffreAffairesMois(1, 2024, 5), 0.0);
        QCOMPARE(r.getNbPersonnesMois(1, 2024, 5), 0);
        QCOMPARE(r.getChiffreAffairesJour(2024, 3, 30), 99.0);
        QCOMPARE(r.getChiffreAffairesJour(2024, 4, 2), 0.0);
        QCOMPARE(r.getChiffreAffairesJours(day("2024-03-29"), day("2024-04-01")),
                 (QList<double>{0.0, 99.0, 80.0, 80.0}));
        QCOMPARE(r.getAnneesReservees(), QList<int>{2024});

        const YearFigures year = r.lireStatistiquesAnnee(2024, 2);
        for (int room = 1; room <= 2; ++room) {
            for (int month = 1; month <= 12; ++month) {
                QCOMPARE(year.nights(room, month), r.getNbNuitsMois(room, 2024, month));
                QCOMPARE(year.persons(room, month), r.getNbPersonnesMois(room, 2024, month));
                QCOMPARE(year.turnover(room, month), r.getChiffreAffairesMois(room, 2024, month));
            }
        }
    }

    // The year is read in grouped statements; every month of every room must
    // still give what the monthly operations give, to the last digit.
    void yearFiguresMatchMonthlySums_data()
    {
        QTest::addColumn<QStringList>("rows"); // "date room adults service:nb ...", "_" before a time
        QTest::newRow("year boundaries") << QStringList{"2023-12-31 1 2 1:1", "2024-01-01 1 3 1:1 2:2",
                                                        "2024-12-31 2 1 1:1", "2025-01-01 2 2 1:1"};
        QTest::newRow("empty year") << QStringList{"2023-06-01 1 2 1:1", "2025-06-01 2 2 1:1"};
        QTest::newRow("rooms without nights or out of count")
            << QStringList{"2024-03-01 3 2 1:1", "2024-03-02 0 2 1:1", "2024-03-03 2 2"};
        QTest::newRow("time of day, unknown adults, unpriced service")
            << QStringList{"2024-06-30_23:30:00 1 - 1:2 99:1", "2024-07-01 1 2 2:3"};
        QTest::newRow("many services, prices with long decimals")
            << QStringList{"2024-02-27 1 2 1:1 2:2 3:1", "2024-02-28 1 2 1:1 3:3", "2024-02-29 1 2 2:1 3:1",
                           "2024-03-01 1 2 1:1", "2024-02-29 2 4 1:1 2:7 3:2"};
    }

    void yearFiguresMatchMonthlySums()
    {
        QFETCH(QStringList, rows);
        for (int room = 1; room <= 3; ++room) {
            addPrice(1, room, 68.1 + room / 3.0);
            addPrice(2, room, 9.95);
            addPrice(3, room, 1.1);
        }
        addPrice(3, 1, 0.07); // a second price row of a service adds to the first
        for (const QString &row : rows) {
            QStringList parts = row.split(QLatin1Char(' '));
            const QString date = parts.takeFirst().replace(QLatin1Char('_'), QLatin1Char(' '));
            const int room = parts.takeFirst().toInt();
            const QString adults = parts.takeFirst();
            const int night = addNight(date.toLatin1().constData(), room, 1, kReserve,
                                       adults == QLatin1String("-") ? QVariant() : QVariant(adults.toInt()));
            for (const QString &service : std::as_const(parts))
                attach(night, service.section(QLatin1Char(':'), 0, 0).toInt(),
                       service.section(QLatin1Char(':'), 1).toInt());
        }
        Reservation r;
        const YearFigures year = r.lireStatistiquesAnnee(2024, 2);
        int counted = 0;
        for (int room = 1; room <= 2; ++room) {
            for (int month = 1; month <= 12; ++month) {
                QCOMPARE(year.nights(room, month), r.getNbNuitsMois(room, 2024, month));
                QCOMPARE(year.persons(room, month), r.getNbPersonnesMois(room, 2024, month));
                QCOMPARE(year.turnover(room, month), r.getChiffreAffairesMois(room, 2024, month));
                counted += year.nights(room, month);
            }
        }
        QCOMPARE(year.nights(3, 3), 0); // beyond the rooms asked for
        QCOMPARE(counted > 0, !QByteArray(QTest::currentDataTag()).startsWith("empty"));
    }

    void creatingAStay()
    {
        m_dir->writeFile(QStringLiteral("config.ini"), "[Sauvegarde]\r\ndateMaJPlanning=01/01/2024\r\n");
        const int client = addClient(2, QStringLiteral("Martin"));
        Reservation().ajouterReservation(4, kPaye, client, day("2024-02-28"), day("2024-03-01"),
                                         grid({QStringLiteral("1:1"), QStringLiteral("2:3")}), 2, 1);
        const QString c = QString::number(client);
        QCOMPARE(nights(), (QStringList{QStringLiteral("2024-02-28 4 ") + c + QStringLiteral(" Payé 2 1"),
                                        QStringLiteral("2024-02-29 4 ") + c + QStringLiteral(" Payé 2 1"),
                                        QStringLiteral("2024-03-01 4 ") + c + QStringLiteral(" Payé 2 1")}));
        QCOMPARE(services(),
                 (QStringList{QStringLiteral("2024-02-28:1x1"), QStringLiteral("2024-02-28:2x3"),
                              QStringLiteral("2024-02-29:1x1"), QStringLiteral("2024-02-29:2x3"),
                              QStringLiteral("2024-03-01:1x1"), QStringLiteral("2024-03-01:2x3")}));
        const int first = Sql(db(), QStringLiteral("SELECT MIN(id) FROM reserv")).scalar().toInt();
        QCOMPARE(Sql(db(), QStringLiteral("SELECT apres FROM log WHERE operation = 'ajout_resa' ORDER BY id"))
                     .scalar()
                     .toString(),
                 QStringLiteral("<reservation id='%1' r_date='28/02/2024' numero='4' info='%2' etat='Payé' "
                                "reglement='0' />")
                     .arg(first)
                     .arg(client));
        QCOMPARE(Sql(db(), QStringLiteral("SELECT COUNT(*) FROM log")).scalar().toInt(), 3);
        QVERIFY(Sql(db(), QStringLiteral("SELECT reglement FROM reserv")).scalar().isNull());
    }

    void creatingAStayWithoutServicesOrLog()
    {
        Reservation().ajouterReservation(1, kReserve, 1, day("2024-02-28"), day("2024-02-28"), grid({}), 1,
                                         0);
        QCOMPARE(nights(), QStringList{QStringLiteral("2024-02-28 1 1 Réservé 1 0")});
        QVERIFY(services().isEmpty());
        QCOMPARE(Sql(db(), QStringLiteral("SELECT COUNT(*) FROM log")).scalar().toInt(), 0);
    }

    void changingAStay_data()
    {
        // The old stay: room 1, 10 to 14 June, 2 adults, service 1 x1 and
        // service 9 x1 on each night, one-off service 5 on the 12th.
        QTest::addColumn<bool>("change");
        QTest::addColumn<int>("room");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("expectedNights"); // "date room state adults children"
        QTest::addColumn<QStringList>("expectedServices");

        auto n = [](const char *d, int room, const char *etat, int adults, int children) {
            return QStringLiteral("%1 %2 2 %3 %4 %5")
                .arg(QString::fromLatin1(d))
                .arg(room)
                .arg(QString::fromUtf8(etat))
                .arg(adults)
                .arg(children);
        };
        QTest::newRow("moved after its old dates")
            << false << 1 << "2024-06-20"
            << "2024-06-22"
            << QStringList{n("2024-06-20", 1, "Acompte", 3, 1), n("2024-06-21", 1, "Acompte", 3, 1),
                           n("2024-06-22", 1, "Acompte", 3, 1)}
            << QStringList{QStringLiteral("2024-06-20:1x2"), QStringLiteral("2024-06-21:1x2"),
                           QStringLiteral("2024-06-22:1x2")};
        QTest::newRow("moved before its old dates")
            << false << 1 << "2024-06-01"
            << "2024-06-02"
            << QStringList{n("2024-06-01", 1, "Acompte", 3, 1), n("2024-06-02", 1, "Acompte", 3, 1)}
            << QStringList{QStringLiteral("2024-06-01:1x2"), QStringLiteral("2024-06-02:1x2")};
        QTest::newRow("shortened at both ends")
            << false << 1 << "2024-06-11"
            << "2024-06-13"
            << QStringList{n("2024-06-11", 1, "Réservé", 2, 0), n("2024-06-12", 1, "Réservé", 2, 0),
                           n("2024-06-13", 1, "Réservé", 2, 0)}
            << QStringList{QStringLiteral("2024-06-11:1x2"), QStringLiteral("2024-06-12:1x2"),
                           QStringLiteral("2024-06-12:5x1"), QStringLiteral("2024-06-13:1x2")};
        QTest::newRow("lengthened at both ends")
            << false << 1 << "2024-06-09"
            << "2024-06-15"
            << QStringList{n("2024-06-09", 1, "Acompte", 3, 1), n("2024-06-10", 1, "Réservé", 2, 0),
                           n("2024-06-11", 1, "Réservé", 2, 0), n("2024-06-12", 1, "Réservé", 2, 0),
                           n("2024-06-13", 1, "Réservé", 2, 0), n("2024-06-14", 1, "Réservé", 2, 0),
                           n("2024-06-15", 1, "Acompte", 3, 1)}
            << QStringList{QStringLiteral("2024-06-09:1x2"), QStringLiteral("2024-06-10:1x2"),
                           QStringLiteral("2024-06-11:1x2"), QStringLiteral("2024-06-12:1x2"),
                           QStringLiteral("2024-06-12:5x1"), QStringLiteral("2024-06-13:1x2"),
                           QStringLiteral("2024-06-14:1x2"), QStringLiteral("2024-06-15:1x2")};
        QTest::newRow("new room and state, one more night")
            << true << 4 << "2024-06-10"
            << "2024-06-15"
            << QStringList{n("2024-06-10", 4, "Acompte", 3, 1), n("2024-06-11", 4, "Acompte", 3, 1),
                           n("2024-06-12", 4, "Acompte", 3, 1), n("2024-06-13", 4, "Acompte", 3, 1),
                           n("2024-06-14", 4, "Acompte", 3, 1), n("2024-06-15", 4, "Acompte", 3, 1)}
            << QStringList{QStringLiteral("2024-06-10:1x2"), QStringLiteral("2024-06-11:1x2"),
                           QStringLiteral("2024-06-12:1x2"), QStringLiteral("2024-06-12:5x1"),
                           QStringLiteral("2024-06-13:1x2"), QStringLiteral("2024-06-14:1x2"),
                           QStringLiteral("2024-06-15:1x2")};
    }

    void changingAStay()
    {
        QFETCH(bool, change);
        QFETCH(int, room);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, expectedNights);
        QFETCH(QStringList, expectedServices);
        const int client = addClient(2, QStringLiteral("Martin"));
        QCOMPARE(client, 2);
        const QList<int> old = addStay("2024-06-10", "2024-06-14", 1, client);
        for (int id : old) {
            attach(id, 1, 1);
            attach(id, 9, 1);
        }
        attach(old[2], 5, 1);
        TextGrid oneOff(1, 3);
        oneOff.appendRow({QStringLiteral("5"), QStringLiteral("Dîner"), QStringLiteral("12/06/2024")});
        oneOff.appendRow();

        Reservation().modifierReservation(change, room, 1, QStringLiteral("Acompte"), client,
                                          QDate::fromString(from, Qt::ISODate),
                                          QDate::fromString(to, Qt::ISODate), grid({QStringLiteral("1:2")}),
                                          oneOff, day("2024-06-10"), day("2024-06-14"), 3, 1);
        QCOMPARE(nights(), expectedNights);
        QCOMPARE(services(), expectedServices);
    }

    // A stay moved past another stay of the same client in the same room
    // leaves that other stay alone.
    void movingAStayPastAnotherStayOfTheClient()
    {
        const int client = addClient(2, QStringLiteral("Martin"));
        addStay("2024-06-10", "2024-06-11", 1, client);
        const int between = addNight("2024-06-14", 1, client);
        attach(between, 3, 1);
        Reservation().modifierReservation(false, 1, 1, kReserve, client, day("2024-06-20"), day("2024-06-21"),
                                          grid({}), grid({}), day("2024-06-10"), day("2024-06-11"), 2, 0);
        QCOMPARE(nights(), (QStringList{QStringLiteral("2024-06-14 1 2 Réservé 2 0"),
                                        QStringLiteral("2024-06-20 1 2 Réservé 2 0"),
                                        QStringLiteral("2024-06-21 1 2 Réservé 2 0")}));
        QCOMPARE(services(), QStringList{QStringLiteral("2024-06-14:3x1")});
    }

    // Moving a stay into a room where the client holds another stay changes
    // the moved stay only: the other keeps its nights, state and services.
    void changingAStayKeepsTheClientsOtherStays_data()
    {
        QTest::addColumn<QString>("otherFrom");
        QTest::addColumn<QString>("otherTo");
        QTest::addColumn<QString>("oldTo");
        QTest::addColumn<QString>("newFrom");
        QTest::addColumn<QString>("newTo");
        QTest::addColumn<QStringList>("expectedNights"); // "date room client state", room 2 only
        const auto paid = [](const char *d) -> QString {
            return QString::fromLatin1(d) + QStringLiteral(" 2 2 Payé");
        };
        const auto moved = [](const char *d) -> QString {
            return QString::fromLatin1(d) + QStringLiteral(" 2 2 Acompte");
        };
        QTest::newRow("moved to later free dates")
            << "2024-03-10" << "2024-03-12" << "2024-03-12" << "2024-03-20" << "2024-03-22"
            << QStringList{paid("2024-03-10"), paid("2024-03-11"), paid("2024-03-12"), moved("2024-03-20"),
                           moved("2024-03-21"), moved("2024-03-22")};
        QTest::newRow("moved and shortened before the other stay")
            << "2024-03-13" << "2024-03-14" << "2024-03-16" << "2024-03-10" << "2024-03-12"
            << QStringList{moved("2024-03-10"), moved("2024-03-11"), moved("2024-03-12"), paid("2024-03-13"),
                           paid("2024-03-14")};
    }

    void changingAStayKeepsTheClientsOtherStays()
    {
        QFETCH(QString, otherFrom);
        QFETCH(QString, otherTo);
        QFETCH(QString, oldTo);
        QFETCH(QString, newFrom);
        QFETCH(QString, newTo);
        QFETCH(QStringList, expectedNights);
        const int client = addClient(2, QStringLiteral("Martin"));
        QCOMPARE(client, 2);
        addStay("2024-03-10", oldTo.toLatin1().constData(), 1, client);
        QStringList otherServices;
        for (QDate d = QDate::fromString(otherFrom, Qt::ISODate); d <= QDate::fromString(otherTo, Qt::ISODate);
             d = d.addDays(1)) {
            attach(addNight(d.toString(Qt::ISODate).toLatin1().constData(), 2, client, kPaye), 7, 1);
            otherServices << d.toString(Qt::ISODate) + QStringLiteral(":7x1");
        }

        Reservation().modifierReservation(true, 2, 1, QStringLiteral("Acompte"), client,
                                          QDate::fromString(newFrom, Qt::ISODate),
                                          QDate::fromString(newTo, Qt::ISODate), grid({}), grid({}),
                                          day("2024-03-10"), QDate::fromString(oldTo, Qt::ISODate), 2, 0);
        QStringList roomTwo;
        Sql q(db(), QStringLiteral("SELECT r_date, numero, info, etat FROM reserv ORDER BY r_date, id"));
        for (const QVariantList &row : q.rows()) {
            QStringList cells;
            for (const QVariant &v : row)
                cells << v.toString();
            roomTwo << cells.join(QLatin1Char(' '));
        }
        QCOMPARE(roomTwo, expectedNights);
        QCOMPARE(services(), otherServices);
    }

    // No path writes a second row on a room and night: the write is refused
    // as a whole and the message names the room and the first night taken.
    void aTakenNightIsRefused_data()
    {
        QTest::addColumn<int>("operation"); // 0 create, 1 change
        QTest::addColumn<int>("room");
        QTest::addColumn<bool>("change");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message"); // empty: accepted
        // Room 1: the stay being changed, Martin 10 to 12 June, and Durand on
        // 14 June. Room 2 "Suite bleue": Durand 12, 15 and 16 June. Room 3:
        // Martin 20 June.
        const auto taken = [](const char *room, const char *date) {
            return QStringLiteral("La chambre %1 est déjà occupée le %2 : rien n'a été enregistré.")
                .arg(QString::fromUtf8(room), QString::fromLatin1(date));
        };
        QTest::newRow("creation over another client's night")
            << 0 << 2 << false << "2024-06-14" << "2024-06-16" << taken("Suite bleue", "15/06/2024");
        QTest::newRow("creation over a night of the same client")
            << 0 << 3 << false << "2024-06-20" << "2024-06-20" << taken("3", "20/06/2024");
        QTest::newRow("creation in the nights between stays")
            << 0 << 2 << false << "2024-06-13" << "2024-06-14" << QString();
        QTest::newRow("change moving kept nights onto a taken one")
            << 1 << 2 << true << "2024-06-10" << "2024-06-12" << taken("Suite bleue", "12/06/2024");
        QTest::newRow("change lengthening onto a taken night")
            << 1 << 1 << false << "2024-06-10" << "2024-06-15" << taken("1", "14/06/2024");
        QTest::newRow("change moving onto the client's own other stay")
            << 1 << 3 << true << "2024-06-18" << "2024-06-21" << taken("3", "20/06/2024");
        QTest::newRow("change of state over the stay's own nights")
            << 1 << 1 << true << "2024-06-09" << "2024-06-13" << QString();
        QTest::newRow("change moved between two stays")
            << 1 << 2 << true << "2024-06-13" << "2024-06-14" << QString();
    }

    void aTakenNightIsRefused()
    {
        QFETCH(int, operation);
        QFETCH(int, room);
        QFETCH(bool, change);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        m_dir->writeFile(QStringLiteral("config.ini"),
                         "[Sauvegarde]\r\ndateMaJPlanning=01/01/2024\r\n[Chambre2]\r\nnom=Suite bleue\r\n");
        const int martin = addClient(2, QStringLiteral("Martin"));
        const int durand = addClient(2, QStringLiteral("Durand"));
        for (int id : addStay("2024-06-10", "2024-06-12", 1, martin))
            attach(id, 1, 1);
        addNight("2024-06-14", 1, durand);
        addNight("2024-06-12", 2, durand);
        addStay("2024-06-15", "2024-06-16", 2, durand);
        addNight("2024-06-20", 3, martin);
        const QStringList before = snapshot();

        const QDate first = QDate::fromString(from, Qt::ISODate);
        const QDate last = QDate::fromString(to, Qt::ISODate);
        QString refused;
        try {
            if (operation == 0) {
                Reservation().ajouterReservation(room, kReserve, martin, first, last, grid({QStringLiteral("1:1")}),
                                                 2, 0);
            } else {
                Reservation().modifierReservation(change, room, 1, kPaye, martin, first, last,
                                                  grid({QStringLiteral("1:1")}), grid({}), day("2024-06-10"),
                                                  day("2024-06-12"), 2, 0);
            }
        } catch (const RoomTakenError &e) {
            refused = e.text();
            QCOMPARE(e.room(), room);
        }
        QCOMPARE(refused, message);
        if (!message.isEmpty()) {
            QCOMPARE(snapshot(), before);
            return;
        }
        // Accepted: the stay holds every night asked for and no night of any
        // room holds two rows.
        QCOMPARE(Sql(db(), QStringLiteral("SELECT COUNT(*) FROM reserv WHERE numero = :n AND info = :c "
                                          "AND r_date >= :d AND r_date <= :f"))
                     .bind(QStringLiteral(":n"), room)
                     .bind(QStringLiteral(":c"), martin)
                     .bind(QStringLiteral(":d"), from)
                     .bind(QStringLiteral(":f"), to)
                     .scalar()
                     .toInt(),
                 int(first.daysTo(last)) + 1);
        QCOMPARE(Sql(db(), QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM reserv GROUP BY numero, r_date "
                                          "HAVING COUNT(*) > 1)"))
                     .scalar()
                     .toInt(),
                 0);
    }

    void failureLeavesTheDatabaseAsItWas_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<int>("operation"); // 0 create, 1 change, 2 delete
        const QString failOnThirdNight = QStringLiteral(
            "CREATE TEMP TRIGGER panne BEFORE INSERT ON reserv WHEN (SELECT COUNT(*) FROM reserv) >= 7 "
            "BEGIN SELECT RAISE(ABORT, 'panne simulée'); END");
        const QString failOnServices = QStringLiteral(
            "CREATE TEMP TRIGGER panne BEFORE INSERT ON reserv_prestations WHEN NEW.id_prestations = 4 "
            "BEGIN SELECT RAISE(ABORT, 'panne simulée'); END");
        const QString failOnSecondDelete =
            QStringLiteral("CREATE TEMP TRIGGER panne BEFORE DELETE ON reserv WHEN OLD.r_date = '2024-06-12' "
                           "BEGIN SELECT RAISE(ABORT, 'panne simulée'); END");
        QTest::newRow("creation, third night") << failOnThirdNight << 0;
        QTest::newRow("creation, services") << failOnServices << 0;
        QTest::newRow("change, third new night") << failOnThirdNight << 1;
        QTest::newRow("change, services") << failOnServices << 1;
        QTest::newRow("deletion, a middle night") << failOnSecondDelete << 2;
    }

    void failureLeavesTheDatabaseAsItWas()
    {
        QFETCH(QString, trigger);
        QFETCH(int, operation);
        m_dir->writeFile(QStringLiteral("config.ini"), "[Sauvegarde]\r\ndateMaJPlanning=01/01/2024\r\n");
        const int client = addClient(2, QStringLiteral("Martin"));
        const QList<int> old = addStay("2024-06-10", "2024-06-14", 1, client);
        for (int id : old)
            attach(id, 1, 1);
        const QStringList before = snapshot();
        execSql(db(), trigger);

        Reservation r;
        bool failed = false;
        try {
            if (operation == 0) {
                r.ajouterReservation(2, kReserve, client, day("2024-07-01"), day("2024-07-05"),
                                     grid({QStringLiteral("1:1"), QStringLiteral("4:1")}), 2, 0);
            } else if (operation == 1) {
                r.modifierReservation(true, 3, 1, kPaye, client, day("2024-06-08"), day("2024-06-16"),
                                      grid({QStringLiteral("1:1"), QStringLiteral("4:1")}), grid({}),
                                      day("2024-06-10"), day("2024-06-14"), 2, 0);
            } else {
                r.supprimerReservation(old.first());
            }
        } catch (const DatabaseError &e) {
            failed = e.text().contains(QStringLiteral("panne simulée"));
        }
        QVERIFY(failed);
        execSql(db(), QStringLiteral("DROP TRIGGER panne"));
        QCOMPARE(snapshot(), before);
    }

private:
    std::unique_ptr<TestDataDir> m_dir;
};

QTEST_GUILESS_MAIN(TstReservation)
#include "tst_reservation.moc"
