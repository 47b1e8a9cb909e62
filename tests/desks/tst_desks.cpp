#include "common/dialogs.h"
#include "common/paths.h"
#include "common/text_grid.h"
#include "data/change_watcher.h"
#include "data/data_module.h"
#include "data/database_copy.h"
#include "data/invoice_counter.h"
#include "data/schema.h"
#include "data/reservation.h"
#include "data/sql.h"
#include "planning/planning_refreshers.h"
#include "ui/app/main_window.h"
#include "ui/planning/week_grid.h"
#include "test_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>

// Several desks on one hotel: each desk is a process of its own. The desks
// other than the one under test are this program started with --stay or
// --random, which go through the real Reservation class.

namespace {

const QStringList kStates{QStringLiteral("Réservé"), QStringLiteral("Acompte"), QStringLiteral("Payé")};
const QDate kFirstNight(2026, 5, 1);

struct Stay
{
    int room = 0;
    QDate from;
    QDate to;
    QString state;
    int adults = 0;
};

bool sameStay(const Stay &a, const Stay &b)
{
    return a.room == b.room && a.from == b.from && a.to == b.to && a.state == b.state && a.adults == b.adults;
}

TextGrid noServices()
{
    return servicesGridOf({}, 3);
}

// ---- The other desks -----------------------------------------------------

// --stay DIR ROOM FROM TO: one stay of client 1.
int runStay(const QStringList &args)
{
    QString error;
    if (args.size() != 6 || !Paths::useDataDir(args.at(2), &error))
        return 2;
    try {
        Reservation().ajouterReservation(args.at(3).toInt(), kStates.first(), 1,
                                         QDate::fromString(args.at(4), Qt::ISODate),
                                         QDate::fromString(args.at(5), Qt::ISODate), noServices(), 2, 0);
    } catch (const KestrovaError &e) {
        std::fputs(e.text().toUtf8().constData(), stderr);
        return 1;
    }
    return 0;
}

// --random DIR LOG SEED FIRSTCLIENT COUNT: COUNT random creations, changes and
// deletions of this desk's own stays (clients FIRSTCLIENT on), on few rooms and
// nights so that the desks keep wanting the same nights. The log holds
// "B op client room from to state adults" before each operation, then "E" once
// committed or "R message" when refused.
int runRandom(const QStringList &args)
{
    QString error;
    if (args.size() != 7 || !Paths::useDataDir(args.at(2), &error))
        return 2;
    QFile log(args.at(3));
    if (!log.open(QIODevice::Append | QIODevice::Unbuffered))
        return 2;
    QRandomGenerator random(args.at(4).toUInt());
    int nextClient = args.at(5).toInt();
    const int count = args.at(6).toInt();
    Reservation reservation;
    QHash<int, Stay> stays;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; n < count && clock.elapsed() < 100000; ++n) {
        const int pick = int(random.bounded(20));
        const QString op = stays.isEmpty() || pick < 8 ? QStringLiteral("create")
                           : pick < 15                 ? QStringLiteral("change")
                                                       : QStringLiteral("delete");
        int client = nextClient;
        if (op == QLatin1String("create")) {
            ++nextClient;
        } else {
            const QList<int> clients = stays.keys();
            client = clients.at(int(random.bounded(qsizetype(clients.size()))));
        }
        Stay next{1 + int(random.bounded(5)), kFirstNight.addDays(random.bounded(30)), {},
                  kStates.at(int(random.bounded(3))), 1 + int(random.bounded(4))};
        next.to = next.from.addDays(random.bounded(4));
        log.write(QStringLiteral("B %1 %2 %3 %4 %5 %6 %7\n")
                      .arg(op)
                      .arg(client)
                      .arg(next.room)
                      .arg(next.from.toString(Qt::ISODate), next.to.toString(Qt::ISODate), next.state)
                      .arg(next.adults)
                      .toUtf8());
        try {
            if (op == QLatin1String("create")) {
                reservation.ajouterReservation(next.room, next.state, client, next.from, next.to, noServices(),
                                               next.adults, 0);
                stays.insert(client, next);
            } else if (op == QLatin1String("change")) {
                const Stay old = stays.value(client);
                reservation.modifierReservation(true, next.room, old.room, next.state, client, next.from, next.to,
                                                noServices(), noServices(), old.from, old.to, next.adults, 0);
                stays.insert(client, next);
            } else {
                const int first = Sql(DataModule::shared(), QStringLiteral("SELECT id FROM reserv WHERE info = :c "
                                                                           "ORDER BY r_date, id LIMIT 1"))
                                      .bind(QStringLiteral(":c"), client)
                                      .scalar()
                                      .toInt();
                reservation.supprimerReservation(first);
                stays.remove(client);
            }
            log.write("E\n");
        } catch (const KestrovaError &e) {
            log.write("R " + e.text().simplified().toUtf8() + "\n");
        }
    }
    return 0;
}

