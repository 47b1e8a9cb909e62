#include "common/errors.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/sql.h"
#include "quotes/devis.h"
#include "settings/ini_file.h"
#include "test_support.h"

#include "../invoices/document_fixture.h"

#include <QTest>

#include <memory>

namespace {

int quote(const QString &comment, const QDate &start = QDate(2024, 7, 10),
          const QDate &end = QDate(2024, 7, 14))
{
    DocumentEntry e = entry("200", "20", "220");
    e.commentaires = comment;
    e.idChambre = 3;
    e.sejourDebut = start;
    e.sejourFin = end;
    return Devis().creerDevis(e, linesGrid({"1:Chambre:2:200:10:220"}));
}

std::unique_ptr<PdfFile> document(int n, bool paper)
{
    if (!paper)
        return std::make_unique<PdfFile>(Devis().pdfDevis(n));
    auto file = std::make_unique<PdfFile>();
    Devis().imprimerDevisVersPdf(n, file->path());
    return file;
}

} // namespace

class TstDevis : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void quotesLeaveNumFactureAlone()
    {
        IniFile().writeString(QStringLiteral("Hotel"), QStringLiteral("numFacture"), QStringLiteral("41"));
        Devis d;
        QCOMPARE(d.ajouterDevis(1, QStringLiteral("A"), 2, QString(), QStringLiteral("0"),
                                QStringLiteral("0"), QDate(), QDate(), QDate(2024, 1, 2),
                                QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("10")),
                 1);
        QCOMPARE(quote(QString()), 2);
        QCOMPARE(IniFile().readString(QStringLiteral("Hotel"), QStringLiteral("numFacture")),
                 QStringLiteral("41"));
    }

    void modificationRewritesEverythingInOneGo()
    {
        const int n = quote(QStringLiteral("avant"));
        DocumentEntry e = entry("50", "5", "55", "2,5");
        e.adresse = QStringLiteral("L'Hôtel d'en face");
        e.commentaires = QStringLiteral("l'après-midi");
        e.idChambre = 5;
        e.sejourDebut = Devis::sansDate();
        e.sejourFin = Devis::sansDate();
        Devis().modifierDevis(n, e, linesGrid({"2:Parking:1:50:10:55"}));
        QCOMPARE(Sql(DataModule::shared(),
                     QStringLiteral("SELECT adresse_facturation, commentaires, id_chambre, total_ht, remise, "
                                    "sejour_debut FROM devis"))
                     .rows()
                     .first(),
                 (QVariantList{e.adresse, e.commentaires, 5, 50.0, 2.5, QStringLiteral("1899-12-31")}));
        QCOMPARE(Sql(DataModule::shared(), QStringLiteral("SELECT id_prestation FROM devis_item")).rows(),
                 (QList<QVariantList>{{2}}));
        // A bad line leaves the quote as it was.
        QVERIFY_THROWS_EXCEPTION(
            KestrovaError, Devis().modifierDevis(n, entry("1", "0", "1"), linesGrid({"3:X:deux:1::1"})));
        QCOMPARE(Sql(DataModule::shared(), QStringLiteral("SELECT total_ht FROM devis")).scalar().toDouble(),
                 50.0);
        QVERIFY(Devis().supprimerDevis(n));
        QVERIFY(!Devis().supprimerDevis(n));
        QCOMPARE(
            Sql(DataModule::shared(), QStringLiteral("SELECT COUNT(*) FROM devis_item")).scalar().toInt(), 0);
    }

    void listingHidesTheNoDateMarker()
    {
        quote(QString());
        quote(QString(), Devis::sansDate(), Devis::sansDate());
        TextGrid grid(2, 10);
        Devis().listeDevis(grid);
        QCOMPARE(grid.rowCount(), 4);
        const QString flat = QStringLiteral("Mme Anne Le Goff ---- 3 rue de l'Église ---- 29000 Quimper");
        QCOMPARE(grid.row(1), (QStringList{"2", "14/07/2024", "", "", flat, "0", "0", "200", "20", "220"}));
        QCOMPARE(grid.row(2).mid(0, 4), (QStringList{"1", "14/07/2024", "10/07/2024", "14/07/2024"}));
        TextGrid mine(2, 10);
        Devis().listeDevisClient(2, mine);
        QCOMPARE(mine.rowCount(), 2);
    }

    void commentPrintsUnderTheTable_data()
    {
        QTest::addColumn<bool>("paper");
        QTest::addColumn<QString>("comment");
        QTest::newRow("pdf, two lines") << false << "Arrivée tardive\r\nLit bébé";
        QTest::newRow("paper, two lines") << true << "Arrivée tardive\r\nLit bébé";
        QTest::newRow("pdf, none") << false << "";
        QTest::newRow("paper, none") << true << "";
    }
    void commentPrintsUnderTheTable()
    {
        QFETCH(bool, paper);
        QFETCH(QString, comment);
        if (!pdfToolsInstalled())
            QSKIP("qpdf and pdftotext are not installed");
        writeHotel();
        const auto file = document(quote(comment), paper);
        checkWithQpdf(file->path());
        keepForALook(file->path(), paper ? "devis-papier.pdf" : "devis.pdf");
        const QList<PdfWord> words = pdfWords(file->path());
        const PdfWord heading = wordOf(words, QStringLiteral("Commentaires"));
        if (comment.isEmpty()) {
            QCOMPARE(heading.page, 0);
            return;
        }
        const PdfWord first = wordOf(words, QStringLiteral("Arrivée")),
                      second = wordOf(words, QStringLiteral("Lit"));
        QVERIFY(heading.yMin > wordOf(words, QStringLiteral("Chambre")).yMax);
        QVERIFY(heading.yMin < first.yMin && first.yMin < second.yMin);
        QVERIFY(qAbs(heading.xMin - first.xMin) < 0.5 && qAbs(first.xMin - second.xMin) < 0.5);
        QVERIFY(second.yMax < wordOf(words, QStringLiteral("HT")).yMin);
    }

    void stayLinePlacement_data()
    {
        QTest::addColumn<bool>("paper");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QString>("stay");
        QTest::addColumn<int>("linesBelowDate");
        QTest::newRow("pdf: blank line between")
            << false << QDate(2024, 7, 10) << "Séjour du 10/07/2024 au 14/07/2024" << 2;
        QTest::newRow("paper: next line")
            << true << QDate(2024, 7, 10) << "Séjour du 10/07/2024 au 14/07/2024" << 1;
        QTest::newRow("no-date marker printed as stored")
            << false << Devis::sansDate() << "Séjour du 31/12/1899 au 14/07/2024" << 2;
    }
    void stayLinePlacement()
    {
        QFETCH(bool, paper);
        QFETCH(QDate, start);
        QFETCH(QString, stay);
        QFETCH(int, linesBelowDate);
        if (!pdfToolsInstalled())
            QSKIP("qpdf and pdftotext are not installed");
        const auto file = document(quote(QString(), start), paper);
        const QString text = pdfLayoutText(file->path());
        QVERIFY2(text.contains(stay), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Devis N° 1")));
        QVERIFY(!text.contains(QStringLiteral("Mode de paiement")));
        const QList<PdfWord> words = pdfWords(file->path());
        // One line is the distance between two lines of the billing address.
        const double line =
            wordOf(words, QStringLiteral("3")).yMin - wordOf(words, QStringLiteral("Mme")).yMin;
        double dateTop = 0;
        for (const PdfWord &w : words)
            if (w.text == QLatin1String("Le") && w.xMin < 200)
                dateTop = w.yMin;
        const double gap = wordOf(words, QStringLiteral("Séjour")).yMin - dateTop;
        QVERIFY2(qAbs(gap - linesBelowDate * line) < 0.5, qPrintable(QString::number(gap / line)));
    }

private:
    std::unique_ptr<TestDatabase> m_db;
};

QTEST_MAIN(TstDevis)
#include "tst_devis.moc"
