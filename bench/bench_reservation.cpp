// Planning fills, statistics, free rooms and stay creation on ten years of a
// 25-room hotel, each measured beside the same work done with one statement
// per day (or per room and month) whose dates are compared through strftime,
// which no index can serve. Before timing, both ways are checked to give the
// same results on the benchmark database.

#include "bench_data.h"

#include "common/errors.h"
#include "common/paths.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/database_file.h"
#include "data/log.h"
#include "data/reservation.h"
#include "data/sql.h"
#include "data/sqlite_file.h"
#include "planning/available_rooms.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <cstdio>

namespace {

constexpr int kRooms = 25;
const QDate kMonday(2021, 3, 8); // a busy week of the past
const QDate kMonth(2021, 7, 1);
const int kYear = 2021;
const QDate kFreeFrom(2025, 10, 6); // where the book has thinned out: some rooms free
const QDate kFreeTo = kFreeFrom.addDays(13);

// ---- The same operations, one statement per day with date functions --------

const QString kYmd = QStringLiteral("CAST(strftime('%Y', r_date) AS INTEGER) = :y "
                                    "AND CAST(strftime('%m', r_date) AS INTEGER) = :m "
                                    "AND CAST(strftime('%d', r_date) AS INTEGER) = :d ");
const QString kYm = QStringLiteral("CAST(strftime('%Y', r_date) AS INTEGER) = :y "
                                   "AND CAST(strftime('%m', r_date) AS INTEGER) = :m ");

Sql &bindDay(Sql &q, const QDate &day)
{
    return q.bind(QStringLiteral(":y"), day.year())
        .bind(QStringLiteral(":m"), day.month())
        .bind(QStringLiteral(":d"), day.day());
}

namespace PerDay {

QString etatJour(const QSqlDatabase &db, int room, const QDate &day)
{
    Sql q(db, QStringLiteral("SELECT etat FROM reserv WHERE ") + kYmd +
                  QStringLiteral("AND numero = :n ORDER BY r_date"));
    bindDay(q, day).bind(QStringLiteral(":n"), room);
    QString etat;
    for (const QVariantList &row : q.rows())
        etat = row.at(0).toString();
    return etat;
}

QString nomClientJour(const QSqlDatabase &db, int room, const QDate &day)
{
    Sql q(db, QStringLiteral(
                  "SELECT nom, etat, nom_ets, type FROM reserv INNER JOIN infos ON reserv.info = infos.id "
                  "WHERE ") +
                  kYmd + QStringLiteral("AND numero = :n ORDER BY r_date"));
    bindDay(q, day).bind(QStringLiteral(":n"), room);
    QString text;
    for (const QVariantList &row : q.rows()) {
        // Both client kinds: the surname, else the company, else the state.
        const int type = row.at(3).toInt();
        if (type == 1 || type == 2)
            text = !row.at(0).toString().isEmpty()   ? row.at(0).toString()
                   : !row.at(2).toString().isEmpty() ? row.at(2).toString()
                                                     : row.at(1).toString();
    }
    return text;
}

void etatsMois(const QSqlDatabase &db, int room, QStringList &list, const QDate &month)
{
    Sql q(db, QStringLiteral("SELECT etat, CAST(strftime('%d', r_date) AS INTEGER) FROM reserv WHERE ") +
                  kYm + QStringLiteral("AND numero = :n ORDER BY r_date"));
    q.bind(QStringLiteral(":y"), month.year())
        .bind(QStringLiteral(":m"), month.month())
        .bind(QStringLiteral(":n"), room);
    for (const QVariantList &row : q.rows())
        list[row.at(1).toInt() - 1] = row.at(0).toString();
}

void clientsMois(const QSqlDatabase &db, int room, QStringList &list, const QDate &month)
{
    Sql q(db, QStringLiteral(
                  "SELECT nom, etat, CAST(strftime('%d', r_date) AS INTEGER), nom_ets, type FROM reserv "
                  "INNER JOIN infos ON reserv.info = infos.id WHERE ") +
                  kYm + QStringLiteral("AND numero = :n ORDER BY r_date"));
    q.bind(QStringLiteral(":y"), month.year())
        .bind(QStringLiteral(":m"), month.month())
        .bind(QStringLiteral(":n"), room);
    for (const QVariantList &row : q.rows()) {
        const QString etat = row.at(1).toString();
        const int type = row.at(4).toInt();
        QString &entry = list[row.at(2).toInt() - 1];
        if (type == 1 || type == 2)
            entry = !row.at(0).toString().isEmpty()   ? row.at(0).toString() + QLatin1Char(' ') + etat
                    : !row.at(3).toString().isEmpty() ? row.at(3).toString() + QLatin1Char(' ') + etat
                                                      : etat;
    }
    const int days = month.daysInMonth();
    int written = 0;
    for (int i = 0; i <= days; ++i)
        written += list.at(i).isEmpty() ? 0 : 1;
    Sql count(db, QStringLiteral("SELECT etat FROM reserv WHERE ") + kYm +
                      QStringLiteral("AND numero = :n ORDER BY r_date"));
    count.bind(QStringLiteral(":y"), month.year())
        .bind(QStringLiteral(":m"), month.month())
        .bind(QStringLiteral(":n"), room);
    if (written == count.rows().size())
        return;
    for (int i = 0; i <= days; ++i) {
        if (!list.at(i).isEmpty())
            continue;
        Sql one(db, QStringLiteral("SELECT etat FROM reserv WHERE ") + kYmd +
                        QStringLiteral("AND numero = :n ORDER BY r_date"));
        one.bind(QStringLiteral(":y"), month.year())
            .bind(QStringLiteral(":m"), month.month())
            .bind(QStringLiteral(":d"), i + 1)
            .bind(QStringLiteral(":n"), room);
        const QList<QVariantList> rows = one.rows();
        if (rows.size() == 1)
            list[i] = rows.first().at(0).toString();
    }
}

bool estDisponible(const QSqlDatabase &db, int room, const QDate &from, const QDate &to)
{
    for (QDate day = from; day <= to; day = day.addDays(1)) {
        Sql q(db,
              QStringLiteral("SELECT etat FROM reserv WHERE ") + kYmd + QStringLiteral("AND numero = :n"));
        bindDay(q, day).bind(QStringLiteral(":n"), room);
        if (q.scalar().isValid())
            return false;
    }
    return true;
}

QStringList freeRooms(const QSqlDatabase &db, const QDate &from, const QDate &to)
{
    QStringList out;
    for (int room = 1; room <= kRooms; ++room)
        if (estDisponible(db, room, from, to))
            out << Settings::roomName(room);
    return out.isEmpty() ? QStringList{AvailableRooms::noRoomText()} : out;
}

QVariant monthSum(const QSqlDatabase &db, const QString &select, int room, int year, int month)
{
    Sql q(db, select + kYm + QStringLiteral("AND numero = :n"));
    q.bind(QStringLiteral(":y"), year).bind(QStringLiteral(":m"), month).bind(QStringLiteral(":n"), room);
    return q.scalar();
}

YearFigures year(const QSqlDatabase &db, int y)
{
    YearFigures f(y, kRooms);
    const QString turnover = QStringLiteral(
        "SELECT SUM(reserv_prestations.nb * prestations.tarif_ht) FROM reserv, reserv_prestations, "
        "prestations "
        "WHERE reserv.id = reserv_prestations.id_reserv AND reserv_prestations.id_prestations = "
        "prestations.id_prestation AND prestations.numero_chambre = reserv.numero AND ");
    for (int room = 1; room <= kRooms; ++room) {
        for (int m = 1; m <= 12; ++m) {
            f.setTurnover(room, m, monthSum(db, turnover, room, y, m).toDouble());
            f.setNights(room, m,
                        int(Sql(db, QStringLiteral("SELECT etat FROM reserv WHERE ") + kYm +
                                        QStringLiteral("AND numero = :n"))
                                .bind(QStringLiteral(":y"), y)
                                .bind(QStringLiteral(":m"), m)
                                .bind(QStringLiteral(":n"), room)
                                .rows()
                                .size()));
            f.setPersons(
                room, m,
                monthSum(db, QStringLiteral("SELECT SUM(nbpers) FROM reserv WHERE "), room, y, m).toInt());
        }
    }
    return f;
}

// Night by night without a transaction: every statement is its own commit.
void createStay(const QSqlDatabase &db, int room, int client, const QDate &from, const QDate &to,
                const TextGrid &grid)
{
    Log log;
    for (QDate day = from; day <= to; day = day.addDays(1)) {
        Sql(db, QStringLiteral("INSERT INTO reserv (numero, info, etat, r_date, nbpers, nbenfants) "
                               "VALUES (:n, :c, 'Réservé', :d, 2, 0)"))
            .bind(QStringLiteral(":n"), room)
            .bind(QStringLiteral(":c"), client)
            .bind(QStringLiteral(":d"), day.toString(Qt::ISODate))
            .exec();
        const int id = Sql(db, QStringLiteral("SELECT max(id) FROM reserv")).scalar().toInt();
        log.journaliserAjoutReservation(id, day.toString(QStringLiteral("dd/MM/yyyy")), QStringLiteral("0"),
                                        QStringLiteral("Réservé"), QString::number(client),
                                        QString::number(room));
        for (int r = 1; r <= grid.rowCount() - 2; ++r) {
            Sql(db,
                QStringLiteral(
                    "INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) VALUES (:r, :p, :nb)"))
                .bind(QStringLiteral(":r"), id)
                .bind(QStringLiteral(":p"), grid.cell(r, 0).toInt())
                .bind(QStringLiteral(":nb"), grid.cell(r, 2).toInt())
                .exec();
        }
    }
}

} // namespace PerDay

// ---- Shared fixtures ---------------------------------------------------------

QList<QStringList> g_lists(kRooms);

TextGrid threeServices()
{
    TextGrid grid(5, 3);
    grid.setRow(1, {QStringLiteral("1"), QStringLiteral("Nuitée"), QStringLiteral("1")});
    grid.setRow(2, {QStringLiteral("2"), QStringLiteral("Petit déjeuner"), QStringLiteral("2")});
    grid.setRow(3, {QStringLiteral("3"), QStringLiteral("Taxe de séjour"), QStringLiteral("2")});
    return grid;
}

void deleteTestStays(const QSqlDatabase &db)
{
    execSql(db, QStringLiteral("DELETE FROM reserv_prestations WHERE id_reserv IN "
                               "(SELECT id FROM reserv WHERE r_date >= '2030-01-01')"));
    execSql(db, QStringLiteral("DELETE FROM reserv WHERE r_date >= '2030-01-01'"));
}

// ---- Benchmarks --------------------------------------------------------------

void WeekStates_Indexed(benchmark::State &state)
{
    for (auto _ : state) {
        const PlanningTable table = Reservation().lirePlanningSemaine(kMonday, kRooms);
        for (int room = 1; room <= kRooms; ++room)
            g_lists[room - 1] = table.etats(room);
        benchmark::DoNotOptimize(g_lists);
    }
}

void WeekStates_PerDay(benchmark::State &state)
{
    const QSqlDatabase db = DataModule::shared();
    for (auto _ : state) {
        for (int room = 1; room <= kRooms; ++room) {
            QStringList &list = g_lists[room - 1];
            list = QStringList(7);
            for (int d = 0; d < 7; ++d)
                list[d] = PerDay::etatJour(db, room, kMonday.addDays(d));
        }
        benchmark::DoNotOptimize(g_lists);
    }
}

void WeekNames_Indexed(benchmark::State &state)
{
    for (auto _ : state) {
        const PlanningTable table = Reservation().lirePlanningSemaine(kMonday, kRooms);
        for (int room = 1; room <= kRooms; ++room)
            g_lists[room - 1] = table.textesClients(room);
        benchmark::DoNotOptimize(g_lists);
    }
}

void WeekNames_PerDay(benchmark::State &state)
{
    const QSqlDatabase db = DataModule::shared();
    for (auto _ : state) {
        for (int room = 1; room <= kRooms; ++room) {
            QStringList &list = g_lists[room - 1];
            list = QStringList(7);
            for (int d = 0; d < 7; ++d)
                list[d] = PerDay::nomClientJour(db, room, kMonday.addDays(d));
        }
        benchmark::DoNotOptimize(g_lists);
    }
}

void WeekStates_PerRoomIndexed(benchmark::State &state)
{
    for (auto _ : state) {
        Reservation reservation;
        for (int room = 1; room <= kRooms; ++room) {
            g_lists[room - 1] = QStringList(7);
            reservation.remplirEtatsSemaine(room, g_lists[room - 1], kMonday);
        }
        benchmark::DoNotOptimize(g_lists);
    }
}

void MonthStates_Indexed(benchmark::State &state)
{
    for (auto _ : state) {
        const PlanningTable table = Reservation().lirePlanningMois(kMonth, kRooms);
        for (int room = 1; room <= kRooms; ++room)
            g_lists[room - 1] = table.etats(room);
        benchmark::DoNotOptimize(g_lists);
    }
}

void MonthStates_PerRoom(benchmark::State &state)
{
    const QSqlDatabase db = DataModule::shared();
    for (auto _ : state) {
        for (int room = 1; room <= kRooms; ++room) {
            g_lists[room - 1] = QStringList(32);
            PerDay::etatsMois(db, room, g_lists[room - 1], kMonth);
        }
        benchmark::DoNotOptimize(g_lists);
    }
}

void MonthNames_Indexed(benchmark::State &state)
{
    for (auto _ : state) {
        const PlanningTable table = Reservation().lirePlanningMois(kMonth, kRooms);
        for (int room = 1; room <= kRooms; ++room)
            g_lists[room - 1] = table.textesMois(room);
        benchmark::DoNotOptimize(g_lists);
    }
}

void MonthNames_PerRoom(benchmark::State &state)
{
    const QSqlDatabase db = DataModule::shared();
    for (auto _ : state) {
        for (int room = 1; room <= kRooms; ++room) {
            g_lists[room - 1] = QStringList(32);
            PerDay::clientsMois(db, room, g_lists[room - 1], kMonth);
        }
        benchmark::DoNotOptimize(g_lists);
    }
}

void YearStatistics_Indexed(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Reservation().lireStatistiquesAnnee(kYear, kRooms));
}

