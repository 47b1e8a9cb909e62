#include "test_support.h"

#include "data/data_module.h"
#include "data/sql.h"
#include "net/archive_backup.h"
#include "net/archive_format.h"
#include "net/archive_restore.h"
#include "net/archive_snapshot.h"
#include "net/backup_session.h"
#include "settings/ini_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSqlDatabase>
#include <QTest>

#include <zlib.h>

namespace {

QByteArray le32(qint64 v)
{
    QByteArray out;
    const auto u = static_cast<quint32>(static_cast<qint32>(v));
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((u >> (8 * i)) & 0xFF));
    return out;
}

QByteArray zlibOf(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(data.constData()),
              uLong(data.size()), Z_DEFAULT_COMPRESSION);
    out.resize(qsizetype(size));
    return out;
}

// A record written by hand, sizes and stream as given.
QByteArray rawRecord(const QByteArray &path, const QByteArray &name, qint64 size, const QByteArray &data,
                     qint64 compressedSize = -2)
{
    QByteArray r;
    r.append(char(path.size())).append(path).append(char(name.size())).append(name);
    r.append(le32(size)).append(le32(compressedSize == -2 ? data.size() : compressedSize)).append(data);
    return r;
}

QByteArray goodRecord(const QByteArray &name, const QByteArray &content)
{
    return rawRecord({}, name, content.size(), zlibOf(content));
}

// Every file below a directory (hidden ones too), with its bytes.
QMap<QString, QByteArray> tree(const QString &dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files.insert(QDir(dir).relativeFilePath(path), f.readAll());
    }
    return files;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

int clientCount()
{
    return Sql(DataModule::shared(), QStringLiteral("SELECT count(*) FROM infos")).scalar().toInt();
}

void addClient(const QString &name)
{
    Sql(DataModule::shared(), QStringLiteral("INSERT INTO infos (nom, type) VALUES (?, 2)")).add(name).exec();
}

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT

private slots:
    void recordsHaveTheDocumentedLayoutAndRoundTrip();
    void backupHoldsTheFilesThatMatter_data();
    void backupHoldsTheFilesThatMatter();
    void snapshotLeavesOutUncommittedWorkAndStandsAlone();
    void integrityCheckSaysWhyACopyIsUnusable_data();
    void integrityCheckSaysWhyACopyIsUnusable();
    void hostileArchivesChangeNothing_data();
    void hostileArchivesChangeNothing();
    void restoreReplacesTheDataAndRemovesWhatTheBackupLacks();
    void recentBackupsAreTheNewestByDate_data();
    void recentBackupsAreTheNewestByDate();
    void commandsPackListUnpackAndRestore();
};

void TestArchive::recordsHaveTheDocumentedLayoutAndRoundTrip()
{
    TestDataDir dir;
    QByteArray binary(70000, Qt::Uninitialized);
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 7919) >> 3);
    writeFile(dir.file(QStringLiteral("a.bin")), binary);
    writeFile(dir.file(QStringLiteral("vide.txt")), {});
    writeFile(dir.file(QStringLiteral("d3.txt")), "Chambre double, vue sur le jardin.");
    const QString archive = dir.file(QStringLiteral("out.zip"));
    Archive::pack(archive, {{QStringLiteral("a.bin"), dir.file(QStringLiteral("a.bin"))},
                            {QStringLiteral("vide.txt"), dir.file(QStringLiteral("vide.txt"))},
                            {QStringLiteral("description/3.txt"), dir.file(QStringLiteral("d3.txt"))}});

    QFile f(archive);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    // path length 0, name length, name, sizes little-endian, zlib stream at the default level
    QCOMPARE(bytes.left(7), QByteArray("\x00\x05"
                                       "a.bin",
                                       7));
    QCOMPARE(bytes.mid(7, 4), le32(70000));
    const qint64 compressed = Archive::listBytes(bytes).first().compressedSize;
    QCOMPARE(bytes.mid(11, 4), le32(compressed));
    QCOMPARE(bytes.mid(15, 2), QByteArray("\x78\x9c"));
    QCOMPARE(bytes.mid(15, int(compressed)), zlibOf(binary));

    QList<QPair<QString, qint64>> listed;
    for (const ArchiveEntry &e : Archive::list(archive))
        listed << qMakePair(e.relativePath(), e.size);
    const QList<QPair<QString, qint64>> expected{{QStringLiteral("a.bin"), 70000},
                                                 {QStringLiteral("vide.txt"), 0},
                                                 {QStringLiteral("description/3.txt"), 34}};
    QCOMPARE(listed, expected);

    const QString target = dir.file(QStringLiteral("cible"));
    Archive::unpack(archive, target);
    const QMap<QString, QByteArray> out = tree(target);
    QCOMPARE(out.value(QStringLiteral("a.bin")), binary);
    QVERIFY(out.contains(QStringLiteral("vide.txt")));
    QCOMPARE(out.value(QStringLiteral("description/3.txt")),
             QByteArray("Chambre double, vue sur le jardin."));
}

