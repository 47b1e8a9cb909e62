#include "common/text_grid.h"
#include "data/email.h"
#include "data/sql.h"
#include "test_support.h"

#include <QtTest>

// The e-mail history the client card lists and deletes from.
class TestEmail : public QObject
{
    Q_OBJECT

private slots:
    void clientHistoryIsListedNewestFirst()
    {
        TestDatabase db;
        Email e;
        const int first =
            e.ajouterEmail(5, QStringLiteral("Votre facture"), QStringLiteral("un\ndeux\ntrois"));
        e.ajouterEmail(6, QStringLiteral("Autre client"), QString());
        const int last = e.ajouterEmail(5, QStringLiteral("L'été à l'hôtel"), QStringLiteral("<b>&</b>"));

        TextGrid grid;
        grid.setRow(0, {QStringLiteral("N°"), QStringLiteral("Date"), QStringLiteral("Objet")});
        QCOMPARE(e.afficherEmailsClient(QStringLiteral("5"), grid), 2);
        const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.row(0).first(), QStringLiteral("N°"));
        QCOMPARE(grid.row(1), QStringList({QString::number(last), today, QStringLiteral("L'été à l'hôtel")}));
        QCOMPARE(grid.row(2), QStringList({QString::number(first), today, QStringLiteral("Votre facture")}));

        // The message is kept as typed, line breaks and markup included.
        const QVariant stored = Sql(DataModule::shared(), QStringLiteral("SELECT email_message FROM "
                                                                         "email_historique WHERE id = :id"))
                                    .bind(QStringLiteral(":id"), first)
                                    .scalar();
        QCOMPARE(stored.toString(), QStringLiteral("un\ndeux\ntrois"));

        TextGrid none;
        QCOMPARE(e.afficherEmailsClient(QStringLiteral("5 or 1=1"), none), 0);
        QCOMPARE(e.afficherEmailsClient(QStringLiteral("99"), none), 0);
        QCOMPARE(none.rowCount(), 0);
    }

    void deletionAnswersWhetherARowWent()
    {
        TestDatabase db;
        Email e;
        const int id = e.ajouterEmail(5, QStringLiteral("Votre devis"), QStringLiteral("x"));
        const int other = e.ajouterEmail(5, QStringLiteral("Votre facture"), QStringLiteral("y"));
        QVERIFY(e.supprimerEmail(id));
        QVERIFY(!e.supprimerEmail(id)); // already gone
        QVERIFY(!e.supprimerEmail(12345));
        TextGrid grid;
        QCOMPARE(e.afficherEmailsClient(QStringLiteral("5"), grid), 1);
        QCOMPARE(grid.cell(0, 0), QString::number(other));
    }
};

QTEST_GUILESS_MAIN(TestEmail)
#include "tst_email.moc"