// The floor of the month fill: the planning's statement (as Reservation
// writes it for every room) stepped through by SQLite alone, each column read
// as the fill reads it, nothing converted into the program's values.
void MonthNames_BareSqlite(benchmark::State &state)
{
    SqliteFile file;
    if (!file.open(QDir::current().filePath(QStringLiteral("reserv.mdb")), SQLITE_OPEN_READONLY)) {
        state.SkipWithError("reserv.mdb illisible");
        return;
    }
    const char *text = "SELECT r.numero, r.r_date, r.id, r.info, r.etat, i.id, i.type, i.nom, i.nom_ets "
                       "FROM reserv r LEFT JOIN infos i ON i.id = r.info "
                       "WHERE r.r_date >= :debut AND r.r_date < :fin ORDER BY r.r_date, r.id";
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(file.handle(), text, -1, &statement, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(file.handle()));
        return;
    }
    const QByteArray from = kMonth.toString(Qt::ISODate).toLatin1();
    const QByteArray to = kMonth.addMonths(1).toString(Qt::ISODate).toLatin1();
    for (auto _ : state) {
        sqlite3_bind_text(statement, 1, from.constData(), 10, SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, to.constData(), 10, SQLITE_STATIC);
        long long sum = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < 9; ++c)
                sum += (c == 1 || c == 4 || c >= 7) ? sqlite3_column_bytes(statement, c)
                                                     : sqlite3_column_int(statement, c);
        }
        sqlite3_reset(statement);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(statement);
}