void TestArchive::backupHoldsTheFilesThatMatter_data()
{
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<bool>("withTemplates");
    QTest::addColumn<QStringList>("expected");
    const QString db = QStringLiteral("reserv2.mdb");
    const QString ini = QStringLiteral("config.ini");
    QTest::newRow("empty description 2 left out") << QStringLiteral("3") << true
                                                  << QStringList{db,
                                                                 ini,
                                                                 QStringLiteral("emailDevis.txt"),
                                                                 QStringLiteral("description/1.txt"),
                                                                 QStringLiteral("description/3.txt"),
                                                                 QStringLiteral("logo.jpg")};
    QTest::newRow("nombre 0: no description")
        << QStringLiteral("0") << true
        << QStringList{db, ini, QStringLiteral("emailDevis.txt"), QStringLiteral("logo.jpg")};
    QTest::newRow("shut-down backup: no templates")
        << QStringLiteral("1") << false
        << QStringList{db, ini, QStringLiteral("description/1.txt"), QStringLiteral("logo.jpg")};
}

void TestArchive::backupHoldsTheFilesThatMatter()
{
    QFETCH(QString, nombre);
    QFETCH(bool, withTemplates);
    QFETCH(QStringList, expected);
    TestDatabase db;
    IniFile().writeString(QStringLiteral("Chambres"), QStringLiteral("nombre"), nombre);
    db.dir().writeFile(QStringLiteral("emailDevis.txt"), "Bonjour,");
    db.dir().writeFile(QStringLiteral("description/1.txt"), "Un");
    db.dir().writeFile(QStringLiteral("description/2.txt"), "");
    db.dir().writeFile(QStringLiteral("description/3.txt"), "Trois");
    db.dir().writeFile(QStringLiteral("description/4.txt"), "Quatre"); // beyond nombre
    db.dir().writeFile(QStringLiteral("logo.jpg"), "\xff\xd8\xff");
    addClient(QStringLiteral("Dupont"));

    const QString archive = db.dir().file(QStringLiteral("sauvegarde-1.zip"));
    BackupArchive::create(archive, BackupArchive::Options{withTemplates});
    QStringList names;
    for (const ArchiveEntry &e : Archive::list(archive))
        names << e.relativePath();
    QCOMPARE(names, expected);
    QVERIFY(!QFile::exists(db.dir().file(QStringLiteral("reserv2.mdb"))));
}

void TestArchive::snapshotLeavesOutUncommittedWorkAndStandsAlone()
{
    TestDatabase db;
    addClient(QStringLiteral("Commité"));
    QSqlDatabase shared = DataModule::shared();
    QVERIFY(shared.transaction());
    addClient(QStringLiteral("En cours"));
    const QString copy = db.dir().file(QStringLiteral("copie.mdb"));
    DatabaseSnapshot::take(DataModule::databasePath(), copy);
    QVERIFY(shared.rollback());

    QVERIFY(!QFile::exists(copy + QStringLiteral("-wal")));
    QCOMPARE(DatabaseSnapshot::checkIntegrity(copy), QString());
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("copie"));
        c.setDatabaseName(copy);
        QVERIFY(c.open());
        Sql q(c, QStringLiteral("SELECT nom FROM infos WHERE id > 1 ORDER BY id"));
        QStringList names;
        for (const QVariantList &row : q.rows())
            names << row[0].toString();
        QCOMPARE(names, QStringList{QStringLiteral("Commité")});
        c.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("copie"));
}

