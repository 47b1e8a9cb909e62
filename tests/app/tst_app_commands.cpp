#include "ui/app/main_window.h"
#include "common/dialogs.h"
#include "data/data_module.h"
#include "data/sql.h"
#include "ui/planning/month_grid.h"
#include "planning/planning_refreshers.h"
#include "ui/planning/week_grid.h"
#include "settings/ini_file.h"
#include "test_support.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The screenshot and demo commands, run as the user runs them.
class TestAppCommands : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DataModule::release(); }
    void screenshotWritesTheWindowAsPng_data();
    void screenshotWritesTheWindowAsPng();
    void screenshotRefusesBadArguments_data();
    void screenshotRefusesBadArguments();
    void demoFillsAnEmptyDirectoryOnce();
    void demoLeavesAConfiguredHotelAlone();

private:
    struct Run
    {
        int exitCode = -1;
        QString out;
        QString err;
    };
    static Run run(const QString &dir, const QStringList &args)
    {
        QProcess p;
        p.start(programPath(), QStringList({QStringLiteral("--dir"), dir}) + args);
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
};

void TestAppCommands::screenshotWritesTheWindowAsPng_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("weekly tab of today") << QStringList();
    QTest::newRow("monthly tab of a date")
        << QStringList({QStringLiteral("--onglet"), QStringLiteral("mensuel"), QStringLiteral("--date"),
                        QStringLiteral("31/01/2024")});
    QTest::newRow("statistics tab") << QStringList(
        {QStringLiteral("--onglet"), QStringLiteral("statistiques")});
}

void TestAppCommands::screenshotWritesTheWindowAsPng()
{
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("planning.png"));
    const Run r = run(dir.path(), QStringList({QStringLiteral("screenshot"), png}) + options);
    QCOMPARE(r.exitCode, 0);
    // A new directory gets its database, and the creation message goes to the console.
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("reserv.mdb"))));
    QVERIFY(r.err.contains(QStringLiteral("Création de la base de données avec succès !")));
    QImage image;
    QVERIFY(image.load(png, "PNG"));
    QCOMPARE(image.size(), QSize(1400, 900));
}

void TestAppCommands::screenshotRefusesBadArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no file") << QStringList({QStringLiteral("screenshot")}) << QStringLiteral("fichier PNG");
    QTest::newRow("unknown tab") << QStringList({QStringLiteral("screenshot"), QStringLiteral("a.png"),
                                                 QStringLiteral("--onglet"), QStringLiteral("annuel")})
                                 << QStringLiteral("onglet inconnu");
    QTest::newRow("not a date") << QStringList({QStringLiteral("screenshot"), QStringLiteral("a.png"),
                                                QStringLiteral("--date"), QStringLiteral("31/02/2024")})
                                << QStringLiteral("n'est pas une date");
}

void TestAppCommands::screenshotRefusesBadArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const Run r = run(dir.path(), args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("a.png"))));
}

void TestAppCommands::demoFillsAnEmptyDirectoryOnce()
{
    QTemporaryDir dir;
    const Run first = run(dir.path(), {QStringLiteral("demo")});
    QCOMPARE(first.exitCode, 0);
    QVERIFY(first.out.contains(QStringLiteral("8 chambres")));
    QVERIFY(first.out.contains(QStringLiteral("1 période tarifaire")));

    const IniFile ini(dir.filePath(QStringLiteral("config.ini")));
    QCOMPARE(ini.readString(QStringLiteral("Hotel"), QStringLiteral("nom")),
             QStringLiteral("Hôtel des Tilleuls"));
    QCOMPARE(ini.readInteger(QStringLiteral("Chambres"), QStringLiteral("nombre"), 0), 8);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("description/8.txt"))));

    const QByteArray configBefore = [&] {
        QFile f(ini.path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const Run second = run(dir.path(), {QStringLiteral("demo")});
    QCOMPARE(second.exitCode, 1);
    QVERIFY2(second.err.contains(QStringLiteral("déjà des clients")), qPrintable(second.err));
    QFile config(ini.path());
    QVERIFY(config.open(QIODevice::ReadOnly));
    QCOMPARE(config.readAll(), configBefore);

    // The window opens on the demonstration hotel.
    TestDataDir restoresWorkingDirectory;
    QDir::setCurrent(dir.path());
    {
        ScopedAnswerer answers;
        TForm1 window;
        QVERIFY(window.FormCreate());
        QVERIFY(answers->texts().isEmpty());
        QCOMPARE(window.weekGrid()->visibleRoomNames().size(), 8);
        QCOMPARE(window.weekGrid()->visibleRoomNames().first(), QStringLiteral("Chambre Bleue"));
        QCOMPARE(window.clientList().size(), 23); // the hotel, 20 guests, 2 bookings from a site
        int companies = 0;
        for (const QSqlRecord &r : window.clientList())
            if (!r.value(QStringLiteral("nom_ets")).toString().isEmpty() &&
                r.value(QStringLiteral("id")).toInt() != 1)
                ++companies;
        QCOMPARE(companies, 3);
        DataModule::Use use;
        QCOMPARE(Sql(use.db(), QStringLiteral("SELECT COUNT(DISTINCT id_prestation) FROM prestations WHERE "
                                              "numero_chambre = 8"))
                     .scalar()
                     .toInt(),
                 5);

        // The planning is alive: stays in every state over this month and the
        // next, for several clients, most nights with services.
        const QDate first = QDate::currentDate().addDays(1 - QDate::currentDate().day());
        const auto stays = [&use](const QDate &from, const QDate &to) {
            Sql q(use.db(), QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT etat), COUNT(DISTINCT info) "
                                           "FROM reserv WHERE r_date >= :a AND r_date < :b"));
            q.bind(QStringLiteral(":a"), from.toString(Qt::ISODate))
                .bind(QStringLiteral(":b"), to.toString(Qt::ISODate));
            const QList<QVariantList> rows = q.rows();
            return rows.isEmpty() ? QVariantList{0, 0, 0} : rows.first();
        };
        for (int month = 0; month < 2; ++month) {
            const QVariantList row = stays(first.addMonths(month), first.addMonths(month + 1));
            QVERIFY(row.at(0).toInt() > 100);
            QVERIFY(row.at(2).toInt() >= 5);
        }
        QCOMPARE(stays(first, first.addMonths(2)).at(1).toInt(), 3);
        QVERIFY(Sql(use.db(), QStringLiteral("SELECT COUNT(DISTINCT id_reserv) FROM reserv_prestations"))
                    .scalar()
                    .toInt() > 100);
        window.refreshers()->month()->flush();
        int filled = 0;
        for (int room = 1; room <= 8; ++room)
            for (int d = 0; d < window.monthGrid()->dayCount(); ++d)
                filled += window.monthGrid()->cellText(room, d).isEmpty() ? 0 : 1;
        QVERIFY(filled > 100);
    }
}

void TestAppCommands::demoLeavesAConfiguredHotelAlone()
{
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("config.ini")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("[Hotel]\nnom=Le Relais\n[Chambres]\nnombre=4\n");
    config.close();
    const Run r = run(dir.path(), {QStringLiteral("demo")});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(QStringLiteral("config.ini")));
    QCOMPARE(IniFile(config.fileName()).readInteger(QStringLiteral("Chambres"), QStringLiteral("nombre"), 0),
             4);
}

QTEST_MAIN(TestAppCommands)
#include "tst_app_commands.moc"