// The floor of the year: the same statement run by SQLite alone on the same
// file (every row stepped through, no conversion into the program's values).
void YearStatistics_BareSqlite(benchmark::State &state)
{
    SqliteFile file;
    if (!file.open(QDir::current().filePath(QStringLiteral("reserv.mdb")), SQLITE_OPEN_READONLY)) {
        state.SkipWithError("reserv.mdb illisible");
        return;
    }
    const QByteArray text = Reservation::statistiquesAnneeSql().toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(file.handle(), text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(file.handle()));
        return;
    }
    QList<QByteArray> bounds;
    for (int month = 1; month <= 13; ++month)
        bounds << QDate(kYear, 1, 1).addMonths(month - 1).toString(Qt::ISODate).toLatin1();
    for (auto _ : state) {
        sqlite3_bind_int(statement, sqlite3_bind_parameter_index(statement, ":chambres"), kRooms);
        for (int month = 1; month <= 12; ++month) {
            const QByteArray n = QByteArray::number(month);
            sqlite3_bind_text(statement, sqlite3_bind_parameter_index(statement, QByteArray(":debut" + n).constData()),
                              bounds.at(month - 1).constData(), 10, SQLITE_STATIC);
            sqlite3_bind_text(statement, sqlite3_bind_parameter_index(statement, QByteArray(":fin" + n).constData()),
                              bounds.at(month).constData(), 10, SQLITE_STATIC);
        }
        double sum = 0;
        while (sqlite3_step(statement) == SQLITE_ROW)
            sum += sqlite3_column_int(statement, 2) + sqlite3_column_int(statement, 3) +
                   sqlite3_column_double(statement, 4);
        sqlite3_reset(statement);
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(statement);
}