void TestArchive::integrityCheckSaysWhyACopyIsUnusable_data()
{
    // How the sound copy is spoilt: bytes written at an offset (-1: the file
    // replaced by them, -2: no file at all), and how the verdict begins.
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("sound") << qint64(0) << QByteArray() << QString();
    QTest::newRow("missing") << qint64(-2) << QByteArray() << QStringLiteral("la base de données ne s'ouvre pas");
    QTest::newRow("not a database") << qint64(-1) << QByteArray("Ceci n'est pas une base de donnees.")
                                    << QStringLiteral("la base de données est illisible");
    QTest::newRow("damaged page") << qint64(4096 + 8) << QByteArray(64, '\xff')
                                  << QStringLiteral("la base de données est endommagée");
}

void TestArchive::integrityCheckSaysWhyACopyIsUnusable()
{
    QFETCH(qint64, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, verdict);
    TestDatabase db;
    for (int i = 0; i < 200; ++i)
        addClient(QStringLiteral("Client %1").arg(i));
    const QString copy = db.dir().file(QStringLiteral("copie.mdb"));
    DatabaseSnapshot::take(DataModule::databasePath(), copy);
    QFile f(copy);
    if (offset == -2) {
        QVERIFY(f.remove());
    } else if (!bytes.isEmpty()) {
        QVERIFY(f.open(offset == -1 ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::ReadWrite));
        QVERIFY(f.seek(qMax<qint64>(offset, 0)));
        f.write(bytes);
        f.close();
    }
    const QString found = DatabaseSnapshot::checkIntegrity(copy);
    if (verdict.isEmpty())
        QCOMPARE(found, QString());
    else
        QVERIFY2(found.startsWith(verdict), qPrintable(found));
}

void TestArchive::hostileArchivesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("archive");
    const QByteArray ini = goodRecord("config.ini", "[Hotel]\nnom=Pirate\n");
    const QByteArray content = "evil";
    QTest::newRow("traversal") << ini + goodRecord("../evil.txt", content);
    QTest::newRow("traversal in path field") << ini + rawRecord("..", "evil.txt", 4, zlibOf(content));
    QTest::newRow("backslash traversal") << ini + goodRecord("description\\..\\..\\evil.txt", content);
    QTest::newRow("absolute name") << ini + goodRecord("/tmp/kestrova-evil.txt", content);
    QTest::newRow("drive letter") << ini + goodRecord("C:/evil.txt", content);
    QTest::newRow("truncated record")
        << QByteArray(ini + goodRecord("logo.jpg", QByteArray(500, 'x'))).chopped(3);
    QTest::newRow("size mismatch") << ini + rawRecord({}, "logo.jpg", 9, zlibOf(content));
    QTest::newRow("negative size") << ini + rawRecord({}, "logo.jpg", -1, zlibOf(content));
    QTest::newRow("compressed size past the end")
        << ini + rawRecord({}, "logo.jpg", 4, zlibOf(content), 1000000);
    QTest::newRow("bad zlib") << ini +
                                     rawRecord({}, "logo.jpg", 4, QByteArray("\x78\x9c\x01\x02\x03\x04", 6));
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("trailing bytes") << ini + goodRecord("reserv2.mdb", "x") + QByteArray("\x01\x02\x03", 3);
    QTest::newRow("no database") << ini;
    QTest::newRow("database that is not one") << ini + goodRecord("reserv2.mdb", "ceci n'est pas une base");
}

