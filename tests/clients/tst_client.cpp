#include "client_fixture.h"
#include "common/errors.h"
#include "data/client.h"
#include "test_support.h"
#include "xlsx_reader.h"

#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace ClientFixture;

namespace {

// The "Nom" column of the list for a search text, data rows only.
QStringList namesFor(const QString &search)
{
    const TextGrid grid = Client().listeClients(search);
    QStringList names;
    for (int r = 1; r < grid.rowCount(); ++r)
        if (!grid.isRowEmpty(r))
            names << grid.cell(r, 2);
    return names;
}

void addSearchClients()
{
    addClient(QStringLiteral("Émery"), QStringLiteral("Paul"));
    addClient(QStringLiteral("Lee"), QStringLiteral("Anna"));
    addClient(QStringLiteral("Le_Goff"), QStringLiteral("Yann"));
    addClient(QStringLiteral("Martin"), QStringLiteral("Ève"), QString(), QStringLiteral("eve@exemple.fr"));
    addClient(QStringLiteral("Dubois"), QString(), QStringLiteral("SARL Azur"), QStringLiteral("contact@azur.fr"),
              QVariant(1));
    addClient(QStringLiteral("100%bio"));
    addClient(QStringLiteral("1000 Lieux"));
    addClient(QStringLiteral("emmanuel"), QStringLiteral("Zoé"));
}

struct Run
{
    int exitCode;
    QString out;
    QString err;
};

Run kestrova(const QString &dir, const QStringList &args)
{
    QProcess p;
    p.start(programPath(), QStringList{QStringLiteral("--dir"), dir} + args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(5000);
        return {-1, {}, QStringLiteral("timeout")};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TstClient : public QObject
{
    Q_OBJECT

private slots:
    void searchMatchesPrefixesWhateverTheCase_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("names");
        const QStringList everyone = {QStringLiteral("100%bio"), QStringLiteral("1000 Lieux"),
                                      QStringLiteral("Dubois"),  QStringLiteral("Émery"),
                                      QStringLiteral("emmanuel"), QStringLiteral("Le_Goff"),
                                      QStringLiteral("Lee"),     QStringLiteral("Martin"),
                                      QString()}; // the hotel's own record has no name
        QTest::newRow("empty text") << QString() << everyone;
        QTest::newRow("lone percent") << QStringLiteral("%") << everyone;
        QTest::newRow("accented small letter finds capital") << QStringLiteral("émery") << QStringList{"Émery"};
        QTest::newRow("accented capital finds small") << QStringLiteral("ÉMERY") << QStringList{"Émery"};
        QTest::newRow("accented first name") << QStringLiteral("ève") << QStringList{"Martin"};
        QTest::newRow("accent is not ignored") << QStringLiteral("eme") << QStringList();
        QTest::newRow("plain prefix") << QStringLiteral("LE") << QStringList{"Le_Goff", "Lee"};
        QTest::newRow("underscore is a character") << QStringLiteral("Le_") << QStringList{"Le_Goff"};
        QTest::newRow("percent is a character") << QStringLiteral("100%") << QStringList{"100%bio"};
        QTest::newRow("inside a name never matches") << QStringLiteral("mery") << QStringList();
        QTest::newRow("company name") << QStringLiteral("sarl a") << QStringList{"Dubois"};
        QTest::newRow("e-mail") << QStringLiteral("CONTACT@") << QStringList{"Dubois"};
        QTest::newRow("first name") << QStringLiteral("zo") << QStringList{"emmanuel"};
        QTest::newRow("hotel's company name") << QStringLiteral("mon h") << QStringList{QString()};
    }
    void searchMatchesPrefixesWhateverTheCase()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, names);
        TestDatabase database;
        addSearchClients();
        QStringList found = namesFor(search);
        QStringList expected = names;
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
    }