void YearStatistics_PerMonthIndexed(benchmark::State &state)
{
    for (auto _ : state) {
        Reservation reservation;
        double sum = 0;
        for (int room = 1; room <= kRooms; ++room)
            for (int m = 1; m <= 12; ++m)
                sum += reservation.getChiffreAffairesMois(room, kYear, m) +
                       reservation.getNbNuitsMois(room, kYear, m) +
                       reservation.getNbPersonnesMois(room, kYear, m);
        benchmark::DoNotOptimize(sum);
    }
}

void YearStatistics_PerMonth(benchmark::State &state)
{
    const QSqlDatabase db = DataModule::shared();
    for (auto _ : state)
        benchmark::DoNotOptimize(PerDay::year(db, kYear));
}

void FreeRooms_Indexed(benchmark::State &state)
{
    AvailableRooms::Request request;
    request.first = kFreeFrom;
    request.last = kFreeTo;
    for (auto _ : state)
        benchmark::DoNotOptimize(AvailableRooms::compute(request, kRooms));
}

void FreeRooms_PerDay(benchmark::State &state)
{
    const QSqlDatabase db = DataModule::shared();
    for (auto _ : state)
        benchmark::DoNotOptimize(PerDay::freeRooms(db, kFreeFrom, kFreeTo));
}

