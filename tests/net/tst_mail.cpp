#include "net/mail_draft.h"
#include "net/mail_message.h"
#include "net/mail_sender.h"
#include "smtp_fixture.h"
#include "test_support.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The message as mail readers see it (parsed by Python's email package), and
// the sending through a loopback relay with AUTH LOGIN, with and without STARTTLS.
class TestMail : public QObject
{
    Q_OBJECT

private:
    static QByteArray pdfLikeBytes()
    {
        // Binary content with the byte sequences SMTP treats specially.
        QByteArray bytes("%PDF-1.2\r\n.\r\n..\r\n.\n");
        QRandomGenerator gen(42);
        for (int i = 0; i < 60000; ++i)
            bytes.append(char(gen.bounded(256)));
        bytes.append("\r\n.\r\n%%EOF\r\n");
        return bytes;
    }
    // A loopback port nothing listens on (bound, read, then closed).
    static int freePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        int port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
            port = ntohs(a.sin_port);
        ::close(fd);
        return port;
    }
    static QString sha(const QByteArray &b)
    {
        return QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex());
    }
    static MailMessage sample()
    {
        MailMessage m;
        m.from = QStringLiteral("hotel@tilleuls.example");
        m.replyTo = m.from;
        m.to = QStringLiteral("client@example.fr");
        m.subject = QStringLiteral("Votre facture");
        return m;
    }

