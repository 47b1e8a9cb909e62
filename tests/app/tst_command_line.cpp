#include "common/paths.h"
#include "data/instance_lock.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

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