void CreateStay_Transaction(benchmark::State &state)
{
    BenchData::commitWeekStays(state, kRooms);
}

// The same creation inside an outer transaction that is rolled back: the
// difference with the committed creation is the commit's disk flush.
void CreateStay_NoCommit(benchmark::State &state)
{
    const TextGrid grid = threeServices();
    const QSqlDatabase db = DataModule::shared();
    int i = 0;
    for (auto _ : state) {
        const QDate from = QDate(2030, 1, 1).addDays(7 * (i % 200));
        Transaction outer(db);
        Reservation().ajouterReservation(i % kRooms + 1, QStringLiteral("Réservé"), 42, from, from.addDays(6),
                                         grid, 2, 0);
        ++i;
    }
}

void CreateStay_NightByNight(benchmark::State &state)
{
    const TextGrid grid = threeServices();
    const QSqlDatabase db = DataModule::shared();
    int i = 0;
    for (auto _ : state) {
        const QDate from = QDate(2030, 1, 1).addDays(7 * (i % 200));
        PerDay::createStay(db, i % kRooms + 1, 42, from, from.addDays(6), grid);
        ++i;
        if (i % 200 == 0) {
            state.PauseTiming();
            deleteTestStays(db);
            state.ResumeTiming();
        }
    }
    deleteTestStays(db);
}