void TestArchive::hostileArchivesChangeNothing()
{
    QFETCH(QByteArray, archive);
    QTemporaryDir outside;
    TestDatabase db;
    addClient(QStringLiteral("Dupont"));
    db.dir().writeFile(QStringLiteral("config.ini"), "[Hotel]\nnom=Les Tilleuls\n");
    db.dir().writeFile(QStringLiteral("logo.jpg"), "\xff\xd8\xff\xe0logo");
    db.dir().writeFile(QStringLiteral("emailFacture.txt"), "Madame, Monsieur,");
    db.dir().writeFile(QStringLiteral("description/1.txt"), "Vue sur la mer");
    const QString file = outside.filePath(QStringLiteral("hostile.zip"));
    writeFile(file, archive);
    DataModule::release();
    const QMap<QString, QByteArray> before = tree(db.path());

    QVERIFY_THROWS_EXCEPTION(ArchiveError, ArchiveRestore::restore(file));
    QCOMPARE(tree(db.path()), before);
    QCOMPARE(clientCount(), 2);

    // Plain unpacking refuses the same way, before writing anything.
    const QString target = outside.filePath(QStringLiteral("cible"));
    try {
        Archive::unpack(file, target);
    } catch (const ArchiveError &) {
        QVERIFY(tree(target).isEmpty());
    }
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/kestrova-evil.txt")));
    QVERIFY(!QFile::exists(outside.filePath(QStringLiteral("evil.txt"))));
    QVERIFY(!QFile::exists(QFileInfo(db.path()).absolutePath() + QStringLiteral("/evil.txt")));
}

void TestArchive::restoreReplacesTheDataAndRemovesWhatTheBackupLacks()
{
    QTemporaryDir outside;
    const QString archive = outside.filePath(QStringLiteral("sauvegarde.zip"));
    {
        TestDatabase source;
        addClient(QStringLiteral("Sauvegardé"));
        source.dir().writeFile(QStringLiteral("config.ini"),
                               "[Hotel]\nnom=Le Relais\n[Chambres]\nnombre=2\n");
        source.dir().writeFile(QStringLiteral("description/2.txt"), "Suite");
        BackupArchive::create(archive);
    }
    TestDatabase db;
    addClient(QStringLiteral("Après la sauvegarde"));
    addClient(QStringLiteral("Encore un"));
    db.dir().writeFile(QStringLiteral("config.ini"), "[Hotel]\nnom=Nouveau nom\n");
    db.dir().writeFile(QStringLiteral("logo.jpg"), "\xff\xd8\xff\xe0logo");
    db.dir().writeFile(QStringLiteral("emailDevis.txt"), "Devis");
    db.dir().writeFile(QStringLiteral("description/1.txt"), "Vue sur la mer");

    const QStringList restored = ArchiveRestore::restore(archive);
    QCOMPARE(restored, (QStringList{QStringLiteral("reserv.mdb"), QStringLiteral("config.ini"),
                                    QStringLiteral("description/2.txt")}));
    const QMap<QString, QByteArray> files = tree(db.path());
    QVERIFY(!files.contains(QStringLiteral("logo.jpg")));
    QVERIFY(!files.contains(QStringLiteral("emailDevis.txt")));
    QVERIFY(!files.contains(QStringLiteral("reserv2.mdb")));
    QCOMPARE(files.value(QStringLiteral("config.ini")),
             QByteArray("[Hotel]\nnom=Le Relais\n[Chambres]\nnombre=2\n"));
    QCOMPARE(files.value(QStringLiteral("description/2.txt")), QByteArray("Suite"));
    QCOMPARE(files.value(QStringLiteral("description/1.txt")), QByteArray("Vue sur la mer"));
    for (const QString &name : files.keys())
        QVERIFY2(!name.startsWith(QLatin1Char('.')), qPrintable(name)); // staging folder gone
    QCOMPARE(clientCount(), 2);
    QCOMPARE(
        Sql(DataModule::shared(), QStringLiteral("SELECT nom FROM infos WHERE id = 2")).scalar().toString(),
        QStringLiteral("Sauvegardé"));
}

