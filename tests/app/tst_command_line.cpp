#include "common/paths.h"
#include "data/instance_lock.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run kestrova(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(programPath(), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initCreatesThenFindsTheDatabaseUpToDate()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(QStringLiteral("hotel"));
        Run first = kestrova({QStringLiteral("--dir"), dir, QStringLiteral("init")});
        QCOMPARE(first.code, 0);
        QVERIFY2(first.out.contains(QStringLiteral("Base de données créée")), qPrintable(first.out + first.err));
        QVERIFY(QFile::exists(dir + QStringLiteral("/reserv.mdb")));
        Run second = kestrova({QStringLiteral("--dir"), dir, QStringLiteral("init")});
        QCOMPARE(second.code, 0);
        QVERIFY(second.out.contains(QStringLiteral("Base de données à jour")));
    }

    void versionHelpAndMistakes()
    {
        QCOMPARE(kestrova({QStringLiteral("--version")}).out.trimmed(), QStringLiteral("Kestrova " KESTROVA_VERSION));
        QVERIFY(kestrova({QStringLiteral("--help")}).out.contains(QStringLiteral("init")));
        Run unknown = kestrova({QStringLiteral("--dir"), QDir::tempPath(), QStringLiteral("fabriquer")});
        QCOMPARE(unknown.code, 2);
        QVERIFY(unknown.err.contains(QStringLiteral("commande inconnue")));
        QCOMPARE(kestrova({QStringLiteral("--dir")}).code, 2);
    }

    void unusableDatabaseFailsWithoutTouchingIt()
    {
        TestDataDir dir;
        const QByteArray junk("Standard Jet DB? no: a spreadsheet saved under the wrong name\n");
        dir.writeFile(QStringLiteral("reserv.mdb"), junk);
        Run r = kestrova({QStringLiteral("--dir"), dir.path(), QStringLiteral("init")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("n'a pas été modifié")), qPrintable(r.err));
        QFile f(dir.file(QStringLiteral("reserv.mdb")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), junk);
    }

    void secondInstanceIsRefused()
    {
        TestDataDir dir;
        InstanceLock lock;
        QString error;
        QVERIFY(lock.acquire(&error));
        Run r = kestrova({QStringLiteral("--dir"), dir.path(), QStringLiteral("init")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("déjà ouvert")), qPrintable(r.err));
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("reserv.mdb"))));
        lock.releaseLock();
        QCOMPARE(kestrova({QStringLiteral("--dir"), dir.path(), QStringLiteral("init")}).code, 0);
    }

    // Each situation where the data folder or database cannot be used: its
    // French message, exit code 1, and the database file left byte for byte.
    void unusableStartGivesAFrenchMessage_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty database file") << QStringLiteral("empty") << QStringLiteral("est vide");
        QTest::newRow("truncated database") << QStringLiteral("truncated")
                                            << QStringLiteral("est endommagé et ne peut pas être ouvert");
        QTest::newRow("folder not writable") << QStringLiteral("readonly")
                                             << QStringLiteral("n'est pas accessible en écriture");
    }

    void unusableStartGivesAFrenchMessage()
    {
        QFETCH(QString, situation);
        QFETCH(QString, message);
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(QStringLiteral("hotel"));
        const QString file = dir + QStringLiteral("/reserv.mdb");
        QString program = programPath();
        QStringList args{QStringLiteral("--dir"), dir, QStringLiteral("export"), QStringLiteral("clients")};
        if (situation == QLatin1String("empty")) {
            QVERIFY(QDir().mkpath(dir));
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else {
            QCOMPARE(kestrova({QStringLiteral("--dir"), dir, QStringLiteral("init")}).code, 0);
        }
        if (situation == QLatin1String("truncated")) {
            QVERIFY(QFile::resize(file, QFileInfo(file).size() / 2));
        } else if (situation == QLatin1String("readonly")) {
            QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                   QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
            // The super-user writes anywhere: run the program as nobody.
            if (geteuid() == 0) {
                const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
                if (setpriv.isEmpty())
                    QSKIP("running as root without setpriv");
                args = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                   QStringLiteral("--clear-groups"), program} +
                       args;
                program = setpriv;
                QVERIFY(QFile::setPermissions(tmp.path(), QFile::permissions(tmp.path()) | QFile::ExeOther));
            }
        }
        QFile before(file);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        before.close();

        QProcess p;
        p.start(program, args);
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY2(!err.contains(QStringLiteral("processus 0")), qPrintable(err));
        QVERIFY2(!err.contains(QStringLiteral("PRAGMA")), qPrintable(err));
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), bytes);
        QVERIFY(!QFile::exists(file + QStringLiteral("-wal")) || situation == QLatin1String("readonly"));
    }

    // Another program holding the write lock: reading commands work, a start
    // that must write waits, then says so in French and changes nothing.
    void busyDatabase()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(QStringLiteral("hotel"));
        QCOMPARE(kestrova({QStringLiteral("--dir"), dir, QStringLiteral("init")}).code, 0);
        const QString file = dir + QStringLiteral("/reserv.mdb");
        const auto open = [&file](const QString &name) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(file);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
            return db.open();
        };
        const auto run = [](const QString &name, const QString &statement) {
            QSqlQuery q(QSqlDatabase::database(name, false));
            const bool ok = q.exec(statement);
            q.finish();
            return ok;
        };
        const auto close = [](const QString &name) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        };
        // Closing any descriptor of the file drops this process's locks on
        // it: the file is only read while no connection of the test is open.
        const auto bytes = [&file] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };

        // Another program writing: reading commands still work.
        QVERIFY(open(QStringLiteral("holder")));
        QVERIFY(open(QStringLiteral("probe")));
        QVERIFY(run(QStringLiteral("holder"), QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(!run(QStringLiteral("probe"), QStringLiteral("BEGIN IMMEDIATE")));
        const Run read = kestrova({QStringLiteral("--dir"), dir, QStringLiteral("export"), QStringLiteral("clients")});
        QCOMPARE(read.code, 0);
        QVERIFY2(read.out.contains(QStringLiteral("Mon Hotel")), qPrintable(read.out + read.err));
        QVERIFY(run(QStringLiteral("holder"), QStringLiteral("ROLLBACK")));

        // A start that must write (a client without kind to normalise) waits
        // for the lock, then gives up with a French message, nothing changed.
        QVERIFY(run(QStringLiteral("holder"), QStringLiteral("UPDATE infos SET type = NULL WHERE id = 1")));
        close(QStringLiteral("holder"));
        close(QStringLiteral("probe"));
        const QByteArray before = bytes();
        QVERIFY(open(QStringLiteral("holder")));
        QVERIFY(open(QStringLiteral("probe")));
        QVERIFY(run(QStringLiteral("holder"), QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(!run(QStringLiteral("probe"), QStringLiteral("BEGIN IMMEDIATE")));
        const Run write = kestrova({QStringLiteral("--dir"), dir, QStringLiteral("init")});
        QVERIFY(run(QStringLiteral("holder"), QStringLiteral("ROLLBACK")));
        QVERIFY2(write.code == 1, qPrintable(write.out + write.err));
        QVERIFY2(write.err.contains(QStringLiteral("occupée par un autre programme")), qPrintable(write.err));
        QVERIFY2(!write.err.contains(QStringLiteral("locked")), qPrintable(write.err));
        close(QStringLiteral("holder"));
        close(QStringLiteral("probe"));
        QCOMPARE(bytes(), before);
    }

    void dataDirectoryChoice_data()
    {
        QTest::addColumn<QString>("explicitDir");
        QTest::addColumn<QString>("envDir");
        QTest::addColumn<bool>("portable");
        QTest::addColumn<QString>("expected");
        QTest::newRow("explicit wins") << QStringLiteral("/srv/a") << QStringLiteral("/srv/b") << true << QStringLiteral("/srv/a");
        QTest::newRow("environment") << QString() << QStringLiteral("/srv/b") << true << QStringLiteral("/srv/b");
        QTest::newRow("portable") << QString() << QString() << true << QStringLiteral("EXE");
        QTest::newRow("home") << QString() << QString() << false << QStringLiteral("HOME/.local/share/Kestrova");
    }

    void dataDirectoryChoice()
    {
        QFETCH(QString, explicitDir);
        QFETCH(QString, envDir);
        QFETCH(bool, portable);
        QFETCH(QString, expected);
        QTemporaryDir exe;
        if (portable) {
            QFile f(exe.filePath(QStringLiteral("config.ini")));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        expected.replace(QStringLiteral("EXE"), exe.path());
        expected.replace(QStringLiteral("HOME"), QStringLiteral("/home/u"));
        QCOMPARE(Paths::chooseDataDir(explicitDir, envDir, exe.path(), QStringLiteral("/home/u")), expected);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