// ---- Both ways must agree before anything is timed ---------------------------

bool check(bool ok, const char *what)
{
    if (!ok)
        std::fprintf(stderr, "Résultats différents : %s\n", what);
    return ok;
}

bool sameResults()
{
    const QSqlDatabase db = DataModule::shared();
    Reservation reservation;
    bool ok = true;
    for (int w = 0; w < 6; ++w) {
        const QDate monday = kMonday.addDays(7 * 61 * w);
        const PlanningTable table = reservation.lirePlanningSemaine(monday, kRooms);
        for (int room = 1; room <= kRooms; ++room) {
            QStringList states(7), names(7), perDayStates(7), perDayNames(7);
            reservation.remplirEtatsSemaine(room, states, monday);
            reservation.remplirClientsSemaine(room, names, monday);
            for (int d = 0; d < 7; ++d) {
                perDayStates[d] = PerDay::etatJour(db, room, monday.addDays(d));
                perDayNames[d] = PerDay::nomClientJour(db, room, monday.addDays(d));
            }
            ok = check(states == perDayStates && table.etats(room) == perDayStates, "états de la semaine") &&
                 ok;
            ok = check(names == perDayNames && table.textesClients(room) == perDayNames,
                       "noms de la semaine") &&
                 ok;
        }
    }
    for (int m = 0; m < 12; ++m) {
        const QDate month = QDate(2016 + m % 10, 1 + m, 1);
        const PlanningTable table = reservation.lirePlanningMois(month, kRooms);
        for (int room = 1; room <= kRooms; ++room) {
            QStringList states(32), names(32), perDayStates(32), perDayNames(32);
            reservation.remplirEtatsMois(room, states, month);
            reservation.remplirClientsMois(room, names, month);
            PerDay::etatsMois(db, room, perDayStates, month);
            PerDay::clientsMois(db, room, perDayNames, month);
            ok =
                check(states == perDayStates && table.etats(room) == perDayStates.mid(0, month.daysInMonth()),
                      "états du mois") &&
                ok;
            ok = check(names == perDayNames &&
                           table.textesMois(room) == perDayNames.mid(0, month.daysInMonth()),
                       "textes du mois") &&
                 ok;
        }
    }
    const YearFigures fast = reservation.lireStatistiquesAnnee(kYear, kRooms);
    const YearFigures slow = PerDay::year(db, kYear);
    for (int room = 1; room <= kRooms; ++room) {
        for (int m = 1; m <= 12; ++m) {
            ok = check(fast.nights(room, m) == slow.nights(room, m) &&
                           fast.nights(room, m) == reservation.getNbNuitsMois(room, kYear, m),
                       "nuits du mois") &&
                 ok;
            ok = check(fast.persons(room, m) == slow.persons(room, m) &&
                           fast.persons(room, m) == reservation.getNbPersonnesMois(room, kYear, m),
                       "personnes du mois") &&
                 ok;
            ok = check(qAbs(fast.turnover(room, m) - slow.turnover(room, m)) < 1e-6 &&
                           qAbs(fast.turnover(room, m) - reservation.getChiffreAffairesMois(room, kYear, m)) <
                               1e-6,
                       "chiffre d'affaires du mois") &&
                 ok;
        }
    }
    for (int w = 0; w < 8; ++w) {
        const QDate from = kFreeFrom.addDays(-60 + 9 * w);
        AvailableRooms::Request request;
        request.first = from;
        request.last = from.addDays(13);
        ok = check(AvailableRooms::compute(request, kRooms).entries ==
                       PerDay::freeRooms(db, from, from.addDays(13)),
                   "chambres libres") &&
             ok;
    }
    return ok;
}

} // namespace

