#include "common/paths.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/reservation.h"
#include "data/schema.h"
#include "data/sql.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>

// Stays written by a process killed with SIGKILL at random moments: after each
// kill the file is sound and every stay is whole or absent, as the writer's log
// of committed operations says. The writer is this same program started with
// --writer, so that it goes through the real Reservation class.
//
// Each stay belongs to a client number of its own, so that a stay is "the rows
// of client C". The writer logs "B op client room from to state adults
// services" before each operation and "E" once it is committed ("R" when it
// was refused); an operation begun but not ended may have happened or not,
// never in part.

namespace {

const QStringList kStates{QStringLiteral("Réservé"), QStringLiteral("Acompte"), QStringLiteral("Payé")};

// What a stay should hold: every night from `from` to `to` in one room with the
// same state and adults, each with services 1..services.
struct Stay
{
    int room = 0;
    QDate from;
    QDate to;
    QString state;
    int adults = 0;
    int services = 0;
};

// One night per line, "date room state adults services", as stored or expected.
QStringList nightsOf(const Stay &stay)
{
    QStringList out;
    QStringList services;
    for (int s = 1; s <= stay.services; ++s)
        services << QString::number(s);
    for (QDate d = stay.from; d <= stay.to; d = d.addDays(1))
        out << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(d.toString(Qt::ISODate))
                   .arg(stay.room)
                   .arg(stay.state)
                   .arg(stay.adults)
                   .arg(services.join(QLatin1Char(',')));
    return out;
}

TextGrid dailyServices(int count)
{
    QStringList lines;
    for (int s = 1; s <= count; ++s)
        lines << QStringLiteral("%1:1").arg(s);
    return servicesGridOf(lines, 3);
}

// ---- The writer ----------------------------------------------------------

int runWriter(const QStringList &args)
{
    // --writer DIR LOG SEED FIRSTCLIENT
    if (args.size() < 6)
        return 2;
    QString error;
    if (!Paths::useDataDir(args.at(2), &error))
        return 2;
    QFile log(args.at(3));
    if (!log.open(QIODevice::Append | QIODevice::Unbuffered))
        return 2;
    QRandomGenerator random(args.at(4).toUInt());
    int nextClient = args.at(5).toInt();

    Reservation reservation;
    // The stays as the file holds them now (the last run may have ended in the
    // middle of an operation).
    QHash<int, Stay> stays;
    Sql q(DataModule::shared(), QStringLiteral("SELECT info, MIN(numero), MIN(r_date), MAX(r_date) FROM reserv "
                                               "GROUP BY info"));
    for (const QVariantList &row : q.rows())
        stays.insert(row.at(0).toInt(), {row.at(1).toInt(), row.at(2).toDate(), row.at(3).toDate(), {}, 0, 0});
    std::fputs("ready\n", stdout);
    std::fflush(stdout);

    const QDate base(2025, 3, 1);
    QElapsedTimer clock;
    clock.start();
    // Bounded even if nobody kills it.
    for (int n = 0; n < 5000 && clock.elapsed() < 20000; ++n) {
        const int pick = int(random.bounded(10));
        const QString op = stays.isEmpty() || pick < 5 ? QStringLiteral("create")
                           : pick < 8                  ? QStringLiteral("change")
                                                       : QStringLiteral("delete");
        int client = 0;
        if (op == QLatin1String("create")) {
            client = nextClient++;
        } else {
            const QList<int> clients = stays.keys();
            client = clients.at(int(random.bounded(qsizetype(clients.size()))));
        }
        Stay next;
        next.room = 1 + int(random.bounded(4));
        next.from = base.addDays(random.bounded(40));
        next.to = next.from.addDays(random.bounded(6));
        next.state = kStates.at(int(random.bounded(3)));
        next.adults = 1 + int(random.bounded(4));
        next.services = 1 + int(random.bounded(3));
        const QByteArray begin = QStringLiteral("B %1 %2 %3 %4 %5 %6 %7 %8\n")
                                     .arg(op)
                                     .arg(client)
                                     .arg(next.room)
                                     .arg(next.from.toString(Qt::ISODate), next.to.toString(Qt::ISODate))
                                     .arg(next.state)
                                     .arg(next.adults)
                                     .arg(next.services)
                                     .toUtf8();
        log.write(begin);
        try {
            if (op == QLatin1String("create")) {
                reservation.ajouterReservation(next.room, next.state, client, next.from, next.to,
                                               dailyServices(next.services), next.adults, 0);
                stays.insert(client, next);
            } else if (op == QLatin1String("change")) {
                const Stay old = stays.value(client);
                reservation.modifierReservation(true, next.room, old.room, next.state, client, next.from, next.to,
                                                dailyServices(next.services), dailyServices(0), old.from, old.to,
                                                next.adults, 0);
                stays.insert(client, next);
            } else {
                // The stay's first night: nights added before the start later have higher ids.
                const int first = Sql(DataModule::shared(), QStringLiteral("SELECT id FROM reserv WHERE info = :c "
                                                                           "ORDER BY r_date, id LIMIT 1"))
                                      .bind(QStringLiteral(":c"), client)
                                      .scalar()
                                      .toInt();
                reservation.supprimerReservation(first);
                stays.remove(client);
            }
            log.write("E\n");
        } catch (const RoomTakenError &) {
            log.write("R\n");
        } catch (const KestrovaError &e) {
            std::fputs(e.text().toUtf8().constData(), stderr);
            return 1;
        }
    }
    return 0;
}

// ---- The checks ----------------------------------------------------------

struct Pending
{
    QString op;
    int client = 0;
    Stay stay;
};

// Applies one logged operation to the expected stays.
void apply(QHash<int, Stay> &stays, const Pending &p)
{
    if (p.op == QLatin1String("delete"))
        stays.remove(p.client);
    else
        stays.insert(p.client, p.stay);
}

// Reads a writer's log: the committed operations are applied to `stays`; the
// operation begun last without an end is returned in *pending (op empty when
// none).
void replay(const QString &path, QHash<int, Stay> &stays, Pending *pending)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    *pending = {};
    // A last line cut by the kill is ignored: its operation had not begun.
    const QList<QByteArray> lines = bytes.left(bytes.lastIndexOf('\n') + 1).split('\n');
    for (const QByteArray &raw : lines) {
        const QStringList w = QString::fromUtf8(raw).split(QLatin1Char(' '));
        if (w.first() == QLatin1String("B")) {
            QCOMPARE(w.size(), 9);
            QVERIFY2(pending->op.isEmpty(), "two operations begun at once");
            pending->op = w.at(1);
            pending->client = w.at(2).toInt();
            pending->stay = {w.at(3).toInt(), QDate::fromString(w.at(4), Qt::ISODate),
                             QDate::fromString(w.at(5), Qt::ISODate), w.at(6), w.at(7).toInt(), w.at(8).toInt()};
        } else if (w.first() == QLatin1String("E")) {
            apply(stays, *pending);
            *pending = {};
        } else if (w.first() == QLatin1String("R")) {
            *pending = {};
        }
    }
}

