#include "common/errors.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/dialect.h"
#include "data/engine.h"
#include "data/invoice_counter.h"
#include "data/reservation.h"
#include "data/schema.h"
#include "data/sql.h"
#include "settings/ini_file.h"
#include "test_support.h"

#include <QTest>

// What differs between the two engines: the [Base] section of config.ini, the
// schema made and upgraded on each, the unique index on room and night and
// the old data that hold a night twice. Run on SQLite (tst_engines) and on
// PostgreSQL (tst_engines_postgresql).
class TestEngines : public QObject
{
    Q_OBJECT

private slots:
    void baseSection_data();
    void baseSection();
    void schemaCreatedWhole();
    void olderSchemaUpgraded();
    void roomNightUnique();
    void oldDoubleNightsKept();
    void invoiceCounter();
    void rowReaderReadsAsQuery();
};

namespace {

QSqlDatabase db()
{
    return DataModule::shared();
}

int countRows(const QString &where)
{
    return Sql(db(), QStringLiteral("SELECT COUNT(*) FROM reserv WHERE ") + where).scalar().toInt();
}

void addRawNight(const QString &iso, int room)
{
    Sql(db(), QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, nbpers, nbenfants) "
                             "VALUES (:d, :n, 1, 'Réservé', 2, 0)"))
        .bind(QStringLiteral(":d"), iso)
        .bind(QStringLiteral(":n"), room)
        .exec();
}

TextGrid noServices()
{
    return servicesGridOf({}, 3);
}

} // namespace

void TestEngines::baseSection_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("expected"); // engine|host|port|base|user, or "!" and a piece of the error
    QTest::newRow("no section") << QByteArray("[Hotel]\nnom=X\n") << QStringLiteral("sqlite");
    QTest::newRow("sqlite named") << QByteArray("[Base]\nmoteur=SQLite\n") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QByteArray("[base]\nMoteur=postgresql\nhote=db.hotel\nport=5433\nbase=h\nutilisateur=u\n")
                                << QStringLiteral("postgresql|db.hotel|5433|h|u");
    QTest::newRow("default port") << QByteArray("[Base]\nmoteur=postgresql\nhote=/run/pg\nbase=h\nutilisateur=u\n")
                                  << QStringLiteral("postgresql|/run/pg|5432|h|u");
    QTest::newRow("unknown engine") << QByteArray("[Base]\nmoteur=mysql\n")
                                    << QStringLiteral("!moteur de base de données inconnu « mysql »");
    QTest::newRow("missing host") << QByteArray("[Base]\nmoteur=postgresql\nbase=h\nutilisateur=u\n")
                                  << QStringLiteral("!la clé « hote » de la section [Base] manque");
    QTest::newRow("missing user") << QByteArray("[Base]\nmoteur=postgresql\nhote=h\nbase=h\n")
                                  << QStringLiteral("!la clé « utilisateur » de la section [Base] manque");
    QTest::newRow("bad port") << QByteArray("[Base]\nmoteur=postgresql\nhote=h\nport=cinq\nbase=h\nutilisateur=u\n")
                              << QStringLiteral("!le port « cinq »");
    QTest::newRow("password refused")
        << QByteArray("[Base]\nmoteur=postgresql\nhote=h\nbase=h\nutilisateur=u\nmotdepasse=secret\n")
        << QStringLiteral("!ne s'écrit pas dans config.ini");
}

void TestEngines::baseSection()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, expected);
    TestDataDir dir;
    dir.writeFile(QStringLiteral("settings.ini"), ini);
    try {
        const DatabaseTarget t = DatabaseTarget::parse(IniFile(dir.file(QStringLiteral("settings.ini"))));
        QVERIFY2(!expected.startsWith(QLatin1Char('!')), "accepted a section that must be refused");
        const QString got = t.isPostgresql()
                                ? QStringLiteral("postgresql|%1|%2|%3|%4").arg(t.host).arg(t.port).arg(t.database, t.user)
                                : QStringLiteral("sqlite");
        QCOMPARE(got, expected);
    } catch (const SettingsError &e) {
        QVERIFY2(expected.startsWith(QLatin1Char('!')), qPrintable(e.text()));
        QVERIFY2(e.text().contains(expected.mid(1)), qPrintable(e.text()));
    }
}

