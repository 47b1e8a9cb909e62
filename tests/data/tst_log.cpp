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

} // namespace

class TstLog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<TestDataDir>();
        DataModule::release();
        Schema::createOrUpgrade(DataModule::shared());
    }
    void cleanup()
    {
        DataModule::release();
        m_dir.reset();
    }

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

private:
    std::unique_ptr<TestDataDir> m_dir;
};

QTEST_GUILESS_MAIN(TstLog)
#include "tst_log.moc"
