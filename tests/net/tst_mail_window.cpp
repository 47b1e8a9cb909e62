#include "common/dialogs.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/email.h"
#include "data/sql.h"
#include "ui/net/mail_window.h"
#include "settings/ini_file.h"
#include "smtp_fixture.h"
#include "test_support.h"

#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

// The e-mail window: preparing, templates, sending off the window thread, and
// what is recorded (only what went out).
class TestMailWindow : public QObject
{
    Q_OBJECT

private:
    static void configureHotel()
    {
        const IniFile ini;
        ini.writeString(QStringLiteral("Hotel"), QStringLiteral("email"),
                        QStringLiteral("hotel@tilleuls.example"));
        ini.writeString(QStringLiteral("Hotel"), QStringLiteral("objetFacture"),
                        QStringLiteral("Facture de l'Hôtel – €"));
    }
    static QList<QVariantList> history()
    {
        return Sql(DataModule::shared(),
                   QStringLiteral("SELECT id_client, objet, email_message FROM email_historique ORDER BY id"))
            .rows();
    }
    static bool waitForSending(TMAJ &w)
    {
        QElapsedTimer clock;
        clock.start();
        while (w.isSending() && clock.elapsed() < 30000)
            QTest::qWait(20);
        return !w.isSending();
    }

private slots:
    void preparingSetsTheWindow_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("attachment");
        QTest::newRow("facture") << "facture"
                                 << "Envoi de la facture n°42"
                                 << "Destinataire"
                                 << "client@example.fr"
                                 << "Pièce jointe : facture.pdf";
        QTest::newRow("devis") << "devis"
                               << "Envoi du devis n°42"
                               << "Destinataire"
                               << "client@example.fr"
                               << "Pièce jointe : devis.pdf";
        QTest::newRow("email") << "email"
                               << "Envoi d'un email"
                               << "Objet"
                               << ""
                               << "";
    }
    void preparingSetsTheWindow()
    {
        QFETCH(QString, kind);
        QFETCH(QString, title);
        QFETCH(QString, label);
        QFETCH(QString, first);
        QFETCH(QString, attachment);
        TestDataDir dir;
        TMAJ w;
        w.premierChamp()->setText(QStringLiteral("ancien objet"));
        if (kind == QLatin1String("email"))
            w.preparerEmail(kind, QStringLiteral("client@example.fr"), 7);
        else
            w.preparerEnvoiDocument(kind, QStringLiteral("client@example.fr"), 42, 7);
        QCOMPARE(w.windowTitle(), title);
        QCOMPARE(w.modeEnvoi(), kind);
        QCOMPARE(w.premierChamp()->text(), first);
        QCOMPARE(w.pieceJointe()->isVisibleTo(&w), !attachment.isEmpty());
        if (!attachment.isEmpty())
            QCOMPARE(w.pieceJointe()->text(), attachment);
        QVERIFY(w.boutonValider()->isVisibleTo(&w));
        bool labelled = false;
        for (QLabel *l : w.findChildren<QLabel *>())
            labelled = labelled || (l->buddy() == w.premierChamp() && l->text() == label);
        QVERIFY(labelled);

        w.preparerEnvoi();
        QCOMPARE(w.modeEnvoi(), QString());
        QVERIFY(!w.boutonValider()->isVisibleTo(&w));
    }

    void templatesAreLoadedWhenShown()
    {
        TestDataDir dir;
        configureHotel();
        dir.writeFile(QStringLiteral("emailFacture.txt"), "Bonjour,\r\nvoici votre facture.\r\n");
        TMAJ w;
        w.preparerEnvoiDocument(QStringLiteral("facture"), QStringLiteral("a@b.fr"), 1, 1);
        w.show();
        QCOMPARE(w.champMessage()->toPlainText(), QStringLiteral("Bonjour,\nvoici votre facture.\n"));
        w.boutonAnnuler()->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.modeEnvoi(), QString());

        // No emailDevis.txt: the field keeps what it held from the previous use.
        w.champMessage()->setPlainText(QStringLiteral("texte précédent"));
        w.preparerEnvoiDocument(QStringLiteral("devis"), QStringLiteral("a@b.fr"), 2, 1);
        w.show();
        QCOMPARE(w.champMessage()->toPlainText(), QStringLiteral("texte précédent"));
        w.close();
    }

    void sentMessageIsRecordedAsTyped_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("invoice") << "facture";
        QTest::newRow("free message") << "email";
    }
    void sentMessageIsRecordedAsTyped()
    {
        QFETCH(QString, kind);
        TestDatabase db;
        ScopedAnswerer answers;
        configureHotel();
        SmtpTestServer server;
        QVERIFY(server.ok());
        server.configure();
        db.dir().writeFile(QStringLiteral("facture.pdf"), "%PDF-1.2\n%%EOF\n");

        TMAJ w;
        const bool facture = kind == QLatin1String("facture");
        if (facture)
            w.preparerEnvoiDocument(kind, QStringLiteral("client@example.fr"), 3, 9);
        else
            w.preparerEmail(kind, QStringLiteral("client@example.fr"), 9);
        w.show();
        if (!facture)
            w.premierChamp()->setText(QStringLiteral("Votre arrivée <vendredi>"));
        w.champMessage()->setPlainText(QStringLiteral("Ligne un\nLigne & deux\nLigne trois"));
        QTest::mouseClick(w.boutonValider(), Qt::LeftButton);
        QVERIFY(w.isSending());
        QVERIFY(!w.boutonValider()->isEnabled());
        QTest::mouseClick(w.boutonValider(), Qt::LeftButton); // no second start
        w.close();                                            // not while sending
        QVERIFY(w.isVisible());
        QVERIFY(waitForSending(w));

        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Votre email a bien été envoyé")});
        QVERIFY(!w.isVisible());
        QCOMPARE(w.modeEnvoi(), QString());
        const QString subject =
            facture ? QStringLiteral("Facture de l'Hôtel – €") : QStringLiteral("Votre arrivée <vendredi>");
        QCOMPARE(history(),
                 QList<QVariantList>({{9, subject, QStringLiteral("Ligne un\nLigne & deux\nLigne trois")}}));

        QCOMPARE(server.messages().size(), 1);
        QVERIFY(server.log().contains(QStringLiteral("RCPT client@example.fr")));
        const QJsonObject parsed = SmtpTestServer::parse(server.messages().first());
        QCOMPARE(parsed.value(QStringLiteral("subject")).toString(), subject);
        const QJsonArray parts = parsed.value(QStringLiteral("parts")).toArray();
        QCOMPARE(parts.size(), facture ? 3 : 2);
        QCOMPARE(parts.at(1)[QStringLiteral("text")].toString(),
                 QStringLiteral("Ligne un\n<br>\nLigne &amp; deux\n<br>\nLigne trois\n<br>\n"));
    }

    void failureKeepsTheWindowPrepared_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty first field") << "empty"
                                           << "Veuillez indiquer votre adresse email !";
        QTest::newRow("no sender address")
            << "nosender"
            << "Renseignez l'adresse email de l'hôtel dans Personnalisation : sans "
               "elle, aucun email ne peut partir.";
        QTest::newRow("relay unreachable") << "unreachable"
                                           << "Vous devez être connecté à internet !";
        QTest::newRow("relay refuses the account")
            << "password"
            << "Le serveur d'envoi des emails a refusé l'identifiant ou le mot de passe.";
    }
    void failureKeepsTheWindowPrepared()
    {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        TestDatabase db;
        ScopedAnswerer answers;
        configureHotel();
        SmtpTestServer server;
        QVERIFY(server.ok());
        server.configure();
        db.dir().writeFile(QStringLiteral("facture.pdf"), "%PDF-1.2\n%%EOF\n");
        const IniFile ini;
        if (setup == QLatin1String("nosender"))
            ini.writeString(QStringLiteral("Hotel"), QStringLiteral("email"), QString());
        if (setup == QLatin1String("unreachable"))
            ini.writeString(QStringLiteral("Email"), QStringLiteral("serveur"),
                            QStringLiteral("relais.invalid"));
        if (setup == QLatin1String("password"))
            ini.writeString(QStringLiteral("Email"), QStringLiteral("motdepasse"), QStringLiteral("faux"));

        TMAJ w;
        w.preparerEnvoiDocument(
            QStringLiteral("facture"),
            setup == QLatin1String("empty") ? QString() : QStringLiteral("client@example.fr"), 3, 9);
        w.show();
        w.champMessage()->setPlainText(QStringLiteral("Message à garder"));
        w.boutonValider()->click();
        QVERIFY(waitForSending(w));
        QCOMPARE(answers->texts().size(), 1);
        QVERIFY2(answers->texts().first().startsWith(message), qPrintable(answers->texts().first()));
        QVERIFY(w.isVisible());
        QCOMPARE(w.modeEnvoi(), QStringLiteral("facture"));
        QCOMPARE(w.champMessage()->toPlainText(), QStringLiteral("Message à garder"));
        QVERIFY(w.boutonValider()->isVisible() && w.boutonValider()->isEnabled());
        QCOMPARE(history().size(), 0);
        QCOMPARE(server.messages().size(), 0);

        // Put right, "Valider" again sends the kept text.
        ini.writeString(QStringLiteral("Hotel"), QStringLiteral("email"),
                        QStringLiteral("hotel@tilleuls.example"));
        server.configure();
        ini.writeString(QStringLiteral("Email"), QStringLiteral("motdepasse"), QStringLiteral("kavel4072"));
        if (setup == QLatin1String("empty"))
            w.premierChamp()->setText(QStringLiteral("client@example.fr"));
        w.boutonValider()->click();
        QVERIFY(waitForSending(w));
        QCOMPARE(server.messages().size(), 1);
        QCOMPARE(history().size(), 1);
        QCOMPARE(history().first().at(2).toString(), QStringLiteral("Message à garder"));
    }
};

QTEST_MAIN(TestMailWindow)
#include "tst_mail_window.moc"
