#include "test_support.h"
#include "../invoices/invoice_fixture.h"

#include "clients/client_dossier.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "data/client.h"
#include "data/data_module.h"
#include "data/email.h"
#include "data/log.h"
#include "data/sql.h"
#include "ical/ical_feeds.h"
#include "invoices/facture.h"
#include "quotes/devis.h"
#include "settings/ini_file.h"
#include "ui/clients/client_card.h"
#include "ui/clients/client_rights_menu.h"

#include <QFile>
#include <QJsonArray>
#include <QLineEdit>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace InvoiceFixture;

namespace {

// A guest with a bit of everything, each personal value unique enough to be
// searched for in the database file.
struct Guest
{
    int id = 0;
    int facture = 0;
};

Guest makeGuest()
{
    Guest g;
    g.id = addClient(QStringLiteral("Zébulonowski"), QStringLiteral("Anatole"), QStringLiteral("7 rue Qwertyuiop"),
                     QStringLiteral("29990"), QStringLiteral("Plouzvillec"));
    Sql(DataModule::shared(), QStringLiteral("UPDATE infos SET tel = '0611223344', email = 'anatole@zebul.example', "
                                             "informations = 'Allergique aux plumes d''oie' WHERE id = :id"))
        .bind(QStringLiteral(":id"), g.id)
        .exec();
    addService(1, QStringLiteral("Petit déjeuner"), 2, 10, 10, 11);
    attach(addNight(QDate(2027, 5, 1), 2, g.id), 1, 2);
    addNight(QDate(2027, 5, 2), 2, g.id);
    const QString address = QStringLiteral("Zébulonowski Anatole\r\n7 rue Qwertyuiop\r\n29990 Plouzvillec");
    g.facture = Facture().ajouterFacture(g.id, address, QStringLiteral("0"), QStringLiteral("0"), QDate(2027, 5, 2),
                                         QDate(2027, 5, 1), QDate(2027, 5, 3), QStringLiteral("CB"),
                                         QStringLiteral("22"), QStringLiteral("2"), QStringLiteral("20"));
    Facture().ajouterLigneFacture(g.facture, 2, QStringLiteral("1"), QStringLiteral("22"), QStringLiteral("10"),
                                  QStringLiteral("20"), QStringLiteral("Petit déjeuner"));
    Devis().ajouterDevis(g.id, address, 2, QStringLiteral("Vue sur mer pour Anatole"), QStringLiteral("0"),
                         QStringLiteral("0"), QDate(2027, 6, 2), QDate(2027, 6, 1), QDate(2027, 4, 1),
                         QStringLiteral("110"), QStringLiteral("10"), QStringLiteral("100"));
    Email().ajouterEmail(g.id, QStringLiteral("Votre facture, Anatole"), QStringLiteral("Bonjour Monsieur Zébulonowski"));
    return g;
}

qsizetype occurrences(const QByteArray &haystack, const QString &needle)
{
    return haystack.count(needle.toUtf8());
}

} // namespace