void TestEngines::schemaCreatedWhole()
{
    TestDatabase database;
    QCOMPARE(Dialect::isPostgresql(db()), testOnPostgresql());
    const QStringList present = Dialect::tableNames(db());
    for (const QString &table : Schema::tableNames()) {
        QVERIFY2(present.contains(table), qPrintable(table));
        QStringList columns;
        for (const auto &c : Dialect::columns(db(), table))
            columns << c.first.toLower();
        QCOMPARE(columns, Schema::columnNames(table));
    }
    QCOMPARE(Dialect::schemaVersion(db()), Schema::version);
    QVERIFY(Dialect::indexExists(db(), QStringLiteral("idx_reserv_chambre_nuit")));
    // Seed rows, auto-numbered keys and today's date as default, the same on both.
    QCOMPARE(Sql(db(), QStringLiteral("SELECT nom_ets FROM infos WHERE id = 1")).scalar().toString(),
             QStringLiteral("Mon Hotel"));
    Sql(db(), QStringLiteral("INSERT INTO log (operation) VALUES ('essai')")).exec();
    QCOMPARE(Sql(db(), QStringLiteral("SELECT datelog FROM log WHERE operation = 'essai'")).scalar().toString(),
             QDate::currentDate().toString(Qt::ISODate));
    // A second run finds nothing to do.
    const Schema::Report again = Schema::createOrUpgrade(db());
    QVERIFY(!again.created);
    QCOMPARE(again.changes, QStringList());
}

void TestEngines::olderSchemaUpgraded()
{
    TestDatabase database;
    addRawNight(QStringLiteral("2026-03-01"), 2);
    Sql(db(), QStringLiteral("INSERT INTO facturation (f_date, id_client) VALUES ('2026-03-02', 1)")).exec();
    // A database of version 1: no channel calendars, no electronic invoice date, no unique night index.
    execSql(db(), QStringLiteral("DROP INDEX idx_reserv_chambre_nuit"));
    execSql(db(), QStringLiteral("DROP INDEX idx_ical_import_feed"));
    execSql(db(), QStringLiteral("DROP TABLE ical_import"));
    execSql(db(), QStringLiteral("ALTER TABLE facturation DROP COLUMN facturx"));
    execSql(db(), QStringLiteral("ALTER TABLE log DROP COLUMN datelog"));
    Dialect::setSchemaVersion(db(), 1);

    const Schema::Report report = Schema::createOrUpgrade(db());
    QVERIFY(!report.created);
    for (const char *change : {"table ical_import créée", "colonne facturation.facturx ajoutée",
                               "colonne log.datelog ajoutée", "index idx_reserv_chambre_nuit créé"})
        QVERIFY2(report.changes.contains(QString::fromUtf8(change)), qPrintable(report.changes.join(u'|')));
    QCOMPARE(Dialect::schemaVersion(db()), Schema::version);
    // Old rows kept; a column added later stays empty for them but takes today's date for new rows.
    QCOMPARE(countRows(QStringLiteral("numero = 2")), 1);
    QCOMPARE(Sql(db(), QStringLiteral("SELECT COUNT(*) FROM facturation")).scalar().toInt(), 1);
    Sql(db(), QStringLiteral("INSERT INTO log (operation) VALUES ('apres')")).exec();
    QCOMPARE(Sql(db(), QStringLiteral("SELECT COUNT(*) FROM log WHERE datelog IS NULL")).scalar().toInt(),
             Sql(db(), QStringLiteral("SELECT COUNT(*) FROM log WHERE operation <> 'apres'")).scalar().toInt());
    QCOMPARE(Sql(db(), QStringLiteral("SELECT datelog FROM log WHERE operation = 'apres'")).scalar().toString(),
             QDate::currentDate().toString(Qt::ISODate));
}