void TestArchive::recentBackupsAreTheNewestByDate_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("October after September, newest first")
        << QStringList{QStringLiteral("SauvegardeClients-2024-9-30-12-7.zip"),
                       QStringLiteral("SauvegardeClients-2024-10-2-13-7.zip"),
                       QStringLiteral("SauvegardeClients-2024-12-1-15-7.zip"),
                       QStringLiteral("SauvegardeClients-2024-11-5-14-7.zip")}
        << QStringList{QStringLiteral("1-12-2024 N°15"), QStringLiteral("5-11-2024 N°14"),
                       QStringLiteral("2-10-2024 N°13"), QStringLiteral("30-9-2024 N°12")};
    QTest::newRow("a single backup is offered")
        << QStringList{QStringLiteral("SauvegardeClients-2025-3-4-1-7.zip")}
        << QStringList{QStringLiteral("4-3-2025 N°1")};
    QTest::newRow("five most recent, same day by number, other users ignored")
        << QStringList{QStringLiteral("SauvegardeConfig-7.ini"),
                       QStringLiteral("SauvegardeClients-2025-1-1-1-7.zip"),
                       QStringLiteral("SauvegardeClients-2025-1-2-2-7.zip"),
                       QStringLiteral("SauvegardeClients-2025-1-3-3-7.zip"),
                       QStringLiteral("SauvegardeClients-2025-1-3-4-7.zip"),
                       QStringLiteral("SauvegardeClients-2025-1-9-9-17.zip"),
                       QStringLiteral("SauvegardeClients-2025-1-9-8-77.zip"),
                       QStringLiteral("SauvegardeClients-2025-1-4-5-7.zip"),
                       QStringLiteral("SauvegardeClients-2025-1-5-6-7.zip"),
                       QStringLiteral("SauvegardeClients-2025-2-30-7-7.zip")}
        << QStringList{QStringLiteral("5-1-2025 N°6"), QStringLiteral("4-1-2025 N°5"),
                       QStringLiteral("3-1-2025 N°4"), QStringLiteral("3-1-2025 N°3"),
                       QStringLiteral("2-1-2025 N°2")};
}

void TestArchive::recentBackupsAreTheNewestByDate()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, expected);
    QStringList texts;
    for (const BackupNames::Listed &l : BackupNames::recentBackups(names, QStringLiteral("7")))
        texts << l.text;
    QCOMPARE(texts, expected);
}

void TestArchive::commandsPackListUnpackAndRestore()
{
    QTemporaryDir work;
    TestDatabase db;
    addClient(QStringLiteral("Dupont"));
    db.dir().writeFile(QStringLiteral("config.ini"), "[Chambres]\nnombre=1\n");
    db.dir().writeFile(QStringLiteral("description/1.txt"), "Vue");
    DataModule::release();
    const auto run = [&](const QStringList &args, QByteArray *out = nullptr) {
        QProcess p;
        p.setWorkingDirectory(work.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PWD"), work.path());
        p.setProcessEnvironment(env);
        p.start(programPath(), QStringList{QStringLiteral("--dir"), db.path()} + args);
        p.waitForFinished(60000);
        if (out)
            *out = p.readAllStandardOutput();
        return p.exitCode();
    };
    // A relative name is taken from where the command runs, not from the data directory.
    QCOMPARE(run({QStringLiteral("archive"), QStringLiteral("pack"), QStringLiteral("copie.zip")}), 0);
    QVERIFY(QFile::exists(work.filePath(QStringLiteral("copie.zip"))));
    QByteArray listing;
    QCOMPARE(run({QStringLiteral("archive"), QStringLiteral("list"), QStringLiteral("copie.zip")}, &listing),
             0);
    QVERIFY(listing.startsWith("reserv2.mdb\t"));
    QVERIFY(listing.endsWith("config.ini\t20\ndescription/1.txt\t3\n"));
    QCOMPARE(run({QStringLiteral("archive"), QStringLiteral("unpack"), QStringLiteral("copie.zip"),
                  QStringLiteral("x")}),
             0);
    QCOMPARE(tree(work.filePath(QStringLiteral("x"))).value(QStringLiteral("description/1.txt")),
             QByteArray("Vue"));

    addClient(QStringLiteral("Après"));
    DataModule::release();
    QCOMPARE(run({QStringLiteral("restaurer"), QStringLiteral("copie.zip")}), 0);
    QCOMPARE(clientCount(), 2);
    DataModule::release();

    writeFile(work.filePath(QStringLiteral("abime.zip")), goodRecord("../evil", "x"));
    const QMap<QString, QByteArray> before = tree(db.path());
    QCOMPARE(run({QStringLiteral("restaurer"), QStringLiteral("abime.zip")}), 1);
    QCOMPARE(run({QStringLiteral("archive"), QStringLiteral("list"), QStringLiteral("abime.zip")}), 1);
    QCOMPARE(run({QStringLiteral("archive"), QStringLiteral("compresser"), QStringLiteral("abime.zip")}), 2);
    QCOMPARE(run({QStringLiteral("restaurer")}), 2);
    QCOMPARE(tree(db.path()), before);
}

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