BENCHMARK(WeekStates_Indexed)->Unit(benchmark::kMillisecond);
BENCHMARK(WeekStates_PerRoomIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(WeekStates_PerDay)->Unit(benchmark::kMillisecond);
BENCHMARK(WeekNames_Indexed)->Unit(benchmark::kMillisecond);
BENCHMARK(WeekNames_PerDay)->Unit(benchmark::kMillisecond);
BENCHMARK(MonthStates_Indexed)->Unit(benchmark::kMillisecond);
BENCHMARK(MonthStates_PerRoom)->Unit(benchmark::kMillisecond);
BENCHMARK(MonthNames_Indexed)->Unit(benchmark::kMillisecond);
BENCHMARK(MonthNames_BareSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(MonthNames_PerRoom)->Unit(benchmark::kMillisecond);
BENCHMARK(YearStatistics_Indexed)->Unit(benchmark::kMillisecond);
BENCHMARK(YearStatistics_BareSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(YearStatistics_PerMonthIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(YearStatistics_PerMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(FreeRooms_Indexed)->Unit(benchmark::kMillisecond);
BENCHMARK(FreeRooms_PerDay)->Unit(benchmark::kMillisecond);
BENCHMARK(CreateStay_Transaction)->Unit(benchmark::kMillisecond);
BENCHMARK(CreateStay_NoCommit)->Unit(benchmark::kMillisecond);
BENCHMARK(CreateStay_NightByNight)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchData::absoluteOutputPath(argc, argv);
    benchmark::Initialize(&argc, argv);
    // The database goes to KESTROVA_BENCH_DIR when given (kept), else to a
    // temporary directory on the same disk as the build.
    QTemporaryDir temporary(QDir::current().filePath(QStringLiteral("bench-XXXXXX")));
    const QString dir = qEnvironmentVariableIsSet("KESTROVA_BENCH_DIR")
                            ? qEnvironmentVariable("KESTROVA_BENCH_DIR")
                            : temporary.path();
    try {
        // KESTROVA_BENCH_REUSE=1 with KESTROVA_BENCH_DIR reuses the database
        // made and checked by an earlier run (for profiling the timed part alone).
        if (qEnvironmentVariableIsSet("KESTROVA_BENCH_REUSE") &&
            QFile::exists(QDir(dir).filePath(QStringLiteral("reserv.mdb")))) {
            QString error;
            Paths::useDataDir(dir, &error);
            DatabaseFile::prepare(QString::fromLatin1(DataModule::sharedConnectionName()));
        } else {
            const BenchData::Summary s = BenchData::create(dir);
            std::fprintf(
                stderr,
                "Base d'essai : %d chambres, %d nuits, %d prestations de nuits, %d clients, du %s au %s\n",
                s.rooms, s.nights, s.services, s.clients, qPrintable(s.firstNight.toString(Qt::ISODate)),
                qPrintable(s.lastNight.toString(Qt::ISODate)));
        }
        if (!qEnvironmentVariableIsSet("KESTROVA_BENCH_REUSE") && !sameResults())
            return 1;
        benchmark::RunSpecifiedBenchmarks();
    } catch (const KestrovaError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    benchmark::Shutdown();
    DataModule::release();
    return 0;
}
