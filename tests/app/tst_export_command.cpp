#include "test_support.h"

#include <QProcess>
#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Run
{
    int code = -1;
    QByteArray out;
    QString err;
};

Run runProgram(const QString &dir, const QStringList &args)
{
    QProcess p;
    p.start(programPath(), QStringList{QStringLiteral("--dir"), dir} + args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TstExportCommand : public QObject
{
    Q_OBJECT

private slots:
    void documents()
    {
        TestDataDir dir;
        const Run clients = runProgram(dir.path(), {QStringLiteral("export"), QStringLiteral("clients")});
        QCOMPARE(clients.code, 0);
        QVERIFY(clients.out.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><majclient><ajout>"
                                       "<client id='1' type_client='1' nom_ets='Mon Hotel' "));
        QVERIFY(clients.out.endsWith("</majclient>"));
        QXmlStreamReader xml(clients.out);
        int elements = 0;
        while (!xml.atEnd())
            elements += xml.readNext() == QXmlStreamReader::StartElement;
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(elements, 5);

        // No reservation yet: the empty text, and success.
        for (const char *kind : {"reservations", "prestations", "details"}) {
            const Run run = runProgram(dir.path(), {QStringLiteral("export"), QLatin1String(kind)});
            QCOMPARE(run.code, 0);
            QCOMPARE(run.out, QByteArray());
        }
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QStringList{"export"} << "export : indiquez le document à écrire";
        QTest::newRow("unknown") << QStringList{"export", "factures"}
                                 << "export : document inconnu « factures »";
        QTest::newRow("two") << QStringList{"export", "clients", "details"}
                             << "argument inattendu « details »";
    }
    void badArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        TestDataDir dir;
        const Run run = runProgram(dir.path(), args);
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.out, QByteArray());
    }
};

QTEST_GUILESS_MAIN(TstExportCommand)
#include "tst_export_command.moc"