class TestClientRights : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { qputenv("SOURCE_DATE_EPOCH", "1800000000"); }
    void cleanup()
    {
        qunsetenv("SOURCE_DATE_EPOCH");
        DataModule::release();
    }

    // The dossier holds every place the client appears, as JSON any tool reads
    // and as a PDF a reader opens.
    void dossierHoldsEverything()
    {
        TestDatabase db;
        const Guest g = makeGuest();
        const QString json = db.path() + QStringLiteral("/dossier.json");
        QCOMPARE(ClientDossier::exporter(g.id, json), db.path() + QStringLiteral("/dossier.pdf"));
        QFile f(json);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QJsonParseError error;
        const QJsonObject root = QJsonDocument::fromJson(f.readAll(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(root.value(QStringLiteral("client")).toObject().value(QStringLiteral("email")).toString(),
                 QStringLiteral("anatole@zebul.example"));
        const QJsonArray stays = root.value(QStringLiteral("sejours")).toArray();
        QCOMPARE(stays.size(), 1);
        QCOMPARE(stays.at(0).toObject().value(QStringLiteral("depart")).toString(), QStringLiteral("2027-05-03"));
        const QJsonArray services = stays.at(0).toObject().value(QStringLiteral("nuits")).toArray().at(0).toObject()
                                        .value(QStringLiteral("prestations")).toArray();
        QCOMPARE(services.at(0).toObject().value(QStringLiteral("libelle")).toString(), QStringLiteral("Petit déjeuner"));
        QCOMPARE(root.value(QStringLiteral("factures")).toArray().at(0).toObject().value(QStringLiteral("lignes"))
                     .toArray().size(), 1);
        QCOMPARE(root.value(QStringLiteral("devis")).toArray().size(), 1);
        QCOMPARE(root.value(QStringLiteral("emails")).toArray().size(), 1);

        QProcess text;
        text.start(QStringLiteral("pdftotext"), {db.path() + QStringLiteral("/dossier.pdf"), QStringLiteral("-")});
        QVERIFY(text.waitForFinished(20000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        for (const char *expected : {"Zébulonowski", "0611223344", "Allergique aux plumes", "Votre facture, Anatole",
                                     "Petit déjeuner"})
            QVERIFY2(words.contains(QString::fromUtf8(expected)), expected);
        QVERIFY_EXCEPTION_THROWN(ClientDossier::json(999), KestrovaError);
    }

    // After the erasure the invoice prints the very same bytes, and the
    // client's details are nowhere else in the file, even in freed space.
    void erasureKeepsInvoicesAndRemovesTheRest()
    {
        TestDatabase db;
        const Guest g = makeGuest();
        IniFile().writeString(QStringLiteral("Sauvegarde"), QStringLiteral("dateMaJPlanning"), QStringLiteral("01/01/2027"));
        Log().journaliserAjoutClient(g.id);
        for (const auto &[key, value] : {std::pair{"nom", "Hôtel du Test"}, std::pair{"siret", "55210055400013"},
                                         std::pair{"tva", "FR40552100554"}})
            IniFile().writeString(QStringLiteral("Hotel"), QString::fromLatin1(key), QString::fromUtf8(value));
        const QByteArray before = Facture().pdfFacture(g.facture);
        const QByteArray facturxBefore = Facture().facturxFacture(g.facture);
        const int nightsBefore = count(QStringLiteral("SELECT COUNT(*) FROM reserv WHERE info = %1").arg(g.id));

        ClientDossier::effacer(g.id);

        QCOMPARE(Facture().pdfFacture(g.facture), before);
        QCOMPARE(Facture().facturxFacture(g.facture), facturxBefore); // the electronic invoice too
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM reserv WHERE info = %1").arg(g.id)), nightsBefore);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM reserv_prestations")), 1);
        QCOMPARE(Client().lire(g.id)->nom, QStringLiteral("Client effacé n° %1").arg(g.id));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM log WHERE operation = 'effacement_client'")), 1);

        // The bytes left in the database file: SQLite's file only (a server's
        // files are its own, its old row versions go at its vacuum).
        if (testOnPostgresql())
            return;
        execSql(DataModule::shared(), QStringLiteral("VACUUM"));
        DataModule::release();
        QFile file(db.dir().file(QStringLiteral("reserv.mdb")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // The invoice keeps the name and address it printed and the buyer its
        // electronic form names; nothing else does.
        QCOMPARE(occurrences(bytes, QStringLiteral("Zébulonowski")), 2);
        QCOMPARE(occurrences(bytes, QStringLiteral("Qwertyuiop")), 2);
        QCOMPARE(occurrences(bytes, QStringLiteral("anatole@zebul.example")), 1);
        for (const char *gone : {"0611223344", "plumes", "Vue sur mer", "Votre facture",
                                 "Bonjour Monsieur"})
            QVERIFY2(occurrences(bytes, QString::fromUtf8(gone)) == 0, gone);
    }

    // A guest booked through a site stays erased when the site's feed, which
    // still names him, is imported again.
    void erasedOnlineGuestIsNotRenamedByTheFeed()
    {
        TestDatabase db;
        const QByteArray feed = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Site//FR\r\nBEGIN:VEVENT\r\nUID:g1\r\n"
                                "DTSTART;VALUE=DATE:20270810\r\nDTEND;VALUE=DATE:20270812\r\nSUMMARY:Jean Qwerty\r\n"
                                "END:VEVENT\r\nEND:VCALENDAR\r\n";
        IcalImport::Options at;
        at.today = QDate(2027, 8, 1);
        IcalImport::appliquer(IcalImport::preparer(feed, 4, at));
        const int guest = count(QStringLiteral("SELECT info FROM reserv WHERE numero = 4"));
        ClientDossier::effacer(guest);
        const IcalImport::Plan again = IcalImport::preparer(feed, 4, at);
        QCOMPARE(again.count(IcalImport::Kind::Inchange), 1);
        IcalImport::appliquer(again);
        QCOMPARE(Client().lire(guest)->nom, ClientData::nomEfface(guest));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ical_import WHERE resume LIKE '%Qwerty%'")), 0);
    }

    // The card's entry asks first, naming what is kept; "Non" changes nothing;
    // the hotel's own record is refused.
    void cardAsksAndRefusesTheHotel()
    {
        TestDatabase db;
        const Guest g = makeGuest();
        ScopedAnswerer answers;
        TFormFicheClient card;
        card.afficherClient(g.id);
        answers->answer(false);
        QVERIFY(!ClientRightsMenu::effacer(&card));
        QVERIFY(answers->questions().first().contains(QStringLiteral("les 1 facture(s) telles qu'elles ont été émises")));
        QCOMPARE(Client().lire(g.id)->nom, QStringLiteral("Zébulonowski"));
        answers->answer(true);
        QVERIFY(ClientRightsMenu::effacer(&card));
        QCOMPARE(card.nomEdit()->text(), QStringLiteral("Client effacé n° %1").arg(g.id));
        QCOMPARE(card.emailEdit()->text(), QString());

        card.afficherClient(1);
        QVERIFY(!ClientRightsMenu::effacer(&card));
        QVERIFY(answers->texts().last().contains(QStringLiteral("client 1")));
        QCOMPARE(Client().lire(1)->nomEts, QStringLiteral("Mon Hotel"));
    }
};

QTEST_MAIN(TestClientRights)
#include "tst_client_rights.moc"
