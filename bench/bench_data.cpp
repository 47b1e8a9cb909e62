#include "bench_data.h"

#include "common/errors.h"
#include "common/paths.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/database_file.h"
#include "data/reservation.h"
#include "data/sql.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>
#include <random>

namespace BenchData {

namespace {

constexpr int kRooms = 25;

struct Service
{
    const char *label;
    double price; // room 1; the nightly rate grows with the floor
    double vat;
    bool perRoomPrice;
};

// Service 1 is the night itself; the others are the usual extras.
const Service kServices[] = {
    {"Nuitée", 68.0, 10, true},         {"Petit déjeuner", 9.5, 10, false},
    {"Taxe de séjour", 1.2, 0, false},  {"Parking", 8.0, 20, false},
    {"Demi-pension", 24.0, 10, false},  {"Lit supplémentaire", 15.0, 10, true},
    {"Animal", 6.0, 20, false},         {"Dîner", 22.0, 10, false},
    {"Boissons", 4.5, 20, false},       {"Accès spa", 18.0, 20, false},
    {"Départ tardif", 20.0, 20, false}, {"Pressing", 12.0, 20, false},
};
constexpr int kServiceCount = int(sizeof(kServices) / sizeof(kServices[0]));

const char *const kSurnames[] = {
    "Martin",   "Bernard", "Dubois",  "Thomas",   "Robert",   "Richard",  "Petit",     "Durand",
    "Leroy",    "Moreau",  "Simon",   "Laurent",  "Lefebvre", "Michel",   "Garcia",    "David",
    "Bertrand", "Roux",    "Vincent", "Fournier", "Morel",    "Girard",   "André",     "Lefèvre",
    "Mercier",  "Dupont",  "Lambert", "Bonnet",   "François", "Martinez", "D'Almeida", "Le Gall"};
const char *const kFirstNames[] = {"Marie",   "Jean", "Pierre", "Michel",  "Anne",
                                   "Sophie",  "Luc",  "Claire", "Julien",  "Camille",
                                   "Nicolas", "Léa",  "Hélène", "Thierry", "Chloé"};
const char *const kCompanies[] = {
    "Transports Morel",   "SARL Dupont & Fils",       "Cabinet Leroy", "Bâtiment 2000", "Agence Horizon",
    "Laboratoires Alpha", "Société Générale d'Études"};

QString text(const char *s)
{
    return QString::fromUtf8(s);
}

void writeConfig(const QString &dir)
{
    QStringList lines;
    lines << QStringLiteral("[Hotel]") << QStringLiteral("nom=Hôtel du Banc d'Essai") << QString();
    lines << QStringLiteral("[Chambres]") << QStringLiteral("nombre=%1").arg(kRooms) << QString();
    lines << QStringLiteral("[Affichage]") << QStringLiteral("type=Etat") << QString();
    for (int room = 1; room <= kRooms; ++room) {
        const int floor = (room - 1) / 5 + 1;
        lines << QStringLiteral("[Chambre%1]").arg(room)
              << QStringLiteral("nom=%1%2").arg(floor).arg((room - 1) % 5 + 1, 2, 10, QLatin1Char('0'))
              << QStringLiteral("Cbordure=clSilver") << QStringLiteral("Cfond=clWhite")
              << QStringLiteral("NbPersMax=%1").arg(room % 5 == 0 ? 4 : 2) << QString();
    }
    QFile f(QDir(dir).filePath(QStringLiteral("config.ini")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw KestrovaError(QStringLiteral("Impossible d'écrire %1").arg(f.fileName()));
    f.write(lines.join(QStringLiteral("\r\n")).toUtf8());
}

} // namespace

Summary create(const QString &dir, unsigned seed)
{
    QString error;
    if (!Paths::useDataDir(dir, &error))
        throw KestrovaError(error);
    DataModule::release();
    for (const char *name : {"reserv.mdb", "reserv.mdb-wal", "reserv.mdb-shm", "config.ini"})
        QFile::remove(QDir(dir).filePath(QString::fromLatin1(name)));
    writeConfig(dir);
    DatabaseFile::prepare(QString::fromLatin1(DataModule::sharedConnectionName()));
    const QSqlDatabase db = DataModule::shared();

    Summary summary;
    summary.rooms = kRooms;
    summary.firstNight = QDate(2016, 1, 1);
    summary.lastNight = QDate(2025, 12, 31);
    summary.today = QDate(2025, 6, 1);

    std::mt19937 rng(seed);
    auto chance = [&rng](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    auto pick = [&rng](int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng); };

    Transaction transaction(db);

    Sql service(db,
                QStringLiteral("INSERT INTO prestations (id_prestation, libelle, numero_chambre, tarif_ht, "
                               "tarif_tva, tarif_ttc, chk_gratuit_enfant, chk_add_auto) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int s = 0; s < kServiceCount; ++s) {
        for (int room = 1; room <= kRooms; ++room) {
            const Service &def = kServices[s];
            const double ht = def.perRoomPrice ? def.price + 8.0 * ((room - 1) / 5) : def.price;
            service.add(s + 1).add(text(def.label)).add(room).add(ht);
            service.add(def.vat > 0 ? QVariant(def.vat) : QVariant());
            service.add(qRound(ht * (1 + def.vat / 100) * 100) / 100.0)
                .add(s == 2 ? 1 : 0)
                .add(s < 3 ? 1 : 0);
            service.exec();
        }
    }

    // Clients: mostly private guests (kind 2), some companies (kind 1 with a
    // company name, a few without a surname).
    Sql client(db, QStringLiteral("INSERT INTO infos (type, nom_ets, nom, prenom, tel, somme, email) "
                                  "VALUES (?, ?, ?, ?, ?, 0, ?)"));
    const int clientCount = 6000;
    for (int c = 0; c < clientCount; ++c) {
        const bool company = chance(0.15);
        const QString nom = text(kSurnames[pick(0, std::size(kSurnames) - 1)]);
        client.add(company ? 1 : 2);
        client.add(company ? text(kCompanies[pick(0, std::size(kCompanies) - 1)]) : QString());
        client.add(company && chance(0.4) ? QVariant() : QVariant(nom));
        client.add(text(kFirstNames[pick(0, std::size(kFirstNames) - 1)]));
        client.add(QStringLiteral("06%1").arg(pick(10000000, 99999999)));
        client.add(QString(nom.toLower() + QStringLiteral("@exemple.fr")));
        client.exec();
    }
    summary.clients = clientCount + 1; // with the hotel itself (client 1)

    // Stays are drawn room by room, then written in the order they were booked
    // (some weeks to months ahead of their first night), as a hotel's file grows.
    struct Stay
    {
        int room;
        QDate first;
        int length;
        int guest;
        QString etat;
        int adults;
        int children;
        bool oldRow; // from before the columns of adults and children
        bool parking;
        bool halfBoard;
        qint64 bookedOn;
    };
    QList<Stay> stays;
    const int lengths[] = {1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 5, 5, 6, 7, 7, 10, 14};
    for (int room = 1; room <= kRooms; ++room) {
        QDate day = summary.firstNight;
        while (day <= summary.lastNight) {
            // Past and near nights: a free night now and then between stays;
            // far ahead the book fills less and less.
            double freeChance = 0.04;
            if (day > summary.today)
                freeChance =
                    0.1 + 0.75 * double(summary.today.daysTo(day)) / summary.today.daysTo(summary.lastNight);
            if (chance(freeChance)) {
                day = day.addDays(pick(1, day > summary.today ? 4 : 2));
                continue;
            }
            Stay stay;
            stay.room = room;
            stay.first = day;
            stay.length =
                qMin<int>(lengths[pick(0, std::size(lengths) - 1)], day.daysTo(summary.lastNight) + 1);
            // A fifth of the stays are regulars among the first 300 clients.
            stay.guest = chance(0.2) ? pick(2, 301) : pick(2, clientCount + 1);
            stay.adults = chance(0.6) ? 2 : pick(1, 4);
            stay.children = chance(0.8) ? 0 : pick(1, 2);
            if (day < summary.today)
                stay.etat = chance(0.92)  ? QStringLiteral("Payé")
                            : chance(0.5) ? QStringLiteral("Acompte")
                                          : QStringLiteral("Réservé");
            else
                stay.etat = chance(0.6) ? QStringLiteral("Réservé") : QStringLiteral("Acompte");
            stay.oldRow = day.year() < 2017 && chance(0.3);
            stay.parking = chance(0.15);
            stay.halfBoard = chance(0.1);
            stay.bookedOn = day.toJulianDay() - pick(0, 120);
            stays.append(stay);
            day = day.addDays(stay.length);
        }
    }
    std::stable_sort(stays.begin(), stays.end(),
                     [](const Stay &a, const Stay &b) { return a.bookedOn < b.bookedOn; });

    Sql night(db,
              QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, reglement, nbpers, nbenfants) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?)"));
    Sql extra(db, QStringLiteral(
                      "INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) VALUES (?, ?, ?)"));
    auto addService = [&](int id, int s, int nb) {
        extra.add(id).add(s).add(nb).exec();
        ++summary.services;
    };
    for (const Stay &stay : stays) {
        for (int n = 0; n < stay.length; ++n) {
            const QDate day = stay.first.addDays(n);
            night.add(day.toString(Qt::ISODate)).add(stay.room).add(stay.guest).add(stay.etat);
            night.add(stay.etat == QLatin1String("Réservé") ? QVariant() : QVariant(0));
            night.add(stay.oldRow ? QVariant() : QVariant(stay.adults));
            night.add(stay.oldRow ? QVariant() : QVariant(stay.children));
            night.exec();
            const int id = night.lastInsertId().toInt();
            ++summary.nights;
            addService(id, 1, 1);
            if (chance(0.65))
                addService(id, 2, stay.adults + stay.children);
            if (chance(0.85))
                addService(id, 3, stay.adults);
            if (stay.parking)
                addService(id, 4, 1);
            if (stay.halfBoard)
                addService(id, 5, stay.adults);
            if (stay.children > 0 && chance(0.3))
                addService(id, 6, 1);
            if (chance(0.05))
                addService(id, pick(7, kServiceCount), 1);
        }
    }
    // About one invoice per stay, made out on the day of departure. A generator
    // of its own keeps every row above identical to what it was before invoices.
    std::mt19937 invoiceRng(seed + 1);
    auto invoiceChance = [&invoiceRng](double p) {
        return std::uniform_real_distribution<double>(0, 1)(invoiceRng) < p;
    };
    const QStringList modes = {QStringLiteral("Chèque"), QStringLiteral("Espèces"), QStringLiteral("CB"),
                               QStringLiteral("Virement"), QStringLiteral("Non payé")};
    Sql invoice(db, QStringLiteral("INSERT INTO facturation (id_client, adresse_facturation, f_date, "
                                   "mode_reglement, sejour_debut, sejour_fin, total_ht, total_tva, total_ttc, "
                                   "remise, acompte) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    Sql invoiceLine(db, QStringLiteral("INSERT INTO facturation_item (id_facture, id_prestation, libelle, nb, "
                                       "tarif_ht, taux_tva, tarif_ttc) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    std::vector<Stay> byDeparture(stays.begin(), stays.end());
    std::stable_sort(byDeparture.begin(), byDeparture.end(), [](const Stay &a, const Stay &b) {
        return a.first.addDays(a.length) < b.first.addDays(b.length);
    });
    for (const Stay &stay : byDeparture) {
        const QDate departure = stay.first.addDays(stay.length);
        if (departure > summary.today.addDays(30) || invoiceChance(0.05))
            continue;
        struct Line
        {
            int service;
            int nb;
        };
        QList<Line> lines{{1, stay.length}, {3, stay.adults * stay.length}};
        if (stay.parking)
            lines.append({4, stay.length});
        if (stay.halfBoard)
            lines.append({5, stay.adults * stay.length});
        double ht = 0;
        double ttc = 0;
        for (const Line &l : lines) {
            const Service &def = kServices[l.service - 1];
            const double unit = def.perRoomPrice ? def.price + 8.0 * ((stay.room - 1) / 5) : def.price;
            ht += unit * l.nb;
            ttc += qRound(unit * (1 + def.vat / 100) * 100) / 100.0 * l.nb;
        }
        const QString mode = departure > summary.today || invoiceChance(0.04)
                                 ? modes.last()
                                 : modes.at(std::uniform_int_distribution<int>(0, 3)(invoiceRng));
        const double discount = invoiceChance(0.1) ? 10.0 : 0.0;
        const QString name = Sql(db, QStringLiteral("SELECT COALESCE(nom, nom_ets, '') || ' ' || "
                                                    "COALESCE(prenom, '') FROM infos WHERE id = ?"))
                                 .add(stay.guest)
                                 .scalar()
                                 .toString();
        invoice.add(stay.guest)
            .add(QString(name + QStringLiteral("\r\n12 rue des Lilas\r\n75011 Paris")))
            .add(departure.toString(Qt::ISODate))
            .add(mode)
            .add(stay.first.toString(Qt::ISODate))
            .add(departure.toString(Qt::ISODate));
        const double ratio = discount / ht;
        const double tva = std::trunc((ttc - ht) * (1 - ratio) * 100) / 100;
        invoice.add(ht - discount).add(tva).add(ht - discount + tva).add(discount);
        invoice.add(invoiceChance(0.2) ? QVariant(50.0) : QVariant(0.0)).exec();
        const int number = invoice.lastInsertId().toInt();
        ++summary.invoices;
        for (const Line &l : lines) {
            const Service &def = kServices[l.service - 1];
            const double unit = def.perRoomPrice ? def.price + 8.0 * ((stay.room - 1) / 5) : def.price;
            invoiceLine.add(number).add(l.service).add(text(def.label)).add(l.nb).add(unit * l.nb);
            invoiceLine.add(def.vat > 0 ? QVariant(def.vat) : QVariant());
            invoiceLine.add(qRound(unit * (1 + def.vat / 100) * 100) / 100.0 * l.nb).exec();
            ++summary.invoiceLines;
        }
    }

    // Some clients were deleted from the card after their stays.
    execSql(db, QStringLiteral("DELETE FROM infos WHERE id % 400 = 7"));
    summary.clients = Sql(db, QStringLiteral("SELECT COUNT(*) FROM infos")).scalar().toInt();
    transaction.commit();
    execSql(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return summary;
}

void absoluteOutputPath(int argc, char **argv)
{
    // The rewritten arguments must outlive main's use of argv.
    static std::vector<std::string> kept;
    kept.reserve(std::size_t(argc));
    const std::string flag = "--benchmark_out";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string prefix;
        std::string path;
        if (arg.rfind(flag + "=", 0) == 0) {
            prefix = flag + "=";
            path = arg.substr(prefix.size());
        } else if (arg == flag && i + 1 < argc) {
            path = argv[++i];
        } else {
            continue;
        }
        if (path.empty() || QDir::isAbsolutePath(QString::fromLocal8Bit(path.c_str())))
            continue;
        kept.push_back(prefix + QDir::current().absoluteFilePath(QString::fromLocal8Bit(path.c_str())).toLocal8Bit().toStdString());
        argv[i] = kept.back().data();
    }
}

void commitWeekStays(benchmark::State &state, int rooms)
{
    TextGrid grid(5, 3);
    grid.setRow(1, {QStringLiteral("1"), QStringLiteral("Nuitée"), QStringLiteral("1")});
    grid.setRow(2, {QStringLiteral("2"), QStringLiteral("Petit déjeuner"), QStringLiteral("2")});
    grid.setRow(3, {QStringLiteral("3"), QStringLiteral("Taxe de séjour"), QStringLiteral("2")});
    const QSqlDatabase db = DataModule::shared();
    const auto deleteStays = [&db] {
        execSql(db, QStringLiteral("DELETE FROM reserv_prestations WHERE id_reserv IN "
                                   "(SELECT id FROM reserv WHERE r_date >= '2030-01-01')"));
        execSql(db, QStringLiteral("DELETE FROM reserv WHERE r_date >= '2030-01-01'"));
    };
    int i = 0;
    for (auto _ : state) {
        const QDate from = QDate(2030, 1, 1).addDays(7 * (i % 200));
        Reservation().ajouterReservation(i % rooms + 1, QStringLiteral("Réservé"), 42, from, from.addDays(6), grid,
                                         2, 0);
        ++i;
        if (i % 200 == 0) {
            state.PauseTiming();
            deleteStays();
            state.ResumeTiming();
        }
    }
    deleteStays();
}

} // namespace BenchData
