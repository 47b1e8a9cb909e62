// The planning's week fill and a committed 7-night stay on both engines, in
// one run: the ten-year benchmark hotel in an SQLite file, and the same rows
// copied into a PostgreSQL database reached over a Unix socket. The server is
// started for the run (tests/support/pg_server.py, fsync on, so that a commit
// is as durable as SQLite's synchronous=FULL) and stopped at the end. Before
// timing, the week reads the same on both.

#include "bench_data.h"

#include "common/errors.h"
#include "common/paths.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/database_file.h"
#include "data/reservation.h"
#include "data/schema.h"
#include "data/sql.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSqlError>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kRooms = 25;
const QDate kMonday(2021, 3, 8); // a busy week of the past
QString g_sqliteDir;
QString g_postgresqlDir;
QList<QStringList> g_lists(kRooms);

void useDir(const QString &dir)
{
    if (Paths::dataDir() == QDir(dir).absolutePath())
        return;
    DataModule::release();
    QString error;
    if (!Paths::useDataDir(dir, &error))
        throw KestrovaError(error);
}

void weekStates(benchmark::State &state, const QString &dir)
{
    useDir(dir);
    for (auto _ : state) {
        const PlanningTable table = Reservation().lirePlanningSemaine(kMonday, kRooms);
        for (int room = 1; room <= kRooms; ++room)
            g_lists[room - 1] = table.etats(room);
        benchmark::DoNotOptimize(g_lists);
    }
}

void createStay(benchmark::State &state, const QString &dir)
{
    useDir(dir);
    BenchData::commitWeekStays(state, kRooms);
}

void WeekStates_Sqlite(benchmark::State &state) { weekStates(state, g_sqliteDir); }
void WeekStates_Postgresql(benchmark::State &state) { weekStates(state, g_postgresqlDir); }
void CreateStay_Sqlite(benchmark::State &state) { createStay(state, g_sqliteDir); }
void CreateStay_Postgresql(benchmark::State &state) { createStay(state, g_postgresqlDir); }

BENCHMARK(WeekStates_Sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(WeekStates_Postgresql)->Unit(benchmark::kMillisecond);
BENCHMARK(CreateStay_Sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(CreateStay_Postgresql)->Unit(benchmark::kMillisecond);

// ---- The server and the copy ------------------------------------------------

QString serverScript()
{
    return QStringLiteral(KESTROVA_SOURCE_DIR "/tests/support/pg_server.py");
}

bool server(const QString &action, const QString &state)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTROVA_PG_FSYNC"), QStringLiteral("on"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("/usr/bin/python3"), {serverScript(), action, state});
    if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "pg_server.py %s a échoué : %s\n", qPrintable(action), p.readAllStandardOutput().constData());
        return false;
    }
    return true;
}

QHash<QString, QString> readState(const QString &path)
{
    QHash<QString, QString> state;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &line : f.readAll().split('\n'))
            if (const qsizetype eq = line.indexOf('='); eq > 0)
                state.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    return state;
}

// Every table of the SQLite hotel into the PostgreSQL one, ids included, then
// the identity counters moved past the highest id. Returns the rows copied.
qint64 copyHotel(const QString &sqliteFile, const QSqlDatabase &target)
{
    const QString sourceName = QStringLiteral("bench_source");
    qint64 copied = 0;
    {
        QSqlDatabase source = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), sourceName);
        source.setDatabaseName(sqliteFile);
        if (!source.open())
            throw KestrovaError(source.lastError().text());
        Transaction transaction(target);
        for (const QString &table : Schema::tableNames()) {
            const QStringList columns = Schema::columnNames(table);
            execSql(target, QStringLiteral("DELETE FROM ") + table);
            QStringList marks;
            for (int i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            Sql insert(target, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
            Sql read(source, QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), table));
            const QList<QVariantList> rows = read.rows();
            for (const QVariantList &row : rows) {
                for (int c = 0; c < row.size(); ++c)
                    insert.query().bindValue(c, row.at(c));
                insert.exec();
            }
            copied += rows.size();
            const int sourceCount = Sql(source, QStringLiteral("SELECT COUNT(*) FROM ") + table).scalar().toInt();
            const int targetCount = Sql(target, QStringLiteral("SELECT COUNT(*) FROM ") + table).scalar().toInt();
            if (sourceCount != targetCount)
                throw KestrovaError(QStringLiteral("Copie de %1 : %2 lignes au lieu de %3.").arg(table).arg(targetCount).arg(sourceCount));
            if (columns.first() == QLatin1String("id") && Schema::columnTypes(table).first().contains(QLatin1String("AUTOINCREMENT")))
                execSql(target, QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', 'id'), "
                                               "GREATEST(1, (SELECT COALESCE(MAX(id), 0) FROM %1)))")
                                    .arg(table));
        }
        transaction.commit();
        source.close();
    }
    QSqlDatabase::removeDatabase(sourceName);
    execSql(target, QStringLiteral("ANALYZE"));
    return copied;
}

