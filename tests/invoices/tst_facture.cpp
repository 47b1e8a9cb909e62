#include "common/errors.h"
#include "common/print_scale.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/sql.h"
#include "documents/document_drawer.h"
#include "common/paths.h"
#include "invoices/facture.h"
#include "quotes/devis.h"
#include "settings/ini_file.h"
#include "test_support.h"

#include "document_fixture.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTest>

#include <memory>

namespace {

QString numFacture()
{
    return IniFile().readString(QStringLiteral("Hotel"), QStringLiteral("numFacture"));
}

int count(const QString &statement)
{
    return Sql(DataModule::shared(), statement).scalar().toInt();
}

// One stored invoice with the given lines and totals.
int invoice(const QStringList &lines, const QString &ht, const QString &tva, const QString &ttc,
            const QString &remise = QStringLiteral("0"))
{
    return Facture().creerFacture(entry(ht, tva, ttc, remise), linesGrid(lines));
}

QByteArray picture(const char *format, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    img.save(&b, format);
    return bytes;
}

QStringList fortyLines()
{
    QStringList rows;
    for (int i = 1; i <= 40; ++i)
        rows << QStringLiteral("%1:Ligne %2:1:10:10:11").arg(i).arg(i, 2, 10, QLatin1Char('0'));
    return rows;
}

} // namespace

