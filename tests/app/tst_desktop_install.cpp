#include "ui/app/about_window.h"
#include "commands/app_info.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int code = -1;
    QString out;
};

// Runs a tool to its end (bounded), standard error merged into the output.
Run run(const QString &program, const QStringList &args, const QString &workDir = {}, int timeoutMs = 60000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.out = QStringLiteral("(délai dépassé)");
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAll());
    return r;
}

QString buildDir()
{
    return QFileInfo(programPath()).absolutePath();
}

} // namespace

// What makes Kestrova an installable desktop application: its menu entry and
// software-centre description pass the desktop's validators, its windows carry its
// icon, and the Debian package holds what a fresh machine needs to start it.
class TestDesktopInstall : public QObject
{
    Q_OBJECT

private slots:
    void descriptionFilesPassValidators_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        const QString data = sourceDir() + QStringLiteral("/data/");
        QTest::newRow("desktop entry")
            << QStringLiteral("desktop-file-validate") << QStringList{data + QStringLiteral("kestrova.desktop")};
        QTest::newRow("metainfo") << QStringLiteral("appstreamcli")
                                  << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                 data + QStringLiteral("kestrova.metainfo.xml")};
    }
    void descriptionFilesPassValidators()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        const Run r = run(tool, args);
        QVERIFY2(r.code == 0, qPrintable(r.out));
        // desktop-file-validate prints nothing but its complaints, warnings included.
        if (tool == QLatin1String("desktop-file-validate"))
            QVERIFY2(r.out.trimmed().isEmpty(), qPrintable(r.out));
    }

    void windowsCarryTheIcon()
    {
        const QIcon icon = AppInfo::applicationIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {16, 48, 256})
            QCOMPARE(icon.pixmap(QSize(size, size)).size(), QSize(size, size));

        TForm2 about;
        QVERIFY(!about.windowIcon().isNull());
        const auto *label = about.findChild<QLabel *>(QStringLiteral("iconLabel"));
        QVERIFY(label);
        QCOMPARE(label->pixmap().size(), QSize(64, 64));
        // A drawn icon, not an empty square: its centre is opaque.
        const QImage image = label->pixmap().toImage();
        QCOMPARE(qAlpha(image.pixel(32, 32)), 255);
    }

    void debianPackageHoldsTheApplication()
    {
        QTemporaryDir out;
        QVERIFY(out.isValid());
        const Run pack = run(QStringLiteral("cpack"),
                             {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                              buildDir() + QStringLiteral("/CPackConfig.cmake"), QStringLiteral("-B"), out.path()},
                             buildDir(), 120000);
        QVERIFY2(pack.code == 0, qPrintable(pack.out));
        const QStringList debs = QDir(out.path()).entryList({QStringLiteral("kestrova_*.deb")}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        const QString deb = out.filePath(debs.first());

        const Run contents = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), deb});
        QCOMPARE(contents.code, 0);
        for (const char *path :
             {"./usr/bin/kestrova", "./usr/share/applications/kestrova.desktop",
              "./usr/share/metainfo/net.kestrova.Kestrova.metainfo.xml",
              "./usr/share/icons/hicolor/scalable/apps/kestrova.svg",
              "./usr/share/icons/hicolor/48x48/apps/kestrova.png",
              "./usr/share/icons/hicolor/256x256/apps/kestrova.png", "./usr/share/doc/kestrova/README.md",
              "./usr/share/doc/kestrova/LICENSE"})
            QVERIFY2(contents.out.contains(QLatin1String(path) + QLatin1Char('\n')), path);

        const Run fields = run(QStringLiteral("dpkg-deb"),
                               {QStringLiteral("--field"), deb, QStringLiteral("Package"), QStringLiteral("Version"),
                                QStringLiteral("Section"), QStringLiteral("Depends"), QStringLiteral("Description")});
        QCOMPARE(fields.code, 0);
        QVERIFY2(fields.out.contains(QLatin1String("Package: kestrova\n")), qPrintable(fields.out));
        QVERIFY2(fields.out.contains(QLatin1String("Version: " KESTROVA_VERSION "\n")), qPrintable(fields.out));
        QVERIFY2(fields.out.contains(QLatin1String("Section: misc\n")), qPrintable(fields.out));
        // Libraries found by dpkg-shlibdeps, plus what the program loads at run time.
        for (const char *dependency :
             {"libqt6core6 (", "libqt6gui6 (", "libqt6widgets6 (", "libqt6sql6 (", "libqt6sql6-sqlite",
              "fonts-dejavu-core"})
            QVERIFY2(fields.out.contains(QLatin1String(dependency)), dependency);
        QVERIFY(fields.out.contains(QStringLiteral("réservations")));
        QVERIFY(fields.out.contains(QLatin1String("room reservations")));
    }
};

QTEST_MAIN(TestDesktopInstall)
#include "tst_desktop_install.moc"