// The nights of every client as stored.
QHash<int, QStringList> storedNights()
{
    QHash<int, QStringList> out;
    Sql q(DataModule::shared(),
          QStringLiteral("SELECT r.info, r.r_date, r.numero, r.etat, r.nbpers, "
                         "(SELECT GROUP_CONCAT(id_prestations) FROM (SELECT id_prestations FROM reserv_prestations "
                         " WHERE id_reserv = r.id ORDER BY id_prestations)) "
                         "FROM reserv r ORDER BY r.info, r.r_date, r.id"));
    for (const QVariantList &row : q.rows())
        out[row.at(0).toInt()] << QStringLiteral("%1 %2 %3 %4 %5")
                                      .arg(row.at(1).toString())
                                      .arg(row.at(2).toInt())
                                      .arg(row.at(3).toString())
                                      .arg(row.at(4).toInt())
                                      .arg(row.at(5).toString());
    return out;
}

} // namespace

class TestCrashConsistency : public QObject
{
    Q_OBJECT

private slots:
    void killedWriterLeavesWholeStays();
};

void TestCrashConsistency::killedWriterLeavesWholeStays()
{
    TestDatabase database;
    DataModule::release();
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    const QByteArray where = "seed " + QByteArray::number(seed);

    QHash<int, Stay> expected;
    QElapsedTimer clock;
    clock.start();
    int kills = 0;
    int committed = 0;
    int cutShort = 0; // kills that fell inside an operation
    for (int round = 0; round < 30 && clock.elapsed() < 25000; ++round) {
        const QString log = database.dir().file(QStringLiteral("writer-%1.log").arg(round));
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--writer"), database.path(), log, QString::number(random.generate()),
                      QString::number(1000 * (round + 1))});
        QVERIFY2(writer.waitForStarted(5000), where.constData());
        QVERIFY2(writer.waitForReadyRead(5000), where.constData());
        QTest::qWait(20 + int(random.bounded(300)));
        QVERIFY2(writer.state() == QProcess::Running,
                 QByteArray(where + " writer ended: " + writer.readAllStandardError()).constData());
        writer.kill(); // SIGKILL
        QVERIFY(writer.waitForFinished(5000));
        ++kills;

        Pending pending;
        replay(log, expected, &pending);
        if (QTest::currentTestFailed())
            return;
        cutShort += pending.op.isEmpty() ? 0 : 1;
        QCOMPARE(Sql(DataModule::shared(), QStringLiteral("PRAGMA integrity_check")).scalar().toString(),
                 QStringLiteral("ok"));
        QCOMPARE(Sql(DataModule::shared(), QStringLiteral("SELECT COUNT(*) FROM reserv_prestations WHERE "
                                                          "id_reserv NOT IN (SELECT id FROM reserv)"))
                     .scalar()
                     .toInt(),
                 0);
        const QHash<int, QStringList> stored = storedNights();
        QSet<int> clients(stored.keyBegin(), stored.keyEnd());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            clients.insert(it.key());
        if (!pending.op.isEmpty())
            clients.insert(pending.client);
        for (int client : std::as_const(clients)) {
            const QStringList before = expected.contains(client) ? nightsOf(expected.value(client)) : QStringList();
            const QStringList actual = stored.value(client);
            if (client != pending.client || actual == before) {
                QVERIFY2(actual == before, qPrintable(QStringLiteral("%1, client %2: %3 instead of %4")
                                                          .arg(QString::fromLatin1(where))
                                                          .arg(client)
                                                          .arg(actual.join(QLatin1String("; ")),
                                                               before.join(QLatin1String("; ")))));
                continue;
            }
            // The operation under way when the writer died: done in full.
            QHash<int, Stay> after = expected;
            apply(after, pending);
            const QStringList done = after.contains(client) ? nightsOf(after.value(client)) : QStringList();
            QVERIFY2(actual == done, qPrintable(QStringLiteral("%1, client %2 half written: %3")
                                                    .arg(QString::fromLatin1(where))
                                                    .arg(client)
                                                    .arg(actual.join(QLatin1String("; ")))));
            expected = after;
        }
        committed = int(expected.size());
        DataModule::release();
    }
    QVERIFY2(kills >= 10, where.constData());
    qInfo("%d kills (%d inside an operation), %d stays standing, %lld ms", kills, cutShort, committed,
          clock.elapsed());
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc >= 2 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(app.arguments());
    TestCrashConsistency test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash_consistency.moc"
