#include "common/errors.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/log.h"
#include "data/schema.h"
#include "data/sql.h"
#include "settings/ini_file.h"
#include "test_support.h"

#include <QTest>
#include <QXmlStreamReader>

#include <memory>

namespace {

QList<QVariantList> logRows()
{
    return Sql(DataModule::shared(),
               QStringLiteral("SELECT operation, apres, avant, datelog FROM log ORDER BY id"))
        .rows();
}

int addClient(const QString &nom, const QVariant &somme = 0, const QVariant &fax = QVariant())
{
    Sql q(DataModule::shared(),
          QStringLiteral("INSERT INTO infos (type, nom_ets, nom, prenom, tel, somme, fax, email) "
                         "VALUES (2, '', :nom, 'Anne', '0102', :somme, :fax, 'a@b.fr')"));
    q.bind(QStringLiteral(":nom"), nom)
        .bind(QStringLiteral(":somme"), somme)
        .bind(QStringLiteral(":fax"), fax)
        .exec();
    return q.lastInsertId().toInt();
}

// Attributes of the one element of a fragment, read by a real XML parser.
QList<QPair<QString, QString>> parseElement(const QString &fragment)
{
    QXmlStreamReader xml(fragment);
    QList<QPair<QString, QString>> out;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement)
            for (const QXmlStreamAttribute &a : xml.attributes())
                out.append({a.name().toString(), a.value().toString()});
    }
    if (xml.hasError())
        out.append({QStringLiteral("error"), xml.errorString()});
    return out;
}

struct ParsedElement
{
    QString name;
    QStringList attributes; // "name=value"
};

// Every element of a document as a parser sees it; "error: ..." on failure.
QList<ParsedElement> parseDocument(const QByteArray &bytes, QString *error)
{
    QXmlStreamReader xml(bytes);
    QList<ParsedElement> out;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        ParsedElement e{xml.name().toString(), {}};
        for (const QXmlStreamAttribute &a : xml.attributes())
            e.attributes << a.name().toString() + QLatin1Char('=') + a.value().toString();
        out.append(e);
    }
    *error = xml.hasError() ? xml.errorString() : QString();
    return out;
}

const char *const kTail = "</ajout><modification></modification><suppression></suppression>";

} // namespace