void TestEngines::roomNightUnique()
{
    TestDatabase database;
    Reservation().ajouterReservation(3, QStringLiteral("Réservé"), 1, QDate(2026, 5, 1), QDate(2026, 5, 3),
                                     noServices(), 2, 0);
    // The check in the saving transaction: nothing of the second stay is written.
    try {
        Reservation().ajouterReservation(3, QStringLiteral("Réservé"), 1, QDate(2026, 4, 29), QDate(2026, 5, 1),
                                         noServices(), 2, 0);
        QFAIL("a taken night was accepted");
    } catch (const RoomTakenError &e) {
        QCOMPARE(e.date(), QDate(2026, 5, 1));
    }
    QCOMPARE(countRows(QStringLiteral("numero = 3")), 3);
    // A row that bypasses the check (another desk's write) meets the index, in French.
    try {
        addRawNight(QStringLiteral("2026-05-02"), 3);
        QFAIL("the unique index let a second row in");
    } catch (const UniqueViolation &e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Chambre déjà prise")), qPrintable(e.text()));
    }
    QCOMPARE(countRows(QStringLiteral("numero = 3")), 3);
    // Busy and lost-connection codes read by the engine they come from: a
    // PostgreSQL SQLSTATE that is all digits is not an SQLite result code.
    QCOMPARE(Dialect::classify(QStringLiteral("QPSQL"), QSqlError({}, {}, QSqlError::StatementError, QStringLiteral("00005"))),
             Dialect::ErrorKind::Other);
    QCOMPARE(Dialect::classify(QStringLiteral("QPSQL"), QSqlError({}, {}, QSqlError::StatementError, QStringLiteral("55P03"))),
             Dialect::ErrorKind::Busy);
    QCOMPARE(Dialect::classify(QStringLiteral("QPSQL"), QSqlError({}, {}, QSqlError::StatementError, QStringLiteral("08006"))),
             Dialect::ErrorKind::ConnectionLost);
    QCOMPARE(Dialect::classify(QStringLiteral("QSQLITE"), QSqlError({}, {}, QSqlError::StatementError, QStringLiteral("517"))),
             Dialect::ErrorKind::Busy);
}

void TestEngines::oldDoubleNightsKept()
{
    TestDatabase database;
    execSql(db(), QStringLiteral("DROP INDEX idx_reserv_chambre_nuit"));
    addRawNight(QStringLiteral("2026-06-10"), 4);
    addRawNight(QStringLiteral("2026-06-10"), 4);
    addRawNight(QStringLiteral("2026-06-11"), 4);

    for (int run = 0; run < 2; ++run) {
        const Schema::Report report = Schema::createOrUpgrade(db());
        QCOMPARE(report.doubleNights.size(), 1);
        QCOMPARE(report.doubleNights.first().room, 4);
        QCOMPARE(report.doubleNights.first().night, QDate(2026, 6, 10));
        QVERIFY(report.doubleNightLines().first().contains(QStringLiteral("10/06/2026")));
        QVERIFY(!Dialect::indexExists(db(), QStringLiteral("idx_reserv_chambre_nuit")));
        QCOMPARE(countRows(QStringLiteral("numero = 4")), 3);
    }
    // Without the index the saving transaction's check still refuses the night.
    QVERIFY_THROWS_EXCEPTION(RoomTakenError,
                             Reservation().ajouterReservation(4, QStringLiteral("Réservé"), 1, QDate(2026, 6, 9),
                                                              QDate(2026, 6, 10), noServices(), 1, 0));
    QCOMPARE(countRows(QStringLiteral("numero = 4")), 3);
    // Once resolved, the next start makes the index.
    execSql(db(), QStringLiteral("DELETE FROM reserv WHERE id = (SELECT MAX(id) FROM reserv WHERE r_date = '2026-06-10')"));
    const Schema::Report resolved = Schema::createOrUpgrade(db());
    QVERIFY(resolved.doubleNights.isEmpty());
    QVERIFY(resolved.changes.contains(QStringLiteral("index idx_reserv_chambre_nuit créé")));
}

