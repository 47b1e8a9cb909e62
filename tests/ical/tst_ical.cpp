#include "test_support.h"
#include "../net_backup/backup_servers.h"

#include "common/text_grid.h"
#include "data/client.h"
#include "data/data_module.h"
#include "data/reservation.h"
#include "data/schema.h"
#include "data/sql.h"
#include "ical/ical_feeds.h"
#include "net/ical_publish.h"
#include "settings/ini_file.h"
#include "common/dialogs.h"
#include "ui/ical/ical_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

const QDate kToday(2027, 3, 1);

QDate day(const char *iso)
{
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

int client(const QString &nom)
{
    ClientRecord c;
    c.type = 2;
    c.nom = nom;
    return Client().ajouterClient(c);
}

// first night .. last night included, as the reservation forms take them.
void stay(int room, int who, const char *first, const char *last)
{
    Reservation().ajouterReservation(room, QStringLiteral("Réservé"), who, day(first), day(last),
                                     servicesGridOf({}, 6), 2, 0);
}

// Every row of every table, to show that something wrote nothing.
QString dump()
{
    QString out;
    DataModule::Use use;
    for (const QString &t : Schema::tableNames())
        for (const QVariantList &row : Sql(use.db(), QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(t)).rows()) {
            QStringList cells;
            for (const QVariant &v : row)
                cells << v.toString();
            out += t + QLatin1Char(':') + cells.join(QLatin1Char('|')) + QLatin1Char('\n');
        }
    return out;
}

// Nights of a room as "date:client name" lines.
QStringList nights(int room)
{
    DataModule::Use use;
    QStringList out;
    Sql q(use.db(), QStringLiteral("SELECT r_date, nom, etat FROM reserv JOIN infos ON infos.id = reserv.info "
                                   "WHERE numero = :r ORDER BY r_date"));
    q.bind(QStringLiteral(":r"), room);
    for (const QVariantList &r : q.rows())
        out << r.at(0).toString() + QLatin1Char(':') + r.at(1).toString() + QLatin1Char(':') + r.at(2).toString();
    return out;
}

QJsonArray python(const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            QStringList{sourceDir() + QStringLiteral("/tests/ical/ical_tool.py")} + args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        qWarning("ical_tool.py: %s", p.readAllStandardError().constData());
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

QByteArray calendar(const QByteArray &events, const QByteArray &prodid = "-//Site//FR")
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:" + prodid + "\r\n" + events + "END:VCALENDAR\r\n";
}

QByteArray vevent(const QByteArray &uid, const QByteArray &start, const QByteArray &end,
                 const QByteArray &summary = "Reserved")
{
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTART;VALUE=DATE:" + start + "\r\nDTEND;VALUE=DATE:" + end +
           "\r\nSUMMARY:" + summary + "\r\nEND:VEVENT\r\n";
}

IcalImport::Options at(const QDate &today)
{
    IcalImport::Options o;
    o.today = today;
    o.zone = QTimeZone("Europe/Paris");
    return o;
}

} // namespace

