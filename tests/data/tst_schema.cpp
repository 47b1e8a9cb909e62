#include "common/errors.h"
#include "data/data_module.h"
#include "data/database_file.h"
#include "data/schema.h"
#include "data/sql.h"
#include "test_support.h"

#include <QFile>
#include <QSqlDatabase>
#include <QtTest>

namespace {

QStringList columnsOf(const QSqlDatabase &db, const QString &table)
{
    QStringList out;
    Sql q(db, QStringLiteral("PRAGMA table_info(") + table + QLatin1Char(')'));
    for (const QVariantList &row : q.rows())
        out << row.at(1).toString();
    return out;
}

QStringList tablesOf(const QSqlDatabase &db)
{
    QStringList out;
    Sql q(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    for (const QVariantList &row : q.rows())
        out << row.at(0).toString();
    return out;
}

QList<double> vatRates(const QSqlDatabase &db)
{
    QList<double> out;
    for (const QVariantList &row : Sql(db, QStringLiteral("SELECT taux FROM tva ORDER BY id")).rows())
        out << row.at(0).toDouble();
    return out;
}

QString schemaDump(const QSqlDatabase &db)
{
    QStringList out;
    for (const QVariantList &row : Sql(db, QStringLiteral("SELECT sql FROM sqlite_master ORDER BY name")).rows())
        out << row.at(0).toString();
    return out.join(QLatin1Char('\n'));
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Each database a test makes gets a new name, so no connection outlives its file.
QSqlDatabase freshConnection(const QString &name)
{
    DataModule::closeConnection(name);
    return DataModule::connection(name);
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { DataModule::closeConnection(QStringLiteral("t")); }

    void freshDatabaseHasEveryTableColumnAndSeed()
    {
        TestDataDir dir;
        const Schema::Report report = DatabaseFile::prepare(QStringLiteral("t"));
        QSqlDatabase db = DataModule::connection(QStringLiteral("t"));
        QVERIFY(report.created);

        QStringList expected = Schema::tableNames();
        expected.sort();
        QCOMPARE(tablesOf(db), expected);
        QCOMPARE(expected.size(), 18); // 14 of the hotel's data, 3 of the channel calendars, the kept buyers
        for (const QString &t : Schema::tableNames())
            QCOMPARE(columnsOf(db, t), Schema::columnNames(t));
        QCOMPARE(columnsOf(db, QStringLiteral("devis")).last(), QStringLiteral("id_chambre"));

        const QList<QVariantList> clients = Sql(db, QStringLiteral("SELECT id,type,nom_ets,somme FROM infos")).rows();
        QCOMPARE(clients.size(), 1);
        QCOMPARE(clients.at(0).at(0).toInt(), 1);
        QCOMPARE(clients.at(0).at(1).toInt(), 1);
        QCOMPARE(clients.at(0).at(2).toString(), QStringLiteral("Mon Hotel"));
        QCOMPARE(clients.at(0).at(3).toInt(), 0);
        QCOMPARE(vatRates(db), (QList<double>{20, 10}));

        QCOMPARE(Sql(db, QStringLiteral("PRAGMA user_version")).scalar().toInt(), Schema::version);
        QCOMPARE(Sql(db, QStringLiteral("PRAGMA journal_mode")).scalar().toString(), QStringLiteral("wal"));
        QVERIFY(Sql(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='index' AND sql LIKE '%reserv (numero, r_date)%'"))
                    .scalar()
                    .isValid());
    }

    void secondStartChangesNothing()
    {
        TestDataDir dir;
        DatabaseFile::prepare(QStringLiteral("t"));
        QSqlDatabase db = DataModule::connection(QStringLiteral("t"));
        const QString before = schemaDump(db);
        const int changesBefore = Sql(db, QStringLiteral("SELECT total_changes()")).scalar().toInt();

        const Schema::Report again = Schema::createOrUpgrade(db);
        QVERIFY(!again.created);
        QCOMPARE(again.changes, QStringList());
        QCOMPARE(schemaDump(db), before);
        QCOMPARE(Sql(db, QStringLiteral("SELECT total_changes()")).scalar().toInt(), changesBefore);
        QCOMPARE(vatRates(db).size(), 2);
        QCOMPARE(Sql(db, QStringLiteral("SELECT count(*) FROM infos")).scalar().toInt(), 1);
    }

    void countersNeverReuseNumbersAndDatesDefaultToToday()
    {
        TestDataDir dir;
        DatabaseFile::prepare(QStringLiteral("t"));
        QSqlDatabase db = DataModule::connection(QStringLiteral("t"));
        for (int i = 0; i < 3; ++i)
            execSql(db, QStringLiteral("INSERT INTO reserv (numero) VALUES (1)"));
        execSql(db, QStringLiteral("DELETE FROM reserv WHERE id = 3"));
        execSql(db, QStringLiteral("INSERT INTO reserv (numero) VALUES (1)"));
        QCOMPARE(Sql(db, QStringLiteral("SELECT max(id) FROM reserv")).scalar().toInt(), 4);

        execSql(db, QStringLiteral("INSERT INTO log (operation) VALUES ('x')"));
        QCOMPARE(Sql(db, QStringLiteral("SELECT datelog FROM log")).scalar().toString(),
                 QDate::currentDate().toString(Qt::ISODate));
    }

    // Older databases, written as the versions of the program left them.
    void upgradeBringsOlderDatabasesToTheFullSchema_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QList<double>>("rates");

        const QString infosFax = QStringLiteral("CREATE TABLE infos (id INTEGER PRIMARY KEY AUTOINCREMENT, type INT, "
                                                "nom_ets VARCHAR(200), nom VARCHAR(100), prenom VARCHAR(100), "
                                                "tel VARCHAR(30), somme INT, fax VARCHAR(30))");
        const QString reservOld = QStringLiteral("CREATE TABLE reserv (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                                                 "r_date DATETIME, numero INT, info INT, etat VARCHAR(30), reglement INT)");
        QTest::newRow("fax without email, no other table")
            << QStringList{infosFax, reservOld, QStringLiteral("INSERT INTO infos (type,nom) VALUES (NULL,'Ancien')"),
                           QStringLiteral("INSERT INTO reserv (r_date,numero,info,etat) VALUES ('2010-05-01',2,1,'Payé')")}
            << QList<double>{19.6, 5.5};
        QTest::newRow("existing tva keeps its rates")
            << QStringList{infosFax, reservOld,
                           QStringLiteral("CREATE TABLE tva (id INTEGER PRIMARY KEY AUTOINCREMENT, taux DOUBLE)"),
                           QStringLiteral("INSERT INTO tva (taux) VALUES (7)")}
            << QList<double>{7};
        QTest::newRow("invoices without stay dates")
            << QStringList{infosFax, reservOld,
                           QStringLiteral("CREATE TABLE facturation (id INTEGER PRIMARY KEY AUTOINCREMENT, f_date DATETIME, "
                                          "id_client INT, mode_reglement VARCHAR(20), adresse_facturation TEXT, "
                                          "total_ht DOUBLE, total_tva DOUBLE, total_ttc DOUBLE)"),
                           QStringLiteral("INSERT INTO facturation (id,total_ttc) VALUES (41,100)"),
                           QStringLiteral("INSERT INTO facturation (id,total_ttc) VALUES (42,50)"),
                           QStringLiteral("DELETE FROM facturation WHERE id = 42")}
            << QList<double>{19.6, 5.5};
    }

    void upgradeBringsOlderDatabasesToTheFullSchema()
    {
        QFETCH(QStringList, setup);
        QFETCH(QList<double>, rates);
        TestDataDir dir;
        {
            QSqlDatabase db = freshConnection(QStringLiteral("t"));
            for (const QString &s : setup)
                execSql(db, s);
        }
        const Schema::Report report = DatabaseFile::prepare(QStringLiteral("t"));
        QSqlDatabase db = DataModule::connection(QStringLiteral("t"));
        QVERIFY(!report.created);
        QVERIFY(report.changes.contains(QStringLiteral("colonne infos.email ajoutée")));
        for (const QString &t : Schema::tableNames())
            QCOMPARE(columnsOf(db, t), Schema::columnNames(t));
        QCOMPARE(vatRates(db), rates);
        // The upgrade never adds a seed client to an existing database.
        QCOMPARE(Sql(db, QStringLiteral("SELECT count(*) FROM infos WHERE nom_ets = 'Mon Hotel'")).scalar().toInt(), 0);
        QCOMPARE(Sql(db, QStringLiteral("SELECT count(*) FROM infos WHERE type IS NULL")).scalar().toInt(), 0);
        // Old nights keep their values; the new person counts stay empty.
        const QList<QVariantList> nights = Sql(db, QStringLiteral("SELECT numero,nbpers,nbenfants FROM reserv")).rows();
        for (const QVariantList &n : nights) {
            QVERIFY(n.at(1).isNull());
            QVERIFY(n.at(2).isNull());
        }
        if (QString::fromLatin1(QTest::currentDataTag()).startsWith(QLatin1String("invoices"))) {
            // Rebuilt in place: ids, amounts and the counter survive; old invoices get no invented stay dates.
            const QList<QVariantList> inv = Sql(db, QStringLiteral("SELECT id,total_ttc,sejour_debut FROM facturation")).rows();
            QCOMPARE(inv.size(), 1);
            QCOMPARE(inv.at(0).at(0).toInt(), 41);
            QCOMPARE(inv.at(0).at(1).toDouble(), 100.0);
            QVERIFY(inv.at(0).at(2).isNull());
            execSql(db, QStringLiteral("INSERT INTO facturation (total_ttc) VALUES (1)"));
            QCOMPARE(Sql(db, QStringLiteral("SELECT max(id) FROM facturation")).scalar().toInt(), 43);
            execSql(db, QStringLiteral("INSERT INTO facturation (total_ttc) VALUES (2)"));
            QCOMPARE(Sql(db, QStringLiteral("SELECT sejour_fin FROM facturation WHERE id = 44")).scalar().toString(),
                     QDate::currentDate().toString(Qt::ISODate));
        }
        // And the upgraded database is stable from then on.
        QCOMPARE(Schema::createOrUpgrade(db).changes, QStringList());
    }

    void unusableFileIsReportedAndLeftUntouched_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QByteArray access("\x00\x01\x00\x00Standard Jet DB\x00", 20);
        access.append(QByteArray(2000, '\x5a'));
        QTest::newRow("Access file") << access << QStringLiteral("ancienne version");
        QTest::newRow("text file") << QByteArray("hello, not a database\n") << QStringLiteral("n'est pas une base");
    }

    void unusableFileIsReportedAndLeftUntouched()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        TestDataDir dir;
        dir.writeFile(QStringLiteral("reserv.mdb"), bytes);
        try {
            DatabaseFile::prepare(QStringLiteral("t"));
            QFAIL("an unusable file was accepted");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.text().contains(expected), qPrintable(e.text()));
            QVERIFY(e.text().contains(QStringLiteral("n'a pas été modifié")));
        }
        QCOMPARE(readAll(dir.file(QStringLiteral("reserv.mdb"))), bytes);
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("reserv.mdb-wal"))));
    }

    void damagedDatabaseIsReportedAndLeftUntouched()
    {
        TestDataDir dir;
        {
            QSqlDatabase db = freshConnection(QStringLiteral("t"));
            execSql(db, QStringLiteral("PRAGMA journal_mode=DELETE"));
            execSql(db, QStringLiteral("CREATE TABLE infos (id INTEGER PRIMARY KEY, nom TEXT)"));
            execSql(db, QStringLiteral("CREATE INDEX i ON infos (nom)"));
            for (int i = 0; i < 400; ++i)
                execSql(db, QStringLiteral("INSERT INTO infos (nom) VALUES ('client %1 %2')").arg(i).arg(QString(60, QLatin1Char('x'))));
        }
        DataModule::closeConnection(QStringLiteral("t"));
        QByteArray bytes = readAll(dir.file(QStringLiteral("reserv.mdb")));
        QVERIFY(bytes.size() > 8192);
        // Scribble over the second page, leaving the header intact.
        for (int i = 4096 + 8; i < 4096 + 1500; ++i)
            bytes[i] = char(0xA5);
        dir.writeFile(QStringLiteral("reserv.mdb"), bytes);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, DatabaseFile::prepare(QStringLiteral("t")));
        QCOMPARE(readAll(dir.file(QStringLiteral("reserv.mdb"))), bytes);
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