// ---- Reading the desks' logs ---------------------------------------------

struct Replay
{
    QHash<int, Stay> stays;       // committed
    QString pendingOp;            // begun, not ended (a killed desk)
    int pendingClient = 0;
    Stay pendingStay;
    int committed = 0;
    QStringList refusals;
};

void apply(QHash<int, Stay> &stays, const QString &op, int client, const Stay &stay)
{
    if (op == QLatin1String("delete"))
        stays.remove(client);
    else
        stays.insert(client, stay);
}

Replay replay(const QString &path)
{
    Replay r;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return r;
    const QByteArray bytes = f.readAll();
    for (const QByteArray &raw : bytes.left(bytes.lastIndexOf('\n') + 1).split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const QStringList w = line.split(QLatin1Char(' '));
        if (w.first() == QLatin1String("B") && w.size() == 8) {
            r.pendingOp = w.at(1);
            r.pendingClient = w.at(2).toInt();
            r.pendingStay = {w.at(3).toInt(), QDate::fromString(w.at(4), Qt::ISODate),
                             QDate::fromString(w.at(5), Qt::ISODate), w.at(6), w.at(7).toInt()};
        } else if (w.first() == QLatin1String("E")) {
            apply(r.stays, r.pendingOp, r.pendingClient, r.pendingStay);
            r.pendingOp.clear();
            ++r.committed;
        } else if (w.first() == QLatin1String("R")) {
            r.refusals << line.mid(2);
            r.pendingOp.clear();
        }
    }
    return r;
}

// The stays as stored, by client; a client whose rows do not form one stay
// (several rooms, a gap, different states) is returned with room -1.
QHash<int, Stay> storedStays()
{
    QHash<int, Stay> out;
    Sql q(DataModule::shared(), QStringLiteral("SELECT info, numero, r_date, etat, nbpers FROM reserv "
                                               "ORDER BY info, r_date"));
    for (const QVariantList &row : q.rows()) {
        const int client = row.at(0).toInt();
        const Stay night{row.at(1).toInt(), row.at(2).toDate(), row.at(2).toDate(), row.at(3).toString(),
                         row.at(4).toInt()};
        if (!out.contains(client)) {
            out.insert(client, night);
        } else {
            Stay &s = out[client];
            if (s.room != night.room || s.to.addDays(1) != night.from || s.state != night.state ||
                s.adults != night.adults)
                s.room = -1;
            s.to = night.from;
        }
    }
    return out;
}

QString describe(const Stay &s)
{
    return QStringLiteral("chambre %1 du %2 au %3, %4, %5 adultes")
        .arg(s.room)
        .arg(s.from.toString(Qt::ISODate), s.to.toString(Qt::ISODate), s.state)
        .arg(s.adults);
}

} // namespace

class TestDesks : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DataModule::release(); }
    void otherDesksStayAppearsWithoutAClick();
    void desksSavingAtOnceKeepEveryCommittedStayAndNoDoubleNight();
    void oneProgramPerDataDirectory();
    void hotelCopiedAcrossAndRefusedOverData();
    void backupRestoresOnTheDesksEngine();
};

void TestDesks::otherDesksStayAppearsWithoutAClick()
{
    TestDatabase database;
    ScopedAnswerer answers;
    TForm1 window;
    QVERIFY(window.FormCreate());
    QVERIFY(window.changeWatcher()->isActive());
    const QDate monday = window.weekMonday();
    QVERIFY(window.weekGrid()->cellText(3, 2).isEmpty());

    // This desk's own save is no news to it.
    Reservation().ajouterReservation(4, kStates.first(), 1, monday, monday, noServices(), 1, 0);
    QVERIFY(!window.changeWatcher()->check());

    QElapsedTimer clock;
    clock.start();
    QProcess desk;
    desk.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--stay"), database.path(), QStringLiteral("3"),
                monday.addDays(2).toString(Qt::ISODate), monday.addDays(3).toString(Qt::ISODate)});
    QVERIFY(desk.waitForFinished(10000));
    QCOMPARE(desk.exitCode(), 0);
    const qint64 saved = clock.elapsed();
    QTRY_COMPARE_WITH_TIMEOUT(window.weekGrid()->cellText(3, 2), kStates.first(), 2000);
    QCOMPARE(window.weekGrid()->cellText(3, 3), kStates.first());
    qInfo("the other desk's stay shown %lld ms after its commit", clock.elapsed() - saved);
    // The views reloaded once for that change, then nothing more to do.
    QTest::qWait(1200);
    QCOMPARE(window.refreshers()->week()->runCount(), 1);
}