class TstLog : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void silentBeforeFirstPlanningUpdate()
    {
        const int client = addClient(QStringLiteral("Martin"));
        Log log;
        QVERIFY(!log.journalActif());
        log.journaliserAjoutClient(client);
        log.journaliserAjoutReservation(7, QStringLiteral("25/12/2008"), QStringLiteral("0"),
                                        QStringLiteral("Réservé"), QString::number(client),
                                        QStringLiteral("3"));
        QCOMPARE(logRows().size(), 0);
    }

    void reservationIsLoggedOncePlanningPublished()
    {
        IniFile().writeString(QStringLiteral("Sauvegarde"), QStringLiteral("dateMaJPlanning"),
                              QStringLiteral("01/02/2024"));
        Log log;
        QVERIFY(log.journalActif());
        log.journaliserAjoutReservation(7, QStringLiteral("25/12/2008"), QStringLiteral("0"),
                                        QStringLiteral("Réservé"), QStringLiteral("12"), QStringLiteral("3"));
        const QList<QVariantList> rows = logRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toString(), QStringLiteral("ajout_resa"));
        QCOMPARE(rows[0][1].toString(),
                 QStringLiteral("<reservation id='7' r_date='25/12/2008' numero='3' info='12' "
                                "etat='Réservé' reglement='0' />"));
        QVERIFY(rows[0][2].isNull());
        QCOMPARE(rows[0][3].toString(), QDate::currentDate().toString(Qt::ISODate));
    }

    void clientWithApostropheGivesWellFormedElement()
    {
        IniFile().writeString(QStringLiteral("Sauvegarde"), QStringLiteral("dateMaJPlanning"),
                              QStringLiteral("01/02/2024"));
        const int client = addClient(QStringLiteral("L'Hôte <&> \"Dupont\""), QVariant(), QVariant());
        Log log;
        log.journaliserAjoutClient(client);
        const QList<QVariantList> rows = logRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toString(), QStringLiteral("ajout_client"));
        const QString apres = rows[0][1].toString();
        QCOMPARE(apres,
                 QStringLiteral("<client id='%1' type_client='2' nom_ets='' nom='L&apos;Hôte &lt;&amp;&gt; "
                                "&quot;Dupont&quot;' prenom='Anne' tel='0102' somme='' fax='' "
                                "email='a@b.fr' />")
                     .arg(client));
        const auto attributes = parseElement(apres);
        QCOMPARE(attributes.size(), 9);
        QCOMPARE(attributes[3].second, QStringLiteral("L'Hôte <&> \"Dupont\""));
    }

    void loggingAMissingClientFails()
    {
        IniFile().writeString(QStringLiteral("Sauvegarde"), QStringLiteral("dateMaJPlanning"),
                              QStringLiteral("x"));
        Log log;
        QVERIFY_THROWS_EXCEPTION(DatabaseError, log.journaliserAjoutClient(999));
        QCOMPARE(logRows().size(), 0);
    }

    void logEntryIsPartOfTheCallersTransaction()
    {
        IniFile().writeString(QStringLiteral("Sauvegarde"), QStringLiteral("dateMaJPlanning"),
                              QStringLiteral("x"));
        {
            Log log;
            Transaction outer(DataModule::shared());
            log.journaliserAjoutReservation(1, QStringLiteral("01/01/2024"), QStringLiteral("0"),
                                            QStringLiteral("Payé"), QStringLiteral("1"), QStringLiteral("1"));
            // no commit: the caller's failure must take the log row with it
        }
        QCOMPARE(logRows().size(), 0);
    }

    void emptyTableGivesTheEmptyText()
    {
        Log log;
        QCOMPARE(log.exporterReservPrestations(), QString());
        QCOMPARE(log.exporterReservations(), QString());
        QCOMPARE(log.exporterPrestations(), QString());
        // the hotel itself is always there
        QVERIFY(log.exporterClients().startsWith(QLatin1String(
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><majclient><ajout><client id='1' ")));
    }

    void clientExport()
    {
        Sql(DataModule::shared(), QStringLiteral("UPDATE infos SET somme = NULL WHERE id = 1")).exec();
        Sql(DataModule::shared(),
            QStringLiteral(
                "INSERT INTO infos (type, nom_ets, nom, prenom, tel, somme, fax, email, informations, "
                "adresse1, "
                "adresse2, codepostal, ville) VALUES (2, '', 'D''Artagnan', 'Élise', '01 02', 3, NULL, "
                "'e@x.fr', :info, '1 rue des Lilas', NULL, '75001', 'Paris')"))
            .bind(QStringLiteral(":info"), QStringLiteral("Allergique <noix> & \"lait\"\nChambre calme € "))
            .exec();
        const QString document = Log().exporterClients();
        QCOMPARE(document,
                 QStringLiteral(
                     "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><majclient><ajout>"
                     "<client id='1' type_client='1' nom_ets='Mon Hotel' nom='' prenom='' tel='' somme='0' "
                     "fax='' email='' informations='' adresse1='' adresse2='' codepostal='' ville='' />"
                     "<client id='2' type_client='2' nom_ets='' nom='D&apos;Artagnan' prenom='Élise' "
                     "tel='01 02' somme='3' fax='' email='e@x.fr' informations='Allergique &lt;noix&gt; "
                     "&amp; &quot;lait&quot;&#10;Chambre calme € ' adresse1='1 rue des Lilas' adresse2='' "
                     "codepostal='75001' ville='Paris' />") +
                     QLatin1String(kTail) + QStringLiteral("</majclient>"));

        // The bytes match their declaration, and a parser gives back what was stored.
        const QByteArray bytes = Log::encoderDocument(document);
        QVERIFY(bytes.contains("prenom='\xc9lise'"));
        QVERIFY(bytes.contains("calme &#8364; "));
        QString error;
        const QList<ParsedElement> elements = parseDocument(bytes, &error);
        QCOMPARE(error, QString());
        QStringList names;
        for (const ParsedElement &e : elements)
            names << e.name;
        QCOMPARE(names,
                 (QStringList{"majclient", "ajout", "client", "client", "modification", "suppression"}));
        const QStringList client = elements[3].attributes;
        QCOMPARE(client.size(), 14);
        QCOMPARE(client[3], QStringLiteral("nom=D'Artagnan"));
        QCOMPARE(client[4], QStringLiteral("prenom=Élise"));
        QCOMPARE(client[9], QStringLiteral("informations=Allergique <noix> & \"lait\"\nChambre calme € "));
        QCOMPARE(client[13], QStringLiteral("ville=Paris"));
    }

    void planningExports()
    {
        const QSqlDatabase db = DataModule::shared();
        Sql(db,
            QStringLiteral(
                "INSERT INTO reserv (r_date, numero, info, etat, reglement, nbpers) VALUES "
                "('2008-12-25', 3, 1, 'Réservé', NULL, 2), ('2008-12-26 14:30:00', 3, 1, 'Payé', 150, NULL)"))
            .exec();
        Sql(db, QStringLiteral(
                    "INSERT INTO prestations (id_prestation, libelle, numero_chambre, tarif_ht, tarif_tva, "
                    "tarif_ttc) VALUES (4, 'Dîner \"gala\"', 1, 10, 19.6, 11.96), (4, 'Dîner \"gala\"', 2, "
                    "12.5, NULL, 12.5)"))
            .exec();
        Sql(db,
            QStringLiteral("INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) VALUES (1, 4, 2)"))
            .exec();
        Log log;
        const QString head =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><majplanning><ajout>");
        const QString tail = QLatin1String(kTail) + QStringLiteral("</majplanning>");
        QCOMPARE(
            log.exporterReservations(),
            head +
                QStringLiteral("<reservation id='1' r_date='25/12/2008' numero='3' info='1' etat='Réservé' "
                               "reglement='' nbpers='2' /><reservation id='2' r_date='26/12/2008 14:30:00' "
                               "numero='3' info='1' etat='Payé' reglement='150' nbpers='' />") +
                tail);
        QCOMPARE(log.exporterPrestations(),
                 head +
                     QStringLiteral("<prestation id='1' id_prestation='4' libelle='Dîner &quot;gala&quot;' "
                                    "numero_chambre='1' tarif_ht='10' tarif_tva='19,6' tarif_ttc='11,96' />"
                                    "<prestation id='2' id_prestation='4' libelle='Dîner &quot;gala&quot;' "
                                    "numero_chambre='2' tarif_ht='12,5' tarif_tva='' tarif_ttc='12,5' />") +
                     tail);
        QCOMPARE(log.exporterReservPrestations(),
                 head +
                     QStringLiteral(
                         "<prestation_detail id='1' id_reserv='1' id_prestation='4' nb_prestation='2' />") +
                     tail);
        for (const QString &document : {log.exporterReservations(), log.exporterPrestations()}) {
            QString error;
            parseDocument(Log::encoderDocument(document), &error);
            QCOMPARE(error, QString());
        }
    }

private:
    std::unique_ptr<TestDatabase> m_db;
};

QTEST_GUILESS_MAIN(TstLog)
#include "tst_log.moc"