private slots:
    void textPartsCarryEachLineFollowedByBr_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("html");
        const QString notice = MailMessage::plainNotice() + QLatin1Char('\n');
        QTest::newRow("three lines")
            << QStringLiteral("Bonjour,\nMerci de votre séjour.\nÀ bientôt")
            << notice + QStringLiteral("Bonjour,\n<br>\nMerci de votre séjour.\n<br>\n"
                                       "À bientôt\n<br>\n")
            << QStringLiteral("Bonjour,\n<br>\nMerci de votre séjour.\n<br>\nÀ bientôt\n<br>\n");
        QTest::newRow("markup typed")
            << QStringLiteral("Prix < 100 € & \"petit-déjeuner\" <b>offert</b>")
            << notice + QStringLiteral("Prix < 100 € & \"petit-déjeuner\" <b>offert</b>\n<br>\n")
            << QStringLiteral("Prix &lt; 100 € &amp; &quot;petit-déjeuner&quot; "
                              "&lt;b&gt;offert&lt;/b&gt;\n<br>\n");
        QTest::newRow("windows line ends, final break")
            << QStringLiteral("un\r\ndeux\r\n") << notice + QStringLiteral("un\n<br>\ndeux\n<br>\n")
            << QStringLiteral("un\n<br>\ndeux\n<br>\n");
        QTest::newRow("empty message") << QString() << notice << QString();
        const QString longLine = QString(QStringLiteral("é=x ")).repeated(60);
        QTest::newRow("long line with = and accents")
            << longLine << notice + longLine + QStringLiteral("\n<br>\n")
            << longLine + QStringLiteral("\n<br>\n");
    }
    void textPartsCarryEachLineFollowedByBr()
    {
        QFETCH(QString, typed);
        QFETCH(QString, plain);
        QFETCH(QString, html);
        MailMessage m = sample();
        m.lines = MailMessage::linesOf(typed);
        const QByteArray bytes = m.build(QDateTime::currentDateTime(), MailMessage::newMessageId(m.from));
        for (const QByteArray &line : bytes.split('\n'))
            QVERIFY2(line.size() <= 999, "SMTP line limit");
        const QJsonObject parsed = SmtpTestServer::parseBytes(bytes);
        QCOMPARE(parsed.value(QStringLiteral("defects")).toArray().size(), 0);
        QCOMPARE(parsed.value(QStringLiteral("structure")).toVariant().toStringList(),
                 QStringList({QStringLiteral("multipart/alternative"), QStringLiteral("text/plain"),
                              QStringLiteral("text/html")}));
        const QJsonArray parts = parsed.value(QStringLiteral("parts")).toArray();
        QCOMPARE(parts.at(0)[QStringLiteral("text")].toString(), plain);
        QCOMPARE(parts.at(1)[QStringLiteral("text")].toString(), html);
        QCOMPARE(parts.at(0)[QStringLiteral("charset")].toString(), QStringLiteral("utf-8"));
    }

    void headersReadAsTyped_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ascii") << QStringLiteral("Votre facture") << QStringLiteral("Votre facture");
        QTest::newRow("accents and euro") << QStringLiteral("Votre facture n°12 – 150 € réglée")
                                          << QStringLiteral("Votre facture n°12 – 150 € réglée");
        const QString longSubject =
            QString(QStringLiteral("Séjour à l'Hôtel des Tilleuls ")).repeated(5).trimmed();
        QTest::newRow("long, folded") << longSubject << longSubject;
        QTest::newRow("line break typed")
            << QStringLiteral("Objet\r\nBcc: x@y.fr") << QStringLiteral("Objet Bcc: x@y.fr");
    }
    void headersReadAsTyped()
    {
        QFETCH(QString, subject);
        QFETCH(QString, expected);
        MailMessage m = sample();
        m.subject = subject;
        m.lines = {QStringLiteral("x")};
        const QJsonObject parsed = SmtpTestServer::parseBytes(
            m.build(QDateTime::currentDateTime(), MailMessage::newMessageId(m.from)));
        QCOMPARE(parsed.value(QStringLiteral("subject")).toString(), expected);
        QCOMPARE(parsed.value(QStringLiteral("from")).toString(), m.from);
        QCOMPARE(parsed.value(QStringLiteral("reply_to")).toString(), m.from);
        QCOMPARE(parsed.value(QStringLiteral("to")).toString(), m.to);
        QVERIFY(parsed.value(QStringLiteral("date_ok")).toBool());
        QVERIFY(parsed.value(QStringLiteral("message_id"))
                    .toString()
                    .endsWith(QStringLiteral("@tilleuls.example>")));
        QCOMPARE(parsed.value(QStringLiteral("defects")).toArray().size(), 0);
    }

    void draftProblemsAreFoundBeforeConnecting_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("problem");
        const QString hotel = QStringLiteral("hotel@tilleuls.example");
        const QString client = QStringLiteral("client@example.fr");
        QTest::newRow("ready") << "facture" << hotel << client << "Votre facture" << QString();
        QTest::newRow("empty first field") << "facture" << hotel << "  "
                                           << "Votre facture"
                                           << "Veuillez indiquer votre adresse email !";
        QTest::newRow("no sender")
            << "devis"
            << "" << client << "Votre devis"
            << "Renseignez l'adresse email de l'hôtel dans Personnalisation : sans elle, "
               "aucun email ne peut partir.";
        QTest::newRow("header injection")
            << "facture" << hotel << "client@example.fr\r\nBcc: x@y.fr"
            << "Votre facture"
            << "« client@example.fr\r\nBcc: x@y.fr » n'est pas une adresse email valide.";
        QTest::newRow("no at sign") << "facture" << hotel << "client.example.fr"
                                    << "Votre facture"
                                    << "« client.example.fr » n'est pas une adresse email valide.";
        QTest::newRow("free message without subject") << "email" << hotel << client << ""
                                                      << "Veuillez indiquer l'objet de votre email !";
        QTest::newRow("client without address")
            << "email" << hotel << ""
            << "Bonjour"
            << "Ce client n'a pas d'adresse email : renseignez-la sur sa fiche.";
    }
    void draftProblemsAreFoundBeforeConnecting()
    {
        QFETCH(QString, kind);
        QFETCH(QString, sender);
        QFETCH(QString, recipient);
        QFETCH(QString, subject);
        QFETCH(QString, problem);
        MailDraft d;
        d.kind = kind;
        d.sender = sender;
        d.recipient = recipient;
        d.subject = subject;
        QCOMPARE(d.problem(), problem);
        if (!problem.isEmpty()) {
            // Nothing is attempted: an unreachable relay would give another text.
            MailRelay nowhere = MailRelay::defaults();
            nowhere.host = QStringLiteral("relais.invalid");
            QCOMPARE(deliverMail(d, nowhere), problem);
        }
    }

    void sendsThroughTheRelay_data()
    {
        QTest::addColumn<bool>("tls");
        QTest::newRow("relay without TLS allowed by sansTLS") << false;
        QTest::newRow("STARTTLS with the relay's certificate") << true;
    }
    void sendsThroughTheRelay()
    {
        QFETCH(bool, tls);
        TestDataDir dir;
        SmtpTestServer server({tls, {}});
        QVERIFY2(server.ok(), "the loopback relay did not start");
        server.configure(tls);
        const QByteArray pdf = pdfLikeBytes();
        dir.writeFile(QStringLiteral("facture.pdf"), pdf);

        MailDraft d;
        d.kind = QStringLiteral("facture");
        d.sender = QStringLiteral("hotel@tilleuls.example");
        d.recipient = QStringLiteral("client@example.fr");
        d.subject = QStringLiteral("Votre facture n°7 – 120 €");
        d.text = QStringLiteral("Bonjour,\n.\nci-joint votre facture.\nCordialement");
        d.attachmentPath = dir.file(QStringLiteral("facture.pdf"));
        qint64 lastSent = 0;
        qint64 lastTotal = 0;
        const QString error = deliverMail(d, MailRelay::fromSettings(), [&](qint64 sent, qint64 total) {
            lastSent = sent;
            lastTotal = total;
        });
        QCOMPARE(error, QString());
        QVERIFY(lastTotal > pdf.size() && lastSent >= lastTotal); // dot-stuffing may add bytes

        const QStringList log = server.log();
        const QStringList auth = log.filter(QStringLiteral("AUTH"));
        QCOMPARE(auth, QStringList{QStringLiteral("AUTH LOGIN tormivak ok")});
        if (tls) {
            // Credentials only after the session went encrypted.
            const qsizetype encrypted = log.indexOf(QRegularExpression(QStringLiteral("^EHLO .* TLS$")));
            QVERIFY(encrypted >= 0 && encrypted < log.indexOf(auth.first()));
        }
        QVERIFY(log.contains(QStringLiteral("MAIL hotel@tilleuls.example")));
        QVERIFY(log.contains(QStringLiteral("RCPT client@example.fr")));

        QCOMPARE(server.messages().size(), 1);
        const QJsonObject parsed = SmtpTestServer::parse(server.messages().first());
        QCOMPARE(parsed.value(QStringLiteral("structure")).toVariant().toStringList(),
                 QStringList({QStringLiteral("multipart/mixed"), QStringLiteral("multipart/alternative"),
                              QStringLiteral("text/plain"), QStringLiteral("text/html"),
                              QStringLiteral("application/pdf")}));
        QCOMPARE(parsed.value(QStringLiteral("subject")).toString(), d.subject);
        // A line holding a single dot survives the SMTP end-of-data rule.
        QCOMPARE(
            parsed.value(QStringLiteral("parts")).toArray().at(1)[QStringLiteral("text")].toString(),
            QStringLiteral("Bonjour,\n<br>\n.\n<br>\nci-joint votre facture.\n<br>\nCordialement\n<br>\n"));
        const QJsonObject attachment = parsed.value(QStringLiteral("parts")).toArray().at(2).toObject();
        QCOMPARE(attachment.value(QStringLiteral("filename")).toString(), QStringLiteral("facture.pdf"));
        QCOMPARE(attachment.value(QStringLiteral("disposition")).toString(), QStringLiteral("attachment"));
        QCOMPARE(attachment.value(QStringLiteral("sha256")).toString(), sha(pdf));
    }

    void relayFailuresAreReportedAndNothingGoesOut_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("expected"); // a piece of the French text
        QTest::newRow("TLS required, relay without STARTTLS") << "notls"
                                                              << "ne propose pas de connexion chiffrée";
        QTest::newRow("certificate not trusted") << "untrusted"
                                                 << "certificat";
        QTest::newRow("wrong password") << "password"
                                        << "refusé l'identifiant ou le mot de passe";
        QTest::newRow("recipient refused") << "recipient"
                                           << "a refusé le message";
        QTest::newRow("nothing listening") << "closed"
                                           << "Vous devez être connecté à internet !";
        QTest::newRow("unknown host") << "unknown"
                                      << "Vous devez être connecté à internet !";
    }
    void relayFailuresAreReportedAndNothingGoesOut()
    {
        QFETCH(QString, setup);
        QFETCH(QString, expected);
        TestDataDir dir;
        SmtpTestServer server({setup == QLatin1String("untrusted"), {QStringLiteral("client@example.fr")}});
        QVERIFY(server.ok());
        MailRelay relay = MailRelay::defaults();
        relay.host = QStringLiteral("127.0.0.1");
        relay.port = server.port();
        relay.tlsRequired = setup == QLatin1String("notls") || setup == QLatin1String("untrusted");
        MailDraft d;
        d.kind = QStringLiteral("email");
        d.sender = QStringLiteral("hotel@tilleuls.example");
        d.recipient = setup == QLatin1String("recipient") ? QStringLiteral("client@example.fr")
                                                          : QStringLiteral("autre@example.fr");
        d.subject = QStringLiteral("Bonjour");
        if (setup == QLatin1String("password"))
            relay.password = QStringLiteral("mauvais");
        if (setup == QLatin1String("closed")) {
            relay.port = freePort();
            QVERIFY(relay.port > 0);
        }
        if (setup == QLatin1String("unknown"))
            relay.host = QStringLiteral("relais.invalid");

        QElapsedTimer clock;
        clock.start();
        const QString error = deliverMail(d, relay);
        QVERIFY2(error.contains(expected), qPrintable(error));
        QVERIFY(clock.elapsed() < 20000);
        QCOMPARE(server.messages().size(), 0);
        if (setup == QLatin1String("notls") || setup == QLatin1String("untrusted"))
            QCOMPARE(server.log().filter(QStringLiteral("AUTH")), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