    void listIsInFrenchOrderWithFirstNights()
    {
        TestDatabase database;
        const int emery = addClient(QStringLiteral("Émery"), QStringLiteral("Paul"));
        addClient(QStringLiteral("Zola"), QStringLiteral("Émile"));
        addClient(QStringLiteral("de Sousa"), QStringLiteral("Ana"));
        addClient(QStringLiteral("Emma"), QStringLiteral("Léa"));
        addNight(emery, QDate(2026, 5, 3));
        addNight(emery, QDate(2026, 4, 1));

        const TextGrid grid = Client().listeClients(QString());
        QCOMPARE(grid.row(0), Client::listTitles());
        QCOMPARE(grid.columnCount(), 8);
        QStringList names;
        for (int r = 1; r < grid.rowCount(); ++r)
            names << grid.cell(r, 2);
        // The hotel's record has no name and comes first; accents and case do not push names to the end.
        QCOMPARE(names, (QStringList{QString(), QStringLiteral("de Sousa"), QStringLiteral("Émery"),
                                     QStringLiteral("Emma"), QStringLiteral("Zola")}));
        const int emeryRow = 3;
        QCOMPARE(grid.cell(emeryRow, 0), QString::number(emery));
        QCOMPARE(grid.cell(emeryRow, 7), QStringLiteral("01/04/2026"));
        QCOMPARE(grid.cell(4, 7), QString()); // no stay, no date

        // No match: the titles and one empty row.
        const TextGrid none = Client().listeClients(QStringLiteral("xyz"));
        QCOMPARE(none.rowCount(), 2);
        QVERIFY(none.isRowEmpty(1));
    }