QString weekText()
{
    const PlanningTable table = Reservation().lirePlanningSemaine(kMonday, kRooms);
    QStringList out;
    for (int room = 1; room <= kRooms; ++room)
        out << table.etats(room).join(QLatin1Char(','));
    return out.join(QLatin1Char('|'));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchData::absoluteOutputPath(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir temporary(QDir::current().filePath(QStringLiteral("bench-XXXXXX")));
    g_sqliteDir = temporary.filePath(QStringLiteral("sqlite"));
    g_postgresqlDir = temporary.filePath(QStringLiteral("postgresql"));
    const QString state = temporary.filePath(QStringLiteral("pg.state"));
    if (!server(QStringLiteral("start"), state))
        return 1;
    int rc = 0;
    try {
        const BenchData::Summary s = BenchData::create(g_sqliteDir);
        std::fprintf(stderr, "Base d'essai : %d chambres, %d nuits, %d prestations de nuits, %d clients\n", s.rooms,
                     s.nights, s.services, s.clients);
        DataModule::release();

        const QHash<QString, QString> pg = readState(state);
        {
            QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench_admin"));
            admin.setHostName(pg.value(QStringLiteral("host")));
            admin.setPort(pg.value(QStringLiteral("port")).toInt());
            admin.setUserName(pg.value(QStringLiteral("user")));
            admin.setDatabaseName(QStringLiteral("postgres"));
            if (!admin.open())
                throw KestrovaError(admin.lastError().text());
            execSql(admin, QStringLiteral("CREATE DATABASE hotel"));
            admin.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench_admin"));
        QDir().mkpath(g_postgresqlDir);
        QFile::copy(QDir(g_sqliteDir).filePath(QStringLiteral("config.ini")),
                    QDir(g_postgresqlDir).filePath(QStringLiteral("config.ini")));
        {
            QFile ini(QDir(g_postgresqlDir).filePath(QStringLiteral("config.ini")));
            ini.open(QIODevice::Append);
            ini.write(QStringLiteral("\n[Base]\nmoteur=postgresql\nhote=%1\nport=%2\nbase=hotel\nutilisateur=%3\n")
                          .arg(pg.value(QStringLiteral("host")), pg.value(QStringLiteral("port")),
                               pg.value(QStringLiteral("user")))
                          .toUtf8());
        }
        useDir(g_postgresqlDir);
        DatabaseFile::prepare(QString::fromLatin1(DataModule::sharedConnectionName()));
        const qint64 copied = copyHotel(QDir(g_sqliteDir).filePath(QStringLiteral("reserv.mdb")), DataModule::shared());
        std::fprintf(stderr, "Copiée dans PostgreSQL : %lld lignes\n", copied);

        const QString onPostgresql = weekText();
        useDir(g_sqliteDir);
        if (weekText() != onPostgresql) {
            std::fprintf(stderr, "La semaine ne se lit pas de même sur les deux moteurs.\n");
            rc = 1;
        } else {
            benchmark::RunSpecifiedBenchmarks();
        }
    } catch (const KestrovaError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        rc = 1;
    }
    benchmark::Shutdown();
    DataModule::release();
    server(QStringLiteral("stop"), state);
    return rc;
}