void TestEngines::invoiceCounter()
{
    TestDatabase database;
    InvoiceCounter counter;
    QCOMPARE(counter.nextNumber(), 1);
    counter.setNext(120);
    QCOMPARE(counter.nextNumber(), 120);
    Sql insert(db(), QStringLiteral("INSERT INTO facturation (f_date, id_client) VALUES ('2026-01-01', 1)"));
    insert.exec();
    QCOMPARE(insert.lastInsertId().toInt(), 120);
    QCOMPARE(counter.nextNumber(), 121);
    QVERIFY_THROWS_EXCEPTION(KestrovaError, counter.setNext(120));
    QCOMPARE(counter.nextNumber(), 121);
}

// The fast row reader gives each stored value as QSqlQuery::value() converted
// would, whatever the value's storage (SQLite keeps a text in an INT column),
// and its errors are those of Sql.
void TestEngines::rowReaderReadsAsQuery()
{
    TestDatabase database;
    execSql(db(), QStringLiteral("CREATE TABLE essai_lecture (k INT, n INT, x REAL, t TEXT, d TEXT)"));
    const QList<QVariantList> values = {
        {1, 42, 2.5, QStringLiteral("Réservé"), QStringLiteral("2024-03-01")},
        {2, -7, 19.99, QStringLiteral("12,5"), QStringLiteral("2024-02-29 18:30:00")},
        {3, QVariant(), QVariant(), QVariant(), QVariant()},
        {4, 0, 0.1, QStringLiteral(""), QStringLiteral("pas une date")},
        {5, 2147483647, -3.0, QStringLiteral("3"), QStringLiteral("2024-13-01")},
    };
    Sql insert(db(), QStringLiteral("INSERT INTO essai_lecture VALUES (:k, :n, :x, :t, :d)"));
    for (const QVariantList &v : values)
        insert.bind(QStringLiteral(":k"), v[0]).bind(QStringLiteral(":n"), v[1]).bind(QStringLiteral(":x"), v[2])
            .bind(QStringLiteral(":t"), v[3]).bind(QStringLiteral(":d"), v[4]).exec();
    if (!testOnPostgresql()) // a text where a number is stored, as old files hold
        execSql(db(), QStringLiteral("INSERT INTO essai_lecture VALUES (6, 'abc', '7,5', 8, 20240301)"));

    const QString select = QStringLiteral("SELECT k, n, x, t, d FROM essai_lecture WHERE k >= :min ORDER BY k");
    // One read after the other: PostgreSQL streams a forward-only read, which
    // another statement on the connection would cut short.
    const QList<QVariantList> expected = Sql(db(), select).bind(QStringLiteral(":min"), 1).rows();
    QCOMPARE(expected.size(), testOnPostgresql() ? 5 : 6);
    RowReader reader(db(), select);
    reader.bind(QStringLiteral(":min"), 1);
    for (int r = 0; r < expected.size(); ++r) {
        QVERIFY(reader.next());
        for (int c = 0; c < 5; ++c) {
            const QVariant &v = expected[r][c];
            const QByteArray where = QByteArray::number(r * 10 + c);
            QVERIFY2(reader.isNull(c) == v.isNull(), where.constData());
            QVERIFY2(reader.toInt(c) == v.toInt(), where.constData());
            QVERIFY2(reader.toDouble(c) == v.toDouble(), where.constData());
            QVERIFY2(reader.text(c) == v.toString(), qPrintable(QString::fromLatin1(where) + u' ' + reader.text(c)));
            QVERIFY2(reader.isoDate(c) == (v.isNull() ? QDate() : Format::fromIsoDate(v.toString())),
                     where.constData());
        }
    }
    QVERIFY(!reader.next());

    try {
        RowReader wrong(db(), QStringLiteral("SELECT colonne_absente FROM essai_lecture"));
        wrong.next();
        QFAIL("une colonne absente doit être refusée");
    } catch (const DatabaseError &e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Erreur de la base de données")), qPrintable(e.text()));
    }
}

QTEST_MAIN(TestEngines)
#include "tst_engines.moc"