void TestDesks::desksSavingAtOnceKeepEveryCommittedStayAndNoDoubleNight()
{
    TestDatabase database;
    DataModule::release();
    const quint32 seed = QRandomGenerator::global()->generate();
    const QByteArray where = "seed " + QByteArray::number(seed);
    QRandomGenerator random(seed);
    constexpr int desks = 4;
    constexpr int operations = 500;
    QElapsedTimer clock;
    clock.start();

    // The four desks, and a fifth one killed in the middle of its work.
    QList<QProcess *> processes;
    QStringList logs;
    for (int d = 0; d <= desks; ++d) {
        logs << database.dir().file(QStringLiteral("desk-%1.log").arg(d));
        auto *p = new QProcess(this);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--random"), database.path(), logs.last(), QString::number(random.generate()),
                  QString::number(100000 * (d + 1)), QString::number(d < desks ? operations : 100000)});
        processes << p;
    }
    for (QProcess *p : std::as_const(processes))
        QVERIFY2(p->waitForReadyRead(10000), where.constData());
    QProcess *victim = processes.last();
    // Killed while an operation is under way, once it has done some work.
    for (int tries = 0; tries < 20000 && victim->state() == QProcess::Running; ++tries) {
        const Replay so = replay(logs.last());
        if (so.committed + so.refusals.size() >= 50 && !so.pendingOp.isEmpty())
            break;
        QTest::qWait(1);
    }
    QVERIFY2(victim->state() == QProcess::Running, where.constData());
    victim->kill();
    const QString cutOff = replay(logs.last()).pendingOp;
    QVERIFY(victim->waitForFinished(5000));
    for (int d = 0; d < desks; ++d) {
        QProcess *p = processes.at(d);
        QVERIFY2(p->state() == QProcess::NotRunning || p->waitForFinished(110000), where.constData());
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 0);
    }

    const qint64 elapsed = clock.elapsed();

    // No room ever holds two rows for one night.
    QCOMPARE(Sql(DataModule::shared(), QStringLiteral("SELECT COUNT(*) FROM (SELECT numero, r_date FROM reserv "
                                                      "GROUP BY numero, r_date HAVING COUNT(*) > 1) AS doubles"))
                 .scalar()
                 .toInt(),
             0);
    // The hotel holds exactly what the desks committed; the killed desk's last
    // operation happened in full or not at all.
    const QHash<int, Stay> stored = storedStays();
    int committed = 0;
    int refused = 0;
    int expectedStays = 0;
    for (int d = 0; d <= desks; ++d) {
        const Replay r = replay(logs.at(d));
        committed += r.committed;
        refused += int(r.refusals.size());
        if (d < desks)
            QCOMPARE(r.committed + r.refusals.size(), operations);
        for (const QString &refusal : r.refusals)
            QVERIFY2(refusal.startsWith(QLatin1String("La chambre ")) ||
                         refusal.startsWith(QLatin1String("Chambre déjà prise")) ||
                         refusal.startsWith(QLatin1String("La base de données est occupée")),
                     qPrintable(QStringLiteral("%1, desk %2: %3").arg(QString::fromLatin1(where)).arg(d).arg(refusal)));
        QHash<int, Stay> expected = r.stays;
        if (!r.pendingOp.isEmpty()) {
            QHash<int, Stay> after = expected;
            apply(after, r.pendingOp, r.pendingClient, r.pendingStay);
            const bool done = stored.contains(r.pendingClient) == after.contains(r.pendingClient) &&
                              (!after.contains(r.pendingClient) ||
                               sameStay(stored.value(r.pendingClient), after.value(r.pendingClient)));
            if (done)
                expected = after;
        }
        expectedStays += int(expected.size());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(stored.contains(it.key()) && sameStay(stored.value(it.key()), it.value()),
                     qPrintable(QStringLiteral("%1, client %2: %3 expected, %4 stored")
                                    .arg(QString::fromLatin1(where))
                                    .arg(it.key())
                                    .arg(describe(it.value()),
                                         stored.contains(it.key()) ? describe(stored.value(it.key()))
                                                                   : QStringLiteral("nothing"))));
    }
    QCOMPARE(int(stored.size()), expectedStays);
    QVERIFY2(refused > 0 && committed > desks * operations / 4, where.constData());
    qInfo("%d desks x %d operations and one desk killed (during a %s): %d committed, %d refused, %d stays in the "
          "end, %lld ms",
          desks, operations, qPrintable(cutOff.isEmpty() ? QStringLiteral("pause") : cutOff), committed, refused,
          expectedStays, elapsed);
}

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run kestrova(const QStringList &args)
{
    QProcess p;
    p.start(programPath(), args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

void TestDesks::oneProgramPerDataDirectory()
{
    TestDatabase first;
    TestDataDir second;
    // On PostgreSQL both desks reach the same hotel.
    second.writeFile(QStringLiteral("config.ini"), bytesOf(first.dir().file(QStringLiteral("config.ini"))));
    DataModule::release();
    QProcess desk;
    desk.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    desk.start(programPath(), {QStringLiteral("--dir"), first.path()});
    QVERIFY(desk.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(first.dir().file(QStringLiteral("kestrova.lock"))), 10000);

    const Run refused = kestrova({QStringLiteral("--dir"), first.path(), QStringLiteral("init")});
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("Kestrova est déjà ouvert sur ce dossier de données")),
             qPrintable(refused.err));
    // Another desk, with a data directory of its own, runs beside it.
    QCOMPARE(kestrova({QStringLiteral("--dir"), second.path(), QStringLiteral("init")}).code, 0);
    // A desk that died leaves no lock behind.
    desk.kill();
    QVERIFY(desk.waitForFinished(5000));
    QCOMPARE(kestrova({QStringLiteral("--dir"), first.path(), QStringLiteral("init")}).code, 0);
}