class TstFacture : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup()
    {
        m_db.reset();
        QLocale::setDefault(QLocale::c());
    }

    void numbersComeFromTheCounterAndFeedNumFacture()
    {
        Facture f;
        QCOMPARE(f.ajouterFacture(1, QStringLiteral("A"), QStringLiteral("0"), QStringLiteral("0"), QDate(),
                                  QDate(), QDate(2024, 1, 2), QStringLiteral("CB"), QStringLiteral("10"),
                                  QStringLiteral("0"), QStringLiteral("10")),
                 1);
        QCOMPARE(numFacture(), QStringLiteral("2"));
        // A deleted last invoice does not give its number again.
        QVERIFY(f.supprimerFacture(1));
        QCOMPARE(invoice({QStringLiteral("1:Nuit:1:10::10")}, "10", "0", "10"), 2);
        QCOMPARE(numFacture(), QStringLiteral("3"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM facturation_item WHERE id_facture = 2")), 1);
    }

    void badInputStoresNothing_data()
    {
        QTest::addColumn<QString>("ht");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("amount that is not a number") << "12,x" << QStringList{"1:Nuit:1:10::10"};
        QTest::newRow("quantity not whole") << "10" << QStringList{"1:Nuit:1:10::10", "2:Repas:2,5:10::10"};
        QTest::newRow("service id not a number")
            << "10" << QStringList{"1:Nuit:1:10::10", "x:Repas:1:10::10"};
        QTest::newRow("rate not a number") << "10" << QStringList{"1:Nuit:1:10:dix:10"};
    }
    void badInputStoresNothing()
    {
        QFETCH(QString, ht);
        QFETCH(QStringList, lines);
        QVERIFY_THROWS_EXCEPTION(KestrovaError, invoice(lines, ht, "0", "10"));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM facturation")), 0);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM facturation_item")), 0);
        QCOMPARE(numFacture(), QString());
    }

    void settersAnswerWhetherARowChanged()
    {
        const int n = invoice({}, "10", "0", "10");
        Facture f;
        const QString address = QStringLiteral("L'Auberge d'Ys\r\n2 rue de l'Été");
        QVERIFY(f.setAdresseFacturation(n, address));
        QVERIFY(f.setModeReglement(n, QStringLiteral("Chèque")));
        QVERIFY(f.setAcompte(n, QStringLiteral("12,5")));
        QVERIFY(f.setSejour(n, QDate(2024, 2, 3), QDate(2024, 2, 1)));
        QVERIFY(!f.setAdresseFacturation(n + 1, address));
        QVERIFY(!f.setModeReglement(n + 1, QStringLiteral("CB")));
        QVERIFY(!f.setAcompte(n + 1, QStringLiteral("1")));
        QVERIFY(!f.setSejour(n + 1, QDate(2024, 2, 3), QDate(2024, 2, 1)));
        QVERIFY(!f.supprimerFacture(n + 1));
        const QList<QVariantList> rows =
            Sql(DataModule::shared(),
                QStringLiteral(
                    "SELECT adresse_facturation, mode_reglement, acompte, sejour_debut, sejour_fin "
                    "FROM facturation"))
                .rows();
        QCOMPARE(rows.first(), (QVariantList{address, QStringLiteral("Chèque"), 12.5,
                                             QStringLiteral("2024-02-01"), QStringLiteral("2024-02-03")}));
    }

    void linesUpdateAddAndPrune_data()
    {
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QStringList>("expected"); // service:nb:rate after the save
        QTest::newRow("one changed, one added, one removed")
            << QStringList{"1:Nuit:3:300:---------:330", "4:Parking:1:5:20:6"}
            << QStringList{"1:3:10", "4:1:20"};
        QTest::newRow("grid without a service deletes every line") << QStringList{} << QStringList{};
    }
    void linesUpdateAddAndPrune()
    {
        QFETCH(QStringList, kept);
        QFETCH(QStringList, expected);
        const int n = invoice({"1:Nuit:2:200:10:220", "2:Repas:2:40:10:44"}, "240", "24", "264");
        DocumentEntry e = entry("305", "31", "336", "12,5");
        e.modeReglement = QStringLiteral("Virement");
        Facture().modifierFacture(n, e, linesGrid(kept));
        QStringList lines;
        for (const QVariantList &r :
             Sql(DataModule::shared(),
                 QStringLiteral("SELECT id_prestation, nb, taux_tva FROM facturation_item ORDER BY id"))
                 .rows())
            lines << QStringLiteral("%1:%2:%3").arg(r[0].toInt()).arg(r[1].toInt()).arg(r[2].toString());
        QCOMPARE(lines, expected);
        const QVariantList totals =
            Sql(DataModule::shared(), QStringLiteral("SELECT total_ht, total_tva, total_ttc, remise, "
                                                     "mode_reglement FROM facturation"))
                .rows()
                .first();
        QCOMPARE(totals, (QVariantList{305.0, 31.0, 336.0, 12.5, QStringLiteral("Virement")}));
    }

    void failedModificationChangesNothing()
    {
        const int n = invoice({"1:Nuit:2:200:10:220"}, "200", "20", "220");
        const auto snapshot = [] {
            return Sql(DataModule::shared(),
                       QStringLiteral(
                           "SELECT f.mode_reglement, f.adresse_facturation, i.nb FROM facturation f "
                           "JOIN facturation_item i ON i.id_facture = f.id"))
                .rows();
        };
        const QList<QVariantList> before = snapshot();
        DocumentEntry e = entry("10", "1", "11");
        e.adresse = QStringLiteral("Autre");
        QVERIFY_THROWS_EXCEPTION(
            KestrovaError, Facture().modifierFacture(n, e, linesGrid({"1:Nuit:5:10::10", "x:Bad:1:1::1"})));
        QCOMPARE(snapshot(), before);
    }

    void listingInBothLayouts_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("client");
        QTest::addColumn<QList<QStringList>>("rows");
        const QString flat = QStringLiteral("Mme Anne Le Goff ---- 3 rue de l'Église ---- 29000 Quimper");
        // The last column: the day the electronic copy was written (none here).
        const QStringList second{"2", "14/07/2024", "", "", flat, "Non payé", "", "", "100", "10", "110", ""};
        const QStringList first{"1", "14/07/2024", "10/07/2024", "14/07/2024", flat, "CB",
                                "0", "0",          "200",        "20",         "220", ""};
        QTest::newRow("invoice list, all") << 1 << ""
                                           << "" << QList<QStringList>{second, first};
        QTest::newRow("invoice list, one mode") << 1 << "CB"
                                                << "" << QList<QStringList>{first};
        QTest::newRow("client card") << 0 << ""
                                     << "1"
                                     << QList<QStringList>{{"2", "14/07/2024", flat, "Non payé", "110"},
                                                           {"1", "14/07/2024", flat, "CB", "220"}};
        QTest::newRow("other client") << 0 << ""
                                      << "5" << QList<QStringList>{};
    }
    void listingInBothLayouts()
    {
        QFETCH(int, layout);
        QFETCH(QString, mode);
        QFETCH(QString, client);
        QFETCH(QList<QStringList>, rows);
        invoice({}, "200", "20", "220");
        const int n = invoice({}, "100", "10", "110");
        Facture().setModeReglement(n, QStringLiteral("Non payé"));
        Sql(DataModule::shared(),
            QStringLiteral("UPDATE facturation SET sejour_debut = NULL, sejour_fin = NULL, "
                           "remise = NULL, acompte = NULL WHERE id = 2"))
            .exec();
        TextGrid grid(2, 3);
        grid.setRow(0, {"N°", "Date", "x"});
        Facture().listeFactures(grid, mode, layout, client);
        QCOMPARE(grid.rowCount(), int(rows.size()) + 2);
        for (int k = 0; k < rows.size(); ++k)
            QCOMPARE(grid.row(k + 1), rows.at(k));
        QVERIFY(grid.isRowEmpty(grid.rowCount() - 1));
        QCOMPARE(grid.cell(0, 0), QStringLiteral("N°"));
    }

    void formatMontant_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("decimals added") << 1234.5 << "1234.50";
        QTest::newRow("no grouping") << 1234567.0 << "1234567.00";
        QTest::newRow("negative") << -3.0 << "-3.00";
        QTest::newRow("half cent up") << 11.955 << "11.96";
    }
    void formatMontant()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QCOMPARE(Facture::formatMontant(value), text);
    }

    // ---- The PDF document ----------------------------------------------------

    void pdfShowsTheRightRows_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("remise");
        QTest::addColumn<QString>("ht");
        QTest::addColumn<QString>("ttc");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("discount 12.5")
            << QStringList{"1:Chambre:3:150:10:165"} << "12,5"
            << "137,5"
            << "151,25" << QStringList{"Remise générale", "- 12.50 €", "Total TVA : ", "13.75 €"}
            << QStringList{"Total Net"};
        QTest::newRow("no discount") << QStringList{"1:Chambre:3:150:10:165"} << "0"
                                     << "150"
                                     << "165" << QStringList{"Total HT", "150.00 €", "165.00 €", "15.00 €"}
                                     << QStringList{"Remise", "Dispensé"};
        QTest::newRow("no tax") << QStringList{"1:Chambre:3:150:---------:150"} << "0"
                                << "150"
                                << "150"
                                << QStringList{"Total Net : ", "150.00 €", "Dispensé d'immatriculation",
                                               "l'artisanat."}
                                << QStringList{"Total TVA", "Total HT", "Total TTC"};
        QTest::newRow("quantity 0") << QStringList{"1:Offert:0:0:10:0"} << "0"
                                    << "0"
                                    << "0" << QStringList{"Offert", "0.00 €"} << QStringList{"nan", "inf"};
    }
    void pdfShowsTheRightRows()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, remise);
        QFETCH(QString, ht);
        QFETCH(QString, ttc);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        if (!pdfToolsInstalled())
            QSKIP("qpdf and pdftotext are not installed");
        writeHotel();
        const int n = invoice(lines, ht, "0", ttc, remise);
        const PdfFile file(Facture().pdfFacture(n));
        checkWithQpdf(file.path());
        const QString text = pdfLayoutText(file.path());
        for (const QString &p : present)
            QVERIFY2(text.contains(p), qPrintable(p + QStringLiteral(" missing in\n") + text));
        for (const QString &a : absent)
            QVERIFY2(!text.contains(a), qPrintable(a + QStringLiteral(" present in\n") + text));
    }

    // Written to be looked at, each document keeps a file of its own (the
    // opener gets that one); facture.pdf / devis.pdf stay the e-mail's.
    void pdfForViewingHasItsOwnName_data()
    {
        QTest::addColumn<bool>("quote");
        QTest::newRow("invoices") << false;
        QTest::newRow("quotes") << true;
    }
    void pdfForViewingHasItsOwnName()
    {
        QFETCH(bool, quote);
        writeHotel();
        // A stand-in for the desktop's opener, recording what it is asked to open.
        const QString bin = m_db->dir().file(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString opened = m_db->dir().file(QStringLiteral("opened.txt"));
        m_db->dir().writeFile(QStringLiteral("bin/xdg-open"),
                              QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\n").arg(opened).toUtf8());
        QFile::setPermissions(bin + QStringLiteral("/xdg-open"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toUtf8() + ':' + path);

        QStringList written;
        for (const char *ttc : {"110", "220"}) {
            const DocumentEntry e = entry(QStringLiteral("100"), QStringLiteral("10"), QString::fromLatin1(ttc));
            const TextGrid lines = linesGrid({"1:Chambre:1:100:10:110"});
            written << (quote ? Devis().genererPdfDevis(Devis().creerDevis(e, lines), true)
                              : Facture().genererPdfFacture(Facture().creerFacture(e, lines), true));
        }
        qputenv("PATH", path);
        const QString stem = quote ? QStringLiteral("devis") : QStringLiteral("facture");
        QCOMPARE(written.size(), 2);
        QVERIFY(written.at(0) != written.at(1));
        for (const QString &file : written) {
            QVERIFY2(QRegularExpression(QStringLiteral("^%1-\\d+\\.pdf$").arg(stem)).match(QFileInfo(file).fileName()).hasMatch(),
                     qPrintable(file));
            QCOMPARE(QFileInfo(file).absolutePath(), QDir(Paths::dataDir()).absoluteFilePath(QStringLiteral("documents")));
            QVERIFY2(QFile(file).size() > 1000, qPrintable(file));
        }
        QVERIFY(!QFile::exists(quote ? Devis::cheminPdf() : Facture::cheminPdf()));
        // The opener runs detached: give it a few seconds to say what it opened.
        QElapsedTimer clock;
        clock.start();
        QStringList seen;
        while (seen.size() < 2 && clock.elapsed() < 10000) {
            QTest::qWait(50);
            QFile f(opened);
            if (f.open(QIODevice::ReadOnly))
                seen = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        }
        seen.sort();
        QStringList expected = written;
        for (QString &w : expected)
            w = QFileInfo(w).absoluteFilePath();
        expected.sort();
        QCOMPARE(seen, expected);
    }

    void pdfPlacesColumnsAndBlocks()
    {
        if (!pdfToolsInstalled())
            QSKIP("qpdf and pdftotext are not installed");
        writeHotel();
        const int n = invoice({"1:Chambre:3:150::150", "2:Petit déjeuner:2:20:10:22"}, "170", "2", "172");
        const QString path = Facture().genererPdfFacture(n, false);
        QCOMPARE(path, Facture::cheminPdf());
        const QList<PdfWord> words = pdfWords(path);
        // Three address lines at x = 330, one under the other.
        QList<double> addressTops;
        for (const PdfWord &w : words)
            if (qRound(w.xMin) == 330)
                addressTops << w.yMin;
        QCOMPARE(addressTops.size(), 3);
        QCOMPARE(qRound(addressTops.at(1) - addressTops.at(0)), 15);
        QCOMPARE(qRound(addressTops.at(2) - addressTops.at(1)), 15);
        QCOMPARE(textsOf(lineAt(words, wordOf(words, QStringLiteral("Mme")))),
                 (QStringList{"Mme", "Anne", "Le", "Goff"}));
        // The title centred on the page.
        const QList<PdfWord> title = lineOf(words, QStringLiteral("Facture"));
        QCOMPARE(textsOf(title), (QStringList{"Facture", "N°", QString::number(n)}));
        QVERIFY(qAbs((title.first().xMin + title.last().xMax) / 2 - 298) <= 1.0);
        // Unit price 50.00; no rate: nothing between the unit price and the quantity.
        const QList<PdfWord> chambre = lineOf(words, QStringLiteral("Chambre"));
        QCOMPARE(textsOf(chambre), (QStringList{"Chambre", "50.00", "3", "150.00", "€"}));
        QCOMPARE(qRound(chambre.at(1).xMax), 596 - 260);
        QCOMPARE(qRound(chambre.at(2).xMax), 596 - 120);
        QCOMPARE(qRound(chambre.last().xMax), 596 - 30);
        const QList<PdfWord> breakfast = lineOf(words, QStringLiteral("Petit"));
        QCOMPARE(textsOf(breakfast), (QStringList{"Petit", "déjeuner", "10.00", "10", "%", "2", "20.00", "€"}));
        QCOMPARE(qRound(breakfast.at(4).xMax), 596 - 180);
        int totals = 0;
        for (const PdfWord &w : words) {
            // The totals block only: the tax per rate shares its baselines at the left.
            QList<PdfWord> line;
            for (const PdfWord &x : lineAt(words, w))
                if (x.xMin >= 370)
                    line << x;
            if (w.text == QLatin1String("Total") && qAbs(w.xMin - 380) < 2 && line.size() == 5) {
                QCOMPARE(textsOf(line).at(4), QStringLiteral("€"));
                QCOMPARE(qRound(line.last().xMax), 596 - 30);
                ++totals;
            }
        }
        QCOMPARE(totals, 3);
        const QString text = pdfLayoutText(path);
        QVERIFY(text.contains(QStringLiteral("Séjour du 10/07/2024 au 14/07/2024")));
        QVERIFY(text.contains(QStringLiteral("Mode de paiement : CB")));
        QVERIFY(text.contains(QStringLiteral("Hôtel de la Plage")));
    }

    void withoutHotelSettingsTheFramesStartAtTheTop()
    {
        const int n = invoice({}, "10", "0", "10");
        const QByteArray pdf = Facture().pdfFacture(n);
        // The hotel frame is 10 points high; the client frame starts at H - 30.
        QVERIFY(pdf.contains("19 823 249 -10 re\nf\n1 1 1 rg\n20 822 247 -8 re"));
        QVERIFY(pdf.contains("321 812 252 -120 re"));
    }

    void logoIsDrawnNinetyPointsWide_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("jpeg") << picture("JPEG", 200, 100) << true;
        QTest::newRow("png converted") << picture("PNG", 200, 100) << true;
        QTest::newRow("not a picture") << QByteArray("not a picture") << false;
    }
    void logoIsDrawnNinetyPointsWide()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, drawn);
        m_db->dir().writeFile(QStringLiteral("logo.img"), bytes);
        IniFile().writeString(QStringLiteral("Hotel"), QStringLiteral("logo"), m_db->dir().file("logo.img"));
        const int n = invoice({}, "10", "0", "10");
        const QByteArray pdf = Facture().pdfFacture(n);
        QCOMPARE(pdf.contains("90 0 0 45 476 762 cm"), drawn);
        QCOMPARE(pdf.contains("/image1"), drawn);
    }

    void longInvoiceContinuesOnANextPage_data()
    {
        QTest::addColumn<bool>("paper");
        QTest::newRow("pdf") << false;
        QTest::newRow("paper") << true;
    }
    void longInvoiceContinuesOnANextPage()
    {
        QFETCH(bool, paper);
        if (!pdfToolsInstalled())
            QSKIP("qpdf and pdftotext are not installed");
        writeHotel();
        const int n = invoice(fortyLines(), "400", "40", "440");
        const std::unique_ptr<PdfFile> file =
            paper ? std::make_unique<PdfFile>() : std::make_unique<PdfFile>(Facture().pdfFacture(n));
        if (paper)
            Facture().imprimerFactureVersPdf(n, file->path());
        checkWithQpdf(file->path());
        keepForALook(file->path(), paper ? "facture-40-papier.pdf" : "facture-40.pdf");
        const QList<PdfWord> words = pdfWords(file->path());
        QCOMPARE(pageCount(words), 2);
        const PdfWord totals = wordOf(words, QStringLiteral("HT"));
        QCOMPARE(totals.page, 2);
        QCOMPARE(wordOf(words, QStringLiteral("Prestation"), 2).page, 2); // header repeated
        // Every line is there once, and each ends above where the totals start.
        const double totalsTop = totals.yMin;
        for (int i = 1; i <= 40; ++i) {
            const QString number = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
            const PdfWord w = wordOf(words, number);
            QVERIFY2(w.page > 0, qPrintable(number));
            QVERIFY2(w.yMax < totalsTop - 3, qPrintable(number));
        }
    }

    // ---- The paper document --------------------------------------------------

    void paperLayoutThroughThePrinter()
    {
        if (!pdfToolsInstalled())
            QSKIP("qpdf and pdftotext are not installed");
        writeHotel();
        const int n = invoice({"1:Chambre:3:150::150"}, "150", "0", "150", "12,5");
        PdfFile file;
        Facture().imprimerFactureVersPdf(n, file.path());
        checkWithQpdf(file.path());
        keepForALook(file.path(), "facture-papier.pdf");
        const QString text = pdfLayoutText(file.path());
        for (const QString &t : {QStringLiteral("Hôtel de la Plage"), QStringLiteral("Tel : 0298000000"),
                                 QStringLiteral("TVA : FR 00 123"), QStringLiteral("Mode de paiement : CB"),
                                 QStringLiteral("Séjour du 10/07/2024 au 14/07/2024"),
                                 QStringLiteral("Remise générale"), QStringLiteral("- 12.50 €"),
                                 QStringLiteral("Total Net :"), QStringLiteral("Dispensé d'immatriculation")})
            QVERIFY2(text.contains(t), qPrintable(t + QStringLiteral(" missing in\n") + text));
        const QList<PdfWord> words = pdfWords(file.path());
        // Address lines share their left edge; the notice stays on the page.
        QVERIFY(qAbs(wordOf(words, QStringLiteral("Mme")).xMin - wordOf(words, QStringLiteral("rue")).xMin) >
                5);
        QVERIFY(qAbs(wordOf(words, QStringLiteral("Mme")).xMin -
                     lineAt(words, wordOf(words, QStringLiteral("rue"))).first().xMin) < 0.5);
        const QList<PdfWord> notice = lineOf(words, QStringLiteral("Dispensé"));
        QVERIFY(notice.first().xMin > 0 && notice.last().xMax < 595);
        // Amounts end on one right edge.
        const QList<PdfWord> chambre = lineOf(words, QStringLiteral("Chambre"));
        QCOMPARE(textsOf(chambre), (QStringList{"Chambre", "50.00", "3", "150.00", "€"}));
        QVERIFY(qAbs(chambre.last().xMax - lineOf(words, QStringLiteral("Remise")).last().xMax) < 0.5);
    }

    void paperPageIsTheSameAtEveryResolution()
    {
        if (!pdfToolsInstalled())
            QSKIP("qpdf and pdftotext are not installed");
        writeHotel();
        const int n = invoice({"1:Chambre:3:150:10:165"}, "150", "15", "165", "12,5");
        const DocumentDrawer::Content content =
            DocumentDrawer::load(DocumentStore(DocumentStore::Kind::Facture, DataModule::shared()), n);
        QList<QList<PdfWord>> pages;
        for (int dpi : {150, 600, 1200}) {
            PdfFile file;
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file.path());
            printer.setResolution(dpi);
            printer.setPageSize(QPageSize(QPageSize::A4));
            printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
            QPainter painter(&printer);
            const PrintScale scale = PrintScale::forDevice(printer);
            QVERIFY(qAbs(scale.factorX() - dpi / 600.0) < 1e-9);
            scale.apply(painter);
            DocumentDrawer::drawPaper(content, painter, scale, [&printer] { return printer.newPage(); });
            QVERIFY(painter.end());
            pages << pdfWords(file.path());
        }
        // Every word where the 600-dpi page has it, to a point.
        for (const QList<PdfWord> &other : {pages.at(0), pages.at(2)}) {
            QCOMPARE(other.size(), pages.at(1).size());
            for (int i = 0; i < other.size(); ++i) {
                const PdfWord &a = other.at(i), &b = pages.at(1).at(i);
                QCOMPARE(a.text, b.text);
                QVERIFY2(qAbs(a.xMin - b.xMin) < 1 && qAbs(a.yMin - b.yMin) < 1 && qAbs(a.xMax - b.xMax) < 1,
                         qPrintable(a.text));
            }
        }
    }

    void printScaleMapsLayoutUnits_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<double>("widthPx");
        QTest::addColumn<double>("fit");
        QTest::addColumn<double>("factor");
        QTest::addColumn<double>("pageWidth");
        QTest::newRow("600 dpi") << 600.0 << 4800.0 << 0.0 << 1.0 << 4800.0;
        QTest::newRow("300 dpi, same inches") << 300.0 << 2400.0 << 0.0 << 0.5 << 4800.0;
        QTest::newRow("1200 dpi") << 1200.0 << 9600.0 << 0.0 << 2.0 << 4800.0;
        QTest::newRow("narrow page shrunk to fit") << 300.0 << 2400.0 << 4950.0 << 2400.0 / 4950 << 4950.0;
        QTest::newRow("wide page kept") << 300.0 << 2400.0 << 4000.0 << 0.5 << 4800.0;
    }
    void printScaleMapsLayoutUnits()
    {
        QFETCH(double, dpi);
        QFETCH(double, widthPx);
        QFETCH(double, fit);
        QFETCH(double, factor);
        QFETCH(double, pageWidth);
        PrintScale s(dpi, dpi, widthPx, widthPx * 1.4);
        if (fit > 0)
            s = s.fittingWidth(fit);
        QCOMPARE(s.factorX(), factor);
        QCOMPARE(s.factorY(), factor);
        QCOMPARE(s.pageWidth(), pageWidth);
        QCOMPARE(s.pageHeight(), widthPx * 1.4 / factor);
        QImage image(int(widthPx), int(widthPx * 1.4), QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        QVERIFY(qAbs(PrintScale::forDevice(image).factorX() - dpi / 600) < 0.01);
        QCOMPARE(PrintScale::font(QStringLiteral("Arial"), 12).pixelSize(), 100);
    }

    // ---- Commands ------------------------------------------------------------

    void commands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("pdf") << QStringList{"facture-pdf", "1"} << 0 << "facture.pdf";
        QTest::newRow("missing invoice")
            << QStringList{"facture-pdf", "7"} << 1 << "la facture N° 7 n'existe pas.";
        QTest::newRow("not a number") << QStringList{"facture-pdf", "x"} << 2 << "n'est pas un numéro";
        QTest::newRow("paper to pdf")
            << QStringList{"imprimer", "facture", "1", "--pdf", "papier.pdf"} << 0 << "papier.pdf";
        QTest::newRow("missing quote")
            << QStringList{"imprimer", "devis", "3", "--pdf", "p.pdf"} << 1 << "le devis N° 3 n'existe pas.";
        QTest::newRow("unknown kind") << QStringList{"imprimer", "planche", "1"} << 2 << "document inconnu";
    }
    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        invoice({"1:Chambre:1:10::10"}, "10", "0", "10");
        DataModule::release();
        QProcess p;
        p.setWorkingDirectory(m_db->path());
        p.start(programPath(), QStringList{QStringLiteral("--dir"), m_db->path()} + args);
        QVERIFY(p.waitForFinished(60000));
        const QString stdOut = QString::fromUtf8(p.readAllStandardOutput());
        const QString out = stdOut + QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(p.exitCode() == exitCode, qPrintable(out));
        QVERIFY2(out.contains(output), qPrintable(out));
        if (exitCode == 0)
            QVERIFY(QFileInfo(stdOut.trimmed()).size() > 1000);
    }

    void printingWithoutAPrinterSaysSo()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a default printer is set up here: nothing would fail");
        const int n = invoice({}, "10", "0", "10");
        try {
            Facture().imprimerFacture(n);
            QFAIL("no error");
        } catch (const KestrovaError &e) {
            QCOMPARE(e.text(),
                     QStringLiteral(
                         "Aucune imprimante par défaut n'est configurée : le document n'a pas été imprimé."));
        }
    }

private:
    std::unique_ptr<TestDatabase> m_db;
};

QTEST_MAIN(TstFacture)
#include "tst_facture.moc"
