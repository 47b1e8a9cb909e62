#include "../net/smtp_fixture.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/sql.h"
#include "data/document_entry.h"
#include "invoices/facture.h"
#include "quotes/devis.h"
#include "settings/ini_file.h"
#include "test_support.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QProcess>
#include <QtTest>

// `kestrova envoyer facture|devis N [--a ADRESSE]` run as a real process
// against a loopback relay.
class TestEnvoyerCommand : public QObject
{
    Q_OBJECT

private slots:
    void sendsTheDocumentAndRecordsIt_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("recipient"); // empty: nothing goes out
        QTest::addColumn<QString>("output");    // a piece of stdout (exit 0) or stderr
        QTest::newRow("invoice to the client")
            << QStringList{"facture", "1"} << "" << 0 << "client@example.fr"
            << "Email envoyé à client@example.fr : « Votre facture »";
        QTest::newRow("quote to another address")
            << QStringList{"devis", "1", "--a", "autre@example.fr"} << "" << 0 << "autre@example.fr"
            << "pièce jointe devis.pdf";
        QTest::newRow("unknown invoice") << QStringList{"facture", "99"} << "" << 1 << ""
                                         << "envoyer : La facture N° 99 n'existe pas.";
        QTest::newRow("relay refuses the account") << QStringList{"facture", "1"} << "password" << 1 << ""
                                                   << "refusé l'identifiant ou le mot de passe";
        QTest::newRow("TLS required, relay without it") << QStringList{"facture", "1"} << "tls" << 1 << ""
                                                        << "STARTTLS";
        QTest::newRow("not a number") << QStringList{"devis", "x"} << "" << 2 << ""
                                      << "n'est pas un numéro";
    }
    void sendsTheDocumentAndRecordsIt()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, setup);
        QFETCH(int, exitCode);
        QFETCH(QString, recipient);
        QFETCH(QString, output);

        TestDatabase db;
        SmtpTestServer server;
        QVERIFY(server.ok());
        server.configure(setup == QLatin1String("tls"));
        const IniFile ini;
        ini.writeString(QStringLiteral("Hotel"), QStringLiteral("email"),
                        QStringLiteral("hotel@tilleuls.example"));
        if (setup == QLatin1String("password"))
            ini.writeString(QStringLiteral("Email"), QStringLiteral("motdepasse"), QStringLiteral("faux"));
        db.dir().writeFile(QStringLiteral("emailFacture.txt"), "Bonjour,\r\nvoici votre facture.\r\n");
        db.dir().writeFile(QStringLiteral("emailDevis.txt"), "Bonjour,\nvoici notre devis.\n");

        Sql(DataModule::shared(), QStringLiteral("INSERT INTO infos (id, type, nom, prenom, email) "
                                                 "VALUES (12, 2, 'Martin', 'Sophie', 'client@example.fr')"))
            .exec();
        DocumentEntry e;
        e.idClient = 12;
        e.adresse = QStringLiteral("Sophie Martin\r\n4 rue des Lilas");
        e.date = QDate(2026, 12, 8);
        e.totalHt = QStringLiteral("100");
        e.totalTva = QStringLiteral("10");
        e.totalTtc = QStringLiteral("110");
        e.modeReglement = QStringLiteral("CB");
        TextGrid lines;
        lines.setRow(0, {"N°", "Libellé", "Qté", "HT", "TVA", "TTC"});
        lines.appendRow({"1", "Nuit", "1", "100", "10", "110"});
        QCOMPARE(Facture().creerFacture(e, lines), 1);
        QCOMPARE(Devis().creerDevis(e, lines), 1);
        DataModule::release();

        QProcess p;
        p.start(programPath(),
                QStringList{QStringLiteral("--dir"), db.path(), QStringLiteral("envoyer")} + args);
        QVERIFY(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), exitCode);
        QVERIFY2((exitCode == 0 ? out : err).contains(output), qPrintable(out + err));

        const QList<QVariantList> history =
            Sql(DataModule::shared(),
                QStringLiteral("SELECT id_client, objet, email_message FROM email_historique"))
                .rows();
        if (recipient.isEmpty()) {
            QCOMPARE(server.messages().size(), 0);
            QCOMPARE(history.size(), 0);
            if (setup == QLatin1String("tls"))
                QCOMPARE(server.log().filter(QStringLiteral("AUTH")), QStringList());
            return;
        }
        const bool facture = args.first() == QLatin1String("facture");
        const QString templateText = facture ? QStringLiteral("Bonjour,\nvoici votre facture.\n")
                                             : QStringLiteral("Bonjour,\nvoici notre devis.\n");
        const QString subject = facture ? QStringLiteral("Votre facture") : QStringLiteral("Votre devis");
        QCOMPARE(history, QList<QVariantList>({{12, subject, templateText}}));
        QVERIFY(server.log().contains(QStringLiteral("RCPT ") + recipient));
        QCOMPARE(server.messages().size(), 1);
        const QJsonObject parsed = SmtpTestServer::parse(server.messages().first());
        QCOMPARE(parsed.value(QStringLiteral("subject")).toString(), subject);
        const QJsonArray parts = parsed.value(QStringLiteral("parts")).toArray();
        QCOMPARE(parts.size(), 3);
        QCOMPARE(parts.at(1)[QStringLiteral("text")].toString(),
                 QString(templateText).replace(QLatin1String("\n"), QLatin1String("\n<br>\n")));
        QFile pdf(db.dir().file(facture ? QStringLiteral("facture.pdf") : QStringLiteral("devis.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(parts.at(2)[QStringLiteral("filename")].toString(), QFileInfo(pdf).fileName());
        QCOMPARE(
            parts.at(2)[QStringLiteral("sha256")].toString(),
            QString::fromLatin1(QCryptographicHash::hash(pdf.readAll(), QCryptographicHash::Sha256).toHex()));
    }
};

QTEST_GUILESS_MAIN(TestEnvoyerCommand)
#include "tst_envoyer_command.moc"