void TestDesks::hotelCopiedAcrossAndRefusedOverData()
{
    TestDatabase hotel;
    Reservation().ajouterReservation(2, kStates.at(1), 1, kFirstNight, kFirstNight.addDays(3), noServices(), 2, 1);
    // The next invoice is number 50 wherever the hotel goes.
    Sql(DataModule::shared(), QStringLiteral("INSERT INTO facturation (f_date, total_ttc, remise) VALUES "
                                             "('2026-05-04', 120.5, 0.1)"))
        .exec();
    InvoiceCounter().setNext(50);
    Sql(DataModule::shared(), QStringLiteral("INSERT INTO infos (type, nom, prenom, ville) VALUES (1, 'Dupré', 'Zoé', 'Sète')"))
        .exec();
    QHash<QString, QByteArray> original;
    for (const QString &table : Schema::tableNames())
        original.insert(table, DatabaseCopy::summarize(DataModule::shared(), table).checksum);
    DataModule::release();

    const QString copy = hotel.dir().file(QStringLiteral("copie.mdb"));
    const Run done = kestrova({QStringLiteral("--dir"), hotel.path(), QStringLiteral("base"),
                               QStringLiteral("copier"), copy});
    QVERIFY2(done.code == 0, qPrintable(done.err));
    QCOMPARE(done.out.count(QStringLiteral("  ok\n")), Schema::tableNames().size());
    {
        CopyConnection target = CopyConnection::sqliteFile(copy);
        for (const QString &table : Schema::tableNames())
            QVERIFY2(DatabaseCopy::summarize(target.db(), table).checksum == original.value(table), qPrintable(table));
        Sql(target.db(), QStringLiteral("INSERT INTO facturation (f_date) VALUES ('2026-05-06')")).exec();
        QCOMPARE(Sql(target.db(), QStringLiteral("SELECT MAX(id) FROM facturation")).scalar().toInt(), 50);
    }

    if (testOnPostgresql()) {
        // And back from the SQLite copy into a new database on the server.
        TestDataDir back;
        QVERIFY(QFile::copy(copy, back.file(QStringLiteral("reserv.mdb"))));
        QString host, port, base, user;
        for (const QString &line : QString::fromUtf8(newPostgresqlDatabase()).split(QLatin1Char('\n'))) {
            const QString value = line.section(QLatin1Char('='), 1);
            if (line.startsWith(QLatin1String("hote=")))
                host = value;
            else if (line.startsWith(QLatin1String("port=")))
                port = value;
            else if (line.startsWith(QLatin1String("base=")))
                base = value;
            else if (line.startsWith(QLatin1String("utilisateur=")))
                user = value;
        }
        const Run up = kestrova({QStringLiteral("--dir"), back.path(), QStringLiteral("base"), QStringLiteral("copier"),
                                 QStringLiteral("postgresql"), QStringLiteral("--hote"), host, QStringLiteral("--port"),
                                 port, QStringLiteral("--base"), base, QStringLiteral("--utilisateur"), user});
        QVERIFY2(up.code == 0, qPrintable(up.err));
        DatabaseTarget server;
        server.engine = Engine::Postgresql;
        server.host = host;
        server.port = port.toInt();
        server.database = base;
        server.user = user;
        CopyConnection target = CopyConnection::postgresql(server);
        for (const QString &table : Schema::tableNames())
            if (table != QLatin1String("facturation")) // the copy took one more invoice
                QVERIFY2(DatabaseCopy::summarize(target.db(), table).checksum == original.value(table),
                         qPrintable(table));
        Sql(target.db(), QStringLiteral("INSERT INTO facturation (f_date) VALUES ('2026-05-07')")).exec();
        QCOMPARE(Sql(target.db(), QStringLiteral("SELECT MAX(id) FROM facturation")).scalar().toInt(), 51);
    }

    // A target that holds data is refused and left as it was.
    const QByteArray before = bytesOf(copy);
    const Run again = kestrova({QStringLiteral("--dir"), hotel.path(), QStringLiteral("base"),
                                QStringLiteral("copier"), copy});
    QCOMPARE(again.code, 1);
    QVERIFY2(again.err.contains(QStringLiteral("contient déjà des données")), qPrintable(again.err));
    QCOMPARE(bytesOf(copy), before);
    // So is the hotel's own file, and a file that is not a database.
    if (!testOnPostgresql())
        QCOMPARE(kestrova({QStringLiteral("--dir"), hotel.path(), QStringLiteral("base"), QStringLiteral("copier"),
                           hotel.dir().file(QStringLiteral("reserv.mdb"))})
                     .code,
                 1);
    hotel.dir().writeFile(QStringLiteral("notes.txt"), "pas une base\n");
    const Run junk = kestrova({QStringLiteral("--dir"), hotel.path(), QStringLiteral("base"),
                               QStringLiteral("copier"), hotel.dir().file(QStringLiteral("notes.txt"))});
    QCOMPARE(junk.code, 1);
    QCOMPARE(bytesOf(hotel.dir().file(QStringLiteral("notes.txt"))), QByteArray("pas une base\n"));
}