class TestIcal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { DataModule::release(); }

    // Our feeds read by an independent reader, its own feed read by us: the
    // planning of the second hotel equals the first's, and the lines are RFC 5545.
    void exportReaderImportRoundTrip()
    {
        QList<QJsonObject> events;
        QString feedDir;
        {
            TestDatabase db;
            // A long name with accents, so that folding has to cut inside the line.
            IniFile().writeString(QStringLiteral("Hotel"), QStringLiteral("nom"),
                                  QStringLiteral("Hôtel des Épis d'Été, à côté de la Cathédrale Saint-Étienne"));
            const int a = client(QStringLiteral("Anne"));
            const int b = client(QStringLiteral("Bruno"));
            stay(1, a, "2027-03-10", "2027-03-12");
            stay(1, b, "2027-03-13", "2027-03-13");
            stay(1, a, "2027-03-14", "2027-03-15"); // a gap of one night: another stay
            stay(2, b, "2027-03-10", "2027-03-11");
            stay(3, a, "2026-12-01", "2026-12-03"); // ended long ago: not published
            feedDir = db.path() + QStringLiteral("/feeds");
            IcalExport::Options o;
            o.today = kToday;
            IcalExport::exporter(feedDir, o);
            for (const QString &f : QDir(feedDir).entryList({QStringLiteral("*.ics")})) {
                QFile file(QDir(feedDir).filePath(f));
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QByteArray bytes = file.readAll();
                QVERIFY(bytes.endsWith("\r\n"));
                const QList<QByteArray> lines = bytes.chopped(1).split('\n');
                for (const QByteArray &line : lines) {
                    QVERIFY2(line.endsWith('\r'), line.constData());
                    QVERIFY2(line.size() - 1 <= 75, line.constData());
                    QVERIFY(!QString::fromUtf8(line).contains(QChar::ReplacementCharacter));
                }
            }
            const QJsonArray read = python({QStringLiteral("read"), QDir(feedDir).filePath(QStringLiteral("chambre-1.ics")),
                                            QDir(feedDir).filePath(QStringLiteral("chambre-2.ics")),
                                            QDir(feedDir).filePath(QStringLiteral("chambre-3.ics"))});
            for (const QJsonValue &v : read)
                events << v.toObject();
            QCOMPARE(events.size(), 4);
            for (const QJsonObject &e : events)
                QCOMPARE(e.value(QStringLiteral("summary")).toString(), QStringLiteral("Réservé"));
            QCOMPARE(events.at(0).value(QStringLiteral("start")).toString(), QStringLiteral("2027-03-10"));
            QCOMPARE(events.at(0).value(QStringLiteral("end")).toString(), QStringLiteral("2027-03-13"));
        }
        TestDatabase other;
        for (int room = 1; room <= 2; ++room) {
            QJsonArray feedEvents;
            for (const QJsonObject &e : events)
                if (e.value(QStringLiteral("file")).toString().endsWith(QStringLiteral("chambre-%1.ics").arg(room)))
                    feedEvents.append(e);
            const QString written = other.path() + QStringLiteral("/site-%1.ics").arg(room);
            python({QStringLiteral("write"), written}, QJsonDocument(feedEvents).toJson());
            QFile f(written);
            QVERIFY(f.open(QIODevice::ReadOnly));
            IcalImport::appliquer(IcalImport::preparer(f.readAll(), room, at(kToday)));
        }
        const QString online = QStringLiteral("Réservation en ligne – Réservé");
        QCOMPARE(nights(1), (QStringList{"2027-03-10:" + online + ":Réservé", "2027-03-11:" + online + ":Réservé",
                                         "2027-03-12:" + online + ":Réservé", "2027-03-13:" + online + ":Réservé",
                                         "2027-03-14:" + online + ":Réservé", "2027-03-15:" + online + ":Réservé"}));
        QCOMPARE(nights(2).size(), 2);
        // Three stays, three clients: back-to-back bookings stay apart in the planning.
        DataModule::Use use;
        QCOMPARE(Sql(use.db(), QStringLiteral("SELECT COUNT(DISTINCT info) FROM reserv WHERE numero = 1")).scalar().toInt(), 3);
    }

    // A stay moved to another room keeps its UID (a site sees a change, not a
    // cancellation and a new booking) and its SEQUENCE rises; an untouched stay
    // is written again byte for byte.
    void uidStableAcrossExports()
    {
        TestDatabase db;
        const int a = client(QStringLiteral("Anne"));
        const int b = client(QStringLiteral("Bruno"));
        stay(1, a, "2027-03-10", "2027-03-12");
        stay(2, b, "2027-03-20", "2027-03-21");
        IcalExport::Options o;
        o.today = kToday;
        o.now = QDateTime(kToday, QTime(8, 0), QTimeZone::utc());
        const QString first = db.path() + QStringLiteral("/1");
        const QString second = db.path() + QStringLiteral("/2");
        IcalExport::exporter(first, o);
        Reservation().modifierReservation(true, 4, 1, QStringLiteral("Réservé"), a, day("2027-03-10"), day("2027-03-13"),
                                          servicesGridOf({}, 6), servicesGridOf({}, 6), day("2027-03-10"),
                                          day("2027-03-12"), 2, 0);
        o.now = o.now.addSecs(3600);
        IcalExport::exporter(second, o);

        auto read = [](const QString &dir, int room) {
            return python({QStringLiteral("read"), dir + QStringLiteral("/chambre-%1.ics").arg(room)});
        };
        const QJsonObject before = read(first, 1).at(0).toObject();
        QCOMPARE(read(second, 1).size(), 0);
        const QJsonObject after = read(second, 4).at(0).toObject();
        QCOMPARE(after.value(QStringLiteral("uid")), before.value(QStringLiteral("uid")));
        QCOMPARE(before.value(QStringLiteral("sequence")).toInt(), 0);
        QCOMPARE(after.value(QStringLiteral("sequence")).toInt(), 1);
        QCOMPARE(after.value(QStringLiteral("end")).toString(), QStringLiteral("2027-03-14"));
        QVERIFY(after.value(QStringLiteral("dtstamp")) != before.value(QStringLiteral("dtstamp")));

        QFile untouched1(first + QStringLiteral("/chambre-2.ics"));
        QFile untouched2(second + QStringLiteral("/chambre-2.ics"));
        QVERIFY(untouched1.open(QIODevice::ReadOnly) && untouched2.open(QIODevice::ReadOnly));
        QCOMPARE(untouched2.readAll(), untouched1.readAll());
    }

    // What an import does with a feed already partly known: new, updated,
    // unchanged, gone and conflicting stays; a second import writes nothing.
    void importPreviewAndWrites()
    {
        TestDatabase db;
        const int guest = client(QStringLiteral("Dupont"));
        stay(3, guest, "2027-04-10", "2027-04-11");
        const QByteArray feed1 = calendar(vevent("a", "20270401", "20270404") + vevent("b", "20270405", "20270407") +
                                          vevent("c", "20270501", "20270502"));
        IcalImport::appliquer(IcalImport::preparer(feed1, 3, at(kToday)));
        QCOMPARE(nights(3).size(), 2 + 3 + 2 + 1);

        // a unchanged, b lengthened, c gone, d conflicts with Dupont, e overlaps d's
        // nights inside the feed itself, f new.
        const QByteArray feed2 = calendar(vevent("a", "20270401", "20270404") + vevent("b", "20270405", "20270408") +
                                          vevent("d", "20270409", "20270411", "Jean") +
                                          vevent("f", "20270601", "20270603") + vevent("e", "20270602", "20270604"));
        const IcalImport::Plan plan = IcalImport::preparer(feed2, 3, at(kToday));
        QCOMPARE(plan.count(IcalImport::Kind::Inchange), 1);
        QCOMPARE(plan.count(IcalImport::Kind::Modifie), 1);
        QCOMPARE(plan.count(IcalImport::Kind::Disparu), 1);
        QCOMPARE(plan.count(IcalImport::Kind::Conflit), 2);
        QCOMPARE(plan.count(IcalImport::Kind::Nouveau), 1);
        QVERIFY(plan.texte().contains(QStringLiteral("la nuit du 10/04/2027 est déjà prise par « Dupont »")));

        const QString before = dump();
        IcalImport::preparer(feed2, 3, at(kToday)); // a preview writes nothing
        QCOMPARE(dump(), before);
        IcalImport::appliquer(plan);
        const QStringList room3 = nights(3);
        QVERIFY(room3.contains(QStringLiteral("2027-04-07:Réservation en ligne – Reserved:Réservé")));
        QVERIFY(room3.contains(QStringLiteral("2027-04-10:Dupont:Réservé"))); // never written over
        QVERIFY(room3.contains(QStringLiteral("2027-05-01:Réservation en ligne – Reserved:Réservé"))); // gone, kept
        QVERIFY(!room3.contains(QStringLiteral("2027-06-03:Réservation en ligne – Reserved:Réservé")));
        QCOMPARE(room3.size(), 3 + 3 + 1 + 2 + 2);

        const QString afterFirst = dump();
        IcalImport::appliquer(IcalImport::preparer(feed2, 3, at(kToday)));
        QCOMPARE(dump(), afterFirst);

        // The user's choice removes a stay gone from the feed, with its client.
        const IcalImport::Plan again = IcalImport::preparer(feed2, 3, at(kToday));
        IcalImport::appliquer(again, {QStringLiteral("c")});
        QVERIFY(!nights(3).contains(QStringLiteral("2027-05-01:Réservation en ligne – Reserved:Réservé")));
        // Once over, a stay missing from a site's feed is no longer reported.
        QCOMPARE(IcalImport::preparer(calendar({}), 3, at(day("2027-07-01"))).count(IcalImport::Kind::Disparu), 0);
    }

    void refusedFeedsWriteNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("not iCalendar") << QByteArray("Nom;Arrivée\nDupont;01/04/2027\n")
                                       << QStringLiteral("n'est pas un calendrier iCalendar");
        QTest::newRow("binary") << QByteArray("\xff\xfe\x00B\x00E", 6) << QStringLiteral("UTF-8");
        QTest::newRow("no dates") << calendar("BEGIN:VEVENT\r\nUID:x\r\nSUMMARY:Sans date\r\nEND:VEVENT\r\n")
                                  << QStringLiteral("n'a pas de date de début");
        QTest::newRow("end before start") << calendar(vevent("x", "20270410", "20270405"))
                                          << QStringLiteral("avant de commencer");
        QTest::newRow("366 nights") << calendar(vevent("x", "20270101", "20280102"))
                                    << QStringLiteral("plus de 365 nuits");
        QTest::newRow("unknown zone")
            << calendar("BEGIN:VEVENT\r\nUID:x\r\nDTSTART;TZID=Mars/Olympus:20270410T150000\r\n"
                        "DTEND;TZID=Mars/Olympus:20270412T100000\r\nEND:VEVENT\r\n")
            << QStringLiteral("fuseau horaire inconnu");
        QTest::newRow("repeated") << calendar("BEGIN:VEVENT\r\nUID:x\r\nDTSTART;VALUE=DATE:20270410\r\n"
                                              "RRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\n")
                                  << QStringLiteral("RRULE");
        QTest::newRow("cut short") << calendar(vevent("x", "20270410", "20270412")).chopped(15)
                                   << QStringLiteral("incomplet");
        QTest::newRow("same UID twice") << calendar(vevent("x", "20270410", "20270412") + vevent("x", "20270420", "20270422"))
                                        << QStringLiteral("figure deux fois");
        QByteArray many;
        for (int i = 0; i <= IcalText::maxEvents; ++i) {
            const QDate d = QDate(2000, 1, 1).addDays(i);
            many += vevent("e" + QByteArray::number(i), d.toString(QStringLiteral("yyyyMMdd")).toLatin1(),
                          d.addDays(1).toString(QStringLiteral("yyyyMMdd")).toLatin1());
        }
        QTest::newRow("10 001 events") << calendar(many) << QStringLiteral("plus de 10000 événements");
    }

    void refusedFeedsWriteNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        TestDatabase db;
        const QString before = dump();
        QElapsedTimer timer;
        timer.start();
        try {
            IcalImport::appliquer(IcalImport::preparer(bytes, 1, at(kToday)));
            QFAIL("the feed was accepted");
        } catch (const IcalText::Error &e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        }
        QVERIFY(timer.elapsed() < 10000);
        QCOMPARE(dump(), before);
    }

    // Date-times become the hotel's date; hostile summaries are stored as typed;
    // a full feed of 10 000 one-night stays goes through in bounded time.
    void valuesAsTheHotelReadsThem()
    {
        TestDatabase db;
        const QByteArray hostile = "'); DROP TABLE reserv; -- <b>x</b> \\, %s %n";
        const QByteArray feed =
            calendar("BEGIN:VEVENT\r\nUID:ny\r\nDTSTART;TZID=America/New_York:20270410T200000\r\n"
                     "DTEND;TZID=America/New_York:20270412T200000\r\nSUMMARY:" + hostile + "\r\nEND:VEVENT\r\n"
                     "BEGIN:VEVENT\r\nUID:utc\r\nDTSTART:20270420T233000Z\r\nDURATION:P2D\r\nEND:VEVENT\r\n"
                     "BEGIN:VEVENT\r\nUID:floating\r\nDTSTART:20270430T233000\r\nDTEND:20270501T100000\r\nEND:VEVENT\r\n");
        IcalImport::appliquer(IcalImport::preparer(feed, 2, at(kToday)));
        const QStringList room2 = nights(2);
        QCOMPARE(room2.size(), 2 + 2 + 1);
        QVERIFY(room2.first().startsWith(QStringLiteral("2027-04-11:Réservation en ligne – '); DROP TABLE reserv; -- <b>x</b> , %s %n")));
        QVERIFY(room2.at(2).startsWith(QStringLiteral("2027-04-21:")));
        QVERIFY(room2.at(4).startsWith(QStringLiteral("2027-04-30:")));

        QByteArray many;
        for (int i = 0; i < IcalText::maxEvents; ++i) {
            const QDate d = QDate(2000, 1, 1).addDays(i);
            many += vevent("e" + QByteArray::number(i), d.toString(QStringLiteral("yyyyMMdd")).toLatin1(),
                          d.addDays(1).toString(QStringLiteral("yyyyMMdd")).toLatin1());
        }
        QElapsedTimer timer;
        timer.start();
        const IcalImport::Plan plan = IcalImport::preparer(calendar(many), 5, at(kToday));
        QCOMPARE(plan.count(IcalImport::Kind::Nouveau), IcalText::maxEvents);
        qInfo("preview of %d events: %lld ms", IcalText::maxEvents, timer.elapsed());
        QVERIFY(timer.elapsed() < 20000);
    }

    // The window: export lists the files, a preview must come before an import,
    // and a changed file asks for a new preview.
    void windowPreviewsBeforeImporting()
    {
        TestDatabase db;
        ScopedAnswerer answers;
        TFormCalendriers window;
        window.show();
        window.dossierEdit()->setText(db.path() + QStringLiteral("/cal"));
        QVERIFY(window.exporter());
        QCOMPARE(window.fichiersList()->count(), 25);
        db.dir().writeFile(QStringLiteral("site.ics"), calendar(vevent("w1", "20300110", "20300112", "Marc")));
        window.fichierEdit()->setText(db.dir().file(QStringLiteral("site.ics")));
        window.chambreCombo()->setCurrentIndex(2);
        QVERIFY(!window.importerButton()->isEnabled());
        QVERIFY(window.apercu());
        QVERIFY(window.apercuText()->toPlainText().startsWith(QStringLiteral("Nouveaux séjours : 1")));
        QVERIFY(window.importer());
        QVERIFY(window.planningChanged());
        QCOMPARE(nights(3).size(), 2);
        QVERIFY(!window.importerButton()->isEnabled());
        window.fichierEdit()->setText(db.dir().file(QStringLiteral("absent.ics")));
        QVERIFY(!window.apercu());
        QVERIFY(answers->texts().last().startsWith(QStringLiteral("Impossible de lire")));
    }

    // Publishing: every feed under the account's number, no temporary name left behind.
    void publishedUnderTheUserNumber()
    {
        TestDataDir servers;
        servers.writeFile(QStringLiteral("users.json"),
                          R"([{"login": "h@o.fr", "password": "pw", "number": 7, "autorisations": ["Planning"]}])");
        QDir().mkpath(servers.file(QStringLiteral("ftp")));
        LoopbackServer ftp(QStringLiteral("backup_ftp_server.py"),
                           {QStringLiteral("--root"), servers.file(QStringLiteral("ftp")), QStringLiteral("--user"),
                            QStringLiteral("u"), QStringLiteral("--password"), QStringLiteral("p")});
        LoopbackServer soap(QStringLiteral("backup_soap_server.py"),
                            {QStringLiteral("--users"), servers.file(QStringLiteral("users.json"))});
        QVERIFY(ftp.port() > 0 && soap.port() > 0);
        TestDatabase db;
        stay(1, client(QStringLiteral("Anne")), "2027-03-10", "2027-03-12");
        IniFile().writeString(QStringLiteral("Chambres"), QStringLiteral("nombre"), QStringLiteral("2"));
        IcalExport::Options o;
        o.today = kToday;
        QStringList files;
        for (const IcalExport::RoomFile &f : IcalExport::exporter(db.path() + QStringLiteral("/cal"), o))
            files << f.path;
        ServicesConfig config;
        config.ftp = {QStringLiteral("127.0.0.1"), ftp.port(), QStringLiteral("u"), QStringLiteral("p")};
        config.webService = QStringLiteral("http://127.0.0.1:%1").arg(soap.port());
        const QStringList published = IcalPublish::publier(config, QStringLiteral("h@o.fr"), QStringLiteral("pw"), files);
        const QStringList expected{QStringLiteral("Calendrier-7-chambre-1.ics"), QStringLiteral("Calendrier-7-chambre-2.ics")};
        QCOMPARE(published, expected);
        QCOMPARE(QDir(servers.file(QStringLiteral("ftp"))).entryList(QDir::Files, QDir::Name), expected);
        QFile local(files.first());
        QFile remote(servers.file(QStringLiteral("ftp/Calendrier-7-chambre-1.ics")));
        QVERIFY(local.open(QIODevice::ReadOnly) && remote.open(QIODevice::ReadOnly));
        QCOMPARE(remote.readAll(), local.readAll());
        QVERIFY_EXCEPTION_THROWN(IcalPublish::publier(config, QStringLiteral("h@o.fr"), QStringLiteral("faux"), files), NetError);
    }
};

QTEST_MAIN(TestIcal)
#include "tst_ical.moc"