    void cardCodingIsWritten_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("storedKind");
        QTest::addColumn<QString>("storedSiren"); // a company's identifiers only
        QTest::newRow("company keeps its name") << 1 << QStringLiteral("1/SARL Azur") << QStringLiteral("552 100 554");
        QTest::newRow("private person drops it") << 2 << QStringLiteral("2/") << QString();
        QTest::newRow("anything else is a private person") << 3 << QStringLiteral("2/") << QString();
    }
    void cardCodingIsWritten()
    {
        QFETCH(int, type);
        QFETCH(QString, storedKind);
        QFETCH(QString, storedSiren);
        TestDatabase database;
        Client client;
        ClientRecord c;
        c.id = client.creerClient();
        QCOMPARE(value(QStringLiteral("SELECT type || '/' || somme FROM infos WHERE id = ") + QString::number(c.id))
                     .toString(),
                 QStringLiteral("2/0"));
        c.type = type;
        c.nomEts = QStringLiteral("SARL Azur");
        c.nom = QStringLiteral("D'Arc");
        c.informations = QStringLiteral("ligne 1\nligne 2");
        c.siren = QStringLiteral(" 552 100 554 ");
        c.tvaIntra = QStringLiteral("FR40552100554");
        client.enregistrerFiche(c);
        QCOMPARE(value(QStringLiteral("SELECT type || '/' || nom_ets FROM infos WHERE id = ") + QString::number(c.id))
                     .toString(),
                 storedKind);
        const std::optional<ClientRecord> back = client.lire(c.id);
        QVERIFY(back);
        QCOMPARE(back->nom, QStringLiteral("D'Arc"));
        QCOMPARE(back->informations, QStringLiteral("ligne 1\nligne 2"));
        QCOMPARE(back->siren, storedSiren);
        QCOMPARE(back->tvaIntra, storedSiren.isEmpty() ? QString() : QStringLiteral("FR40552100554"));
        // Empty fields are stored as empty texts, not nulls.
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM infos WHERE ville = '' AND fax = '' AND id = ") +
                       QString::number(c.id)),
                 1);
        QVERIFY(!client.lire(c.id + 100));
        c.id += 100; // a row that is gone is reported, not silently skipped
        QVERIFY_THROWS_EXCEPTION(DatabaseError, client.enregistrerFiche(c));
    }

    void deletingRemovesNightsAndServicesKeepsDocuments()
    {
        TestDatabase database;
        const int leaving = addClient(QStringLiteral("Parti"));
        const int staying = addClient(QStringLiteral("Reste"));
        addNight(leaving, QDate(2026, 6, 1), 1, 1);
        addNight(leaving, QDate(2026, 6, 2), 1, 2);
        const int kept = addNight(staying, QDate(2026, 6, 3), 1, 1);
        for (const char *table : {"facturation", "devis", "email_historique"})
            Sql(db(), QStringLiteral("INSERT INTO %1 (id_client) VALUES (:c)").arg(QLatin1String(table)))
                .bind(QStringLiteral(":c"), leaving)
                .exec();

        QVERIFY(Client().supprimerClient(leaving));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM infos WHERE id = ") + QString::number(leaving)), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM reserv")), 1);
        QCOMPARE(nightServices(kept), QStringList{QStringLiteral("1:1")});
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM reserv_prestations")), 1);
        for (const char *table : {"facturation", "devis", "email_historique"})
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE id_client = ").arg(QLatin1String(table)) +
                           QString::number(leaving)),
                     1);
        QVERIFY(!Client().supprimerClient(leaving));

        // A failure half-way leaves the client, its nights and their services.
        refuseWrites(QStringLiteral("keep"), QStringLiteral("BEFORE DELETE ON infos"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, Client().supprimerClient(staying));
        QCOMPARE(nightServices(kept), QStringList{QStringLiteral("1:1")});
    }

    void creationJoinsTheCallersTransaction()
    {
        TestDatabase database;
        ClientRecord c;
        c.type = 1;
        c.nomEts = QStringLiteral("Gîtes & Co");
        c.nom = QStringLiteral("Roux");
        int id = 0;
        {
            Client client;
            Transaction stay(DataModule::shared());
            id = client.ajouterClient(c);
            QCOMPARE(value(QStringLiteral("SELECT nom FROM infos WHERE id = ") + QString::number(id)).toString(),
                     QStringLiteral("Roux"));
            // The caller's stay fails: no client is left behind.
        }
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM infos WHERE nom = 'Roux'")), 0);
        {
            Client client;
            Transaction stay(DataModule::shared());
            // A row with a higher id written meanwhile by another window does not mislead.
            id = client.ajouterClient(c);
            stay.commit();
        }
        QCOMPARE(value(QStringLiteral("SELECT type || '/' || nom_ets || '/' || somme FROM infos WHERE id = ") +
                       QString::number(id))
                     .toString(),
                 QStringLiteral("1/Gîtes & Co/0"));
    }

    void commandsPrintAndWriteTheList()
    {
        TestDatabase database;
        addSearchClients();
        DataModule::release();

        const Run list = kestrova(database.path(), {QStringLiteral("clients"), QStringLiteral("le")});
        QCOMPARE(list.exitCode, 0);
        QStringList lines = list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.first(), Client::listTitles().join(QLatin1Char('\t')));
        QVERIFY(lines.at(1).contains(QStringLiteral("\tLe_Goff\tYann\t0102\t")));

        const Run none = kestrova(database.path(), {QStringLiteral("clients"), QStringLiteral("qqq")});
        QCOMPARE(none.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 1);

        const QString file = database.dir().file(QStringLiteral("clients.xlsx"));
        const Run xlsx = kestrova(database.path(), {QStringLiteral("xlsx"), QStringLiteral("clients"), file,
                                                    QStringLiteral("--recherche"), QStringLiteral("Le")});
        QVERIFY2(xlsx.exitCode == 0, qPrintable(xlsx.err));
        const QJsonArray sheets = XlsxReader::read(file);
        QCOMPARE(sheets.size(), 1);
        const QJsonObject sheet = sheets.at(0).toObject();
        QCOMPARE(sheet.value(QStringLiteral("name")).toString(), QStringLiteral("Fichier Clients (1)"));
        QCOMPARE(XlsxReader::rowTexts(sheet, 0).mid(0, 7),
                 (QStringList{"Entreprise", "Nom", "Prénom", "Téléphone", "Fax", "Email", "Première Résa"}));
        QCOMPARE(XlsxReader::rowTexts(sheet, 1).at(1), QStringLiteral("Le_Goff"));
        QCOMPARE(XlsxReader::rowTexts(sheet, 2).at(1), QStringLiteral("Lee"));
        QVERIFY(XlsxReader::rowTexts(sheet, 4).first().startsWith(
            QStringLiteral("Liste partielle du fichier client dont le nom, prenom ou entreprise débute par : Le "
                           "à la date du ")));

        for (const QStringList &bad : {QStringList{QStringLiteral("xlsx")},
                                       QStringList{QStringLiteral("xlsx"), QStringLiteral("clients")},
                                       QStringList{QStringLiteral("xlsx"), QStringLiteral("clients"), file,
                                                   QStringLiteral("--recherche")},
                                       QStringList{QStringLiteral("clients"), QStringLiteral("a"), QStringLiteral("b")}})
            QCOMPARE(kestrova(database.path(), bad).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TstClient)
#include "tst_client.moc"