void TestDesks::backupRestoresOnTheDesksEngine()
{
    TestDatabase hotel;
    Reservation().ajouterReservation(5, kStates.at(2), 1, kFirstNight, kFirstNight.addDays(1), noServices(), 3, 0);
    const QByteArray config = bytesOf(hotel.dir().file(QStringLiteral("config.ini")));
    DataModule::release();
    const QString archive = hotel.dir().file(QStringLiteral("sauvegarde.zip"));
    const Run packed = kestrova({QStringLiteral("--dir"), hotel.path(), QStringLiteral("archive"),
                                 QStringLiteral("pack"), archive});
    QVERIFY2(packed.code == 0, qPrintable(packed.err));
    // The archive carries an SQLite file whatever the engine.
    TestDataDir unpacked;
    QCOMPARE(kestrova({QStringLiteral("archive"), QStringLiteral("unpack"), archive, unpacked.path()}).code, 0);
    {
        CopyConnection snapshot = CopyConnection::sqliteFile(unpacked.file(QStringLiteral("reserv2.mdb")));
        QCOMPARE(Sql(snapshot.db(), QStringLiteral("SELECT COUNT(*) FROM reserv WHERE numero = 5")).scalar().toInt(), 2);
    }

    // The stay deleted, then brought back by the restore, on the desk's own database.
    QDir::setCurrent(hotel.path());
    Reservation().supprimerReservation(
        Sql(DataModule::shared(), QStringLiteral("SELECT MIN(id) FROM reserv")).scalar().toInt());
    DataModule::release();
    const Run restored = kestrova({QStringLiteral("--dir"), hotel.path(), QStringLiteral("restaurer"), archive});
    QVERIFY2(restored.code == 0, qPrintable(restored.err));
    QCOMPARE(bytesOf(hotel.dir().file(QStringLiteral("config.ini"))), config);
    QCOMPARE(Sql(DataModule::shared(), QStringLiteral("SELECT COUNT(*) FROM reserv WHERE numero = 5 AND etat = :e"))
                 .bind(QStringLiteral(":e"), kStates.at(2))
                 .scalar()
                 .toInt(),
             2);
}

int main(int argc, char **argv)
{
    if (argc >= 2 && qstrcmp(argv[1], "--stay") == 0) {
        QCoreApplication app(argc, argv);
        return runStay(app.arguments());
    }
    if (argc >= 2 && qstrcmp(argv[1], "--random") == 0) {
        QCoreApplication app(argc, argv);
        return runRandom(app.arguments());
    }
    QApplication app(argc, argv);
    TestDesks test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desks.moc"
