// The PDF of a stored 20-line invoice with its logo, written to memory with
// the reads it needs (invoice, lines, config.ini, logo file), by Facture and,
// from the same rows in the same run, by libHaru drawing the same page.
//
//   bench_documents --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include "bench_data.h"

#include "common/paths.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "documents/document_drawer.h"
#include "documents/document_totals.h"
#include "invoices/facture.h"
#include "pdf/pdf_encoding.h"
#include "settings/ini_file.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#ifdef KESTROVA_HAVE_HPDF
#include <hpdf.h>
#endif

namespace {

int g_invoice = 0;
int g_facturx = 0;

// A picture with enough detail to compress to about 50 KB.
QByteArray makeLogo()
{
    QImage image(320, 240, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, (x * y) % 256, random.bounded(256)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes;
}

// The hotel's settings, its logo and one stored invoice of 20 lines.
void prepare(const QString &dir)
{
    BenchData::create(dir);
    const IniFile ini;
    const QString h = QStringLiteral("Hotel");
    ini.writeString(h, QStringLiteral("nom"), QStringLiteral("Hôtel des Tilleuls"));
    ini.writeString(h, QStringLiteral("adresse1"), QStringLiteral("12, rue des Tilleuls"));
    ini.writeString(h, QStringLiteral("adresse2"), QStringLiteral("29770 Audierne"));
    ini.writeString(h, QStringLiteral("tel"), QStringLiteral("0298701234"));
    ini.writeString(h, QStringLiteral("email"), QStringLiteral("contact@hotel-des-tilleuls.example"));
    ini.writeString(h, QStringLiteral("tva"), QStringLiteral("FR 12 345678901"));
    QFile logo(Paths::dataPath(QStringLiteral("logo.jpg")));
    if (!logo.open(QIODevice::WriteOnly) || logo.write(makeLogo()) < 0)
        std::abort();
    logo.close();
    ini.writeString(h, QStringLiteral("logo"), logo.fileName());

    TextGrid lines(1, 6);
    for (int i = 1; i <= 20; ++i)
        lines.appendRow({QString::number(i), QStringLiteral("Prestation n° %1 — séjour").arg(i),
                         QString::number(i % 4 + 1), QString::number((i % 4 + 1) * 12.5 * i, 'f', 2),
                         QStringLiteral("10"), QString::number((i % 4 + 1) * 13.75 * i, 'f', 2)});
    DocumentEntry e;
    e.idClient = 2;
    e.adresse = QStringLiteral("Mme Anne Le Goff\r\n3 rue de l'Église\r\n29000 Quimper");
    e.remise = QStringLiteral("12,5");
    e.acompte = QStringLiteral("0");
    e.date = e.sejourFin = QDate(2024, 7, 14);
    e.sejourDebut = QDate(2024, 7, 10);
    e.totalHt = QStringLiteral("2000");
    e.totalTva = QStringLiteral("200");
    e.totalTtc = QStringLiteral("2200");
    e.modeReglement = QStringLiteral("CB");
    g_invoice = Facture().creerFacture(e, lines);

    // The same invoice as an electronic invoice needs the seller's identifiers
    // and totals that agree with its lines, as the form computes them.
    ini.writeString(h, QStringLiteral("siret"), QStringLiteral("123 456 789 00012"));
    ini.writeString(h, QStringLiteral("rcs"), QStringLiteral("Quimper"));
    const DocumentTotals::Totaux totaux = DocumentTotals::calculer(lines, e.remise);
    e.totalHt = totaux.ht;
    e.totalTva = totaux.tva;
    e.totalTtc = totaux.ttc;
    g_facturx = Facture().creerFacture(e, lines);
}

void BM_KestrovaStoredInvoice(benchmark::State &state)
{
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray pdf = Facture().pdfFacture(g_invoice);
        size = pdf.size();
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["bytes"] = double(size);
}
BENCHMARK(BM_KestrovaStoredInvoice)->Unit(benchmark::kMicrosecond);

// The electronic invoice of the same rows: PDF/A-3b with two font subsets, the
// colour profile, the XMP packet and factur-x.xml, reads of the client included.
void BM_KestrovaFacturxInvoice(benchmark::State &state)
{
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray pdf = Facture().facturxFacture(g_facturx);
        size = pdf.size();
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["bytes"] = double(size);
}
BENCHMARK(BM_KestrovaFacturxInvoice)->Unit(benchmark::kMicrosecond);

#ifdef KESTROVA_HAVE_HPDF

void haruError(HPDF_STATUS error, HPDF_STATUS detail, void *)
{
    std::fprintf(stderr, "libHaru error %04X (%u)\n", unsigned(error), unsigned(detail));
    std::abort();
}

// The same page as DocumentDrawer::drawPdf, one operation for one, for an
// invoice of one page.
std::vector<HPDF_BYTE> writeWithHaru(const DocumentDrawer::Content &c)
{
    const DocumentDrawer::Texts t = DocumentDrawer::texts(c);
    HPDF_Doc pdf = HPDF_New(haruError, nullptr);
    HPDF_Page pg = HPDF_AddPage(pdf);
    const float W = 596, H = 842;
    HPDF_Page_SetWidth(pg, W);
    HPDF_Page_SetHeight(pg, H);
    HPDF_Page_SetFontAndSize(pg, HPDF_GetFont(pdf, "Helvetica", "WinAnsiEncoding"), 10);
    const auto text = [&](double x, double y, const QString &s) {
        const QByteArray b = PdfEncoding::toWinAnsi(s);
        HPDF_Page_BeginText(pg);
        HPDF_Page_TextOut(pg, HPDF_REAL(x), HPDF_REAL(y), b.constData());
        HPDF_Page_EndText(pg);
    };
    const auto right = [&](double e, double y, const QString &s) {
        if (!s.isEmpty())
            text(std::round(e - HPDF_Page_TextWidth(pg, PdfEncoding::toWinAnsi(s).constData())), y, s);
    };
    const auto frame = [&](double x, double y, double w, double h) {
        HPDF_Page_Rectangle(pg, HPDF_REAL(x), HPDF_REAL(y), HPDF_REAL(w), HPDF_REAL(h));
        HPDF_Page_Fill(pg);
        HPDF_Page_SetRGBFill(pg, 1, 1, 1);
        const double in = h < 0 ? -1 : 1;
        HPDF_Page_Rectangle(pg, HPDF_REAL(x + 1), HPDF_REAL(y + in), HPDF_REAL(w - 2), HPDF_REAL(h - 2 * in));
        HPDF_Page_Fill(pg);
        HPDF_Page_SetRGBFill(pg, 0, 0, 0);
    };
    frame(19, H - 19, 249, -(15 * c.hotel.n + 10));
    HPDF_Image logo = HPDF_LoadJpegImageFromMem(
        pdf, reinterpret_cast<const HPDF_BYTE *>(c.logoBytes.constData()), HPDF_UINT(c.logoBytes.size()));
    HPDF_Page_DrawImage(pg, logo, W - 120, H - 80, 90,
                        HPDF_REAL(90.0 * HPDF_Image_GetHeight(logo) / HPDF_Image_GetWidth(logo)));
    double d = 45;
    text(30, H - 30, c.hotel.nom);
    for (int i = 0; i < c.hotel.lignes.size(); ++i) {
        text(30, H - d, c.hotel.lignes.at(i));
        if (i + 1 < c.hotel.lignes.size())
            d += 15;
    }
    frame(321, H - d, 252, -120);
    d += 20;
    for (int i = 0; i < t.adresse.size(); ++i) {
        if (i > 0)
            d += 15;
        text(330, H - d, t.adresse.at(i));
    }
    d += 45;
    text(30, H - d, t.date);
    d += 15;
    text(30, H - d, t.mode);
    d += 15;
    text(30, H - d, t.sejour);
    text(std::round((W - HPDF_Page_TextWidth(pg, PdfEncoding::toWinAnsi(t.titre).constData())) / 2),
         H - d - 45, t.titre);
    d += 105;
    frame(28, H - d - 9, W - 52, 25);
    text(30, H - d, QStringLiteral("Prestation"));
    right(W - 260, H - d, QStringLiteral("Prix unitaire (HT)"));
    right(W - 180, H - d, QStringLiteral("Taux TVA"));
    right(W - 120, H - d, QStringLiteral("Nb"));
    right(W - 30, H - d, QStringLiteral("Total (HT)"));
    d += 45;
    auto row = [&](const DocumentDrawer::Row &r) {
        text(30, H - d, r.libelle);
        right(W - 260, H - d, r.unitaire);
        right(W - 180, H - d, r.taux);
        right(W - 120, H - d, r.nb);
        right(W - 30, H - d, r.total);
    };
    for (const DocumentDrawer::Row &r : t.lignes) {
        row(r);
        d += 15;
    }
    if (t.remise)
        row(t.ligneRemise);
    frame(374, 59, 201, 60);
    text(380, 100, QStringLiteral("Total HT  : "));
    right(W - 30, 100, t.ht);
    text(380, 85, QStringLiteral("Total TVA : "));
    right(W - 30, 85, t.tva);
    text(380, 70, QStringLiteral("Total TTC : "));
    right(W - 30, 70, t.ttc);
    HPDF_SaveToStream(pdf);
    HPDF_UINT32 size = HPDF_GetStreamSize(pdf);
    std::vector<HPDF_BYTE> out(size);
    HPDF_ReadFromStream(pdf, out.data(), &size);
    out.resize(size);
    HPDF_Free(pdf);
    return out;
}

void BM_HaruStoredInvoice(benchmark::State &state)
{
    size_t size = 0;
    for (auto _ : state) {
        // The same reads as Facture::pdfFacture: invoice, lines, settings, logo file.
        DataModule::Use use;
        const std::vector<HPDF_BYTE> pdf = writeWithHaru(
            DocumentDrawer::load(DocumentStore(DocumentStore::Kind::Facture, use.db()), g_invoice));
        size = pdf.size();
        benchmark::DoNotOptimize(pdf.data());
    }
    state.counters["bytes"] = double(size);
}
BENCHMARK(BM_HaruStoredInvoice)->Unit(benchmark::kMicrosecond);

#endif

} // namespace

int main(int argc, char **argv)
{
    BenchData::absoluteOutputPath(argc, argv); // before the data directory becomes current
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    prepare(dir.path());
    // KESTROVA_BENCH_PDF_OUT=prefix writes the benchmarked pages once, for a look.
    const QString prefix = qEnvironmentVariable("KESTROVA_BENCH_PDF_OUT");
    if (!prefix.isEmpty()) {
        QFile ours(prefix + QStringLiteral("-kestrova.pdf"));
        if (ours.open(QIODevice::WriteOnly))
            ours.write(Facture().pdfFacture(g_invoice));
#ifdef KESTROVA_HAVE_HPDF
        DataModule::Use use;
        const std::vector<HPDF_BYTE> haru = writeWithHaru(
            DocumentDrawer::load(DocumentStore(DocumentStore::Kind::Facture, use.db()), g_invoice));
        QFile theirs(prefix + QStringLiteral("-haru.pdf"));
        if (theirs.open(QIODevice::WriteOnly))
            theirs.write(reinterpret_cast<const char *>(haru.data()), qint64(haru.size()));
#endif
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
