// One invoice-like page (about 60 texts, 10 filled rectangles, a 50 KB JPEG logo)
// written to memory, by our writer and, when available, by libHaru.
//
//   bench_pdf --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include "pdf/pdf_doc.h"
#include "pdf/pdf_encoding.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#ifdef KESTROVA_HAVE_HPDF
#include <hpdf.h>
#endif

namespace {

constexpr double kWidth = 596;
constexpr double kHeight = 842;

struct Text
{
    double x;
    double y;
    QString text;
    QByteArray winAnsi;
    enum Align { Left, Right, Centre } align; // Right: x is the right edge; Centre: on the page
};

struct Rectangle
{
    double x, y, width, height;
    int colour; // red in the lowest byte
};

struct Page
{
    std::vector<Rectangle> rectangles;
    std::vector<Text> texts;
    QByteArray logo;
};

// A picture with enough detail to compress to about 50 KB.
QByteArray makeLogo()
{
    QImage image(320, 240, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, (x * y) % 256, random.bounded(256)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes;
}

Page makePage()
{
    Page page;
    page.logo = makeLogo();
    auto frame = [&](double x, double y, double w, double h) {
        page.rectangles.push_back({x, y, w, h, 0});
        const double inset = h < 0 ? -1 : 1;
        page.rectangles.push_back({x + 1, y + inset, w - 2, h - 2 * inset, 0xFFFFFF});
    };
    frame(19, kHeight - 19, 249, -145);
    frame(321, kHeight - 150, 252, -120);
    frame(28, kHeight - 349, kWidth - 52, 25);
    frame(374, 59, 201, 60);
    frame(28, kHeight - 500, kWidth - 52, -3);

    auto text = [&](double x, double y, const QString &s, Text::Align align = Text::Left) {
        page.texts.push_back({x, y, s, PdfEncoding::toWinAnsi(s), align});
    };
    const QStringList hotel = {
        QStringLiteral("Hôtel des Tilleuls"),
        QStringLiteral("12, rue de la Gare"),
        QStringLiteral("Bâtiment B"),
        QStringLiteral("67000 Strasbourg"),
        QStringLiteral("France"),
        QStringLiteral("Tel : 03 88 00 00 00"),
        QStringLiteral("Fax : 03 88 00 00 01"),
        QStringLiteral("contact@tilleuls.example"),
        QStringLiteral("TVA : FR 12 345678901"),
    };
    double d = 30;
    for (const QString &line : hotel) {
        text(30, kHeight - d, line);
        d += 15;
    }
    const QStringList client = {QStringLiteral("M. et Mme Lefèvre"), QStringLiteral("3, allée des Érables"),
                                QStringLiteral("Appartement 12"), QStringLiteral("69003 Lyon")};
    d = 170;
    for (const QString &line : client) {
        text(330, kHeight - d, line);
        d += 15;
    }
    text(30, kHeight - 280, QStringLiteral("Le 08/07/2024"));
    text(30, kHeight - 295, QStringLiteral("Mode de paiement : Chèque"));
    text(30, kHeight - 310, QStringLiteral("Séjour du 01/07/2024 au 08/07/2024"));
    text(0, kHeight - 320, QStringLiteral("Facture N° 1234"), Text::Centre);
    text(30, kHeight - 340, QStringLiteral("Prestation"));
    text(kWidth - 260, kHeight - 340, QStringLiteral("Prix unitaire (HT)"), Text::Right);
    text(kWidth - 180, kHeight - 340, QStringLiteral("Taux TVA"), Text::Right);
    text(kWidth - 120, kHeight - 340, QStringLiteral("Nb"), Text::Right);
    text(kWidth - 30, kHeight - 340, QStringLiteral("Total (HT)"), Text::Right);
    const QStringList labels = {QStringLiteral("Chambre double"), QStringLiteral("Petit déjeuner"),
                                QStringLiteral("Taxe de séjour"), QStringLiteral("Parking"),
                                QStringLiteral("Demi-pension"),   QStringLiteral("Lit d'appoint")};
    d = 385;
    for (int i = 0; i < labels.size(); ++i) {
        text(30, kHeight - d, labels[i]);
        text(kWidth - 260, kHeight - d, QStringLiteral("%1.50").arg(40 + i * 7), Text::Right);
        text(kWidth - 180, kHeight - d, QStringLiteral("10"), Text::Right);
        text(kWidth - 120, kHeight - d, QString::number(i + 1), Text::Right);
        text(kWidth - 30, kHeight - d, QStringLiteral("%1.50 €").arg((40 + i * 7) * (i + 1)), Text::Right);
        d += 15;
    }
    text(30, kHeight - d, QStringLiteral("Remise générale"));
    text(kWidth - 120, kHeight - d, QStringLiteral("1"), Text::Right);
    text(kWidth - 30, kHeight - d, QStringLiteral("- 12.50 €"), Text::Right);
    text(380, 100, QStringLiteral("Total HT  : "));
    text(380, 85, QStringLiteral("Total TVA : "));
    text(380, 70, QStringLiteral("Total TTC : "));
    text(kWidth - 30, 100, QStringLiteral("1520.00 €"), Text::Right);
    text(kWidth - 30, 85, QStringLiteral("152.00 €"), Text::Right);
    text(kWidth - 30, 70, QStringLiteral("1672.00 €"), Text::Right);
    return page;
}

const Page &page()
{
    static const Page p = makePage();
    return p;
}

QByteArray writeWithKestrova(const Page &p)
{
    TPdfDoc doc;
    doc.NewDocument();
    doc.AddPage();
    TPdfCanvas *canvas = doc.GetCanvas();
    doc.AddImage(QStringLiteral("image1"), QStringLiteral("Pdf-Jpeg"), p.logo);
    canvas->DrawXObject(kWidth - 120, kHeight - 80, 90, 60, QStringLiteral("image1"));
    for (const Rectangle &r : p.rectangles) {
        canvas->SetFillRGB(r.colour);
        canvas->AddRectangle(r.x, r.y, r.width, r.height);
        canvas->FillPath();
    }
    canvas->SetFillRGB(0);
    for (const Text &t : p.texts) {
        double x = t.x;
        if (t.align == Text::Right)
            x = qRound(t.x - canvas->MeasureText(t.text));
        else if (t.align == Text::Centre)
            x = qRound((kWidth - canvas->MeasureText(t.text)) / 2);
        canvas->PlaceText(x, t.y, t.text);
    }
    canvas->SelectFont(QStringLiteral("Times-Roman"), 6);
    canvas->PlaceText(40, 50,
                      QStringLiteral("Dispensé d'immatriculation en application de l'article L123-1-1"));
    QByteArray out;
    doc.SaveToStream(out);
    return out;
}

void BM_KestrovaInvoicePage(benchmark::State &state)
{
    const Page &p = page();
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray pdf = writeWithKestrova(p);
        size = pdf.size();
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["bytes"] = double(size);
    state.counters["logo"] = double(p.logo.size());
}
BENCHMARK(BM_KestrovaInvoicePage)->Unit(benchmark::kMicrosecond);

#ifdef KESTROVA_HAVE_HPDF

void haruError(HPDF_STATUS error, HPDF_STATUS detail, void *)
{
    std::fprintf(stderr, "libHaru error %04X (%u)\n", unsigned(error), unsigned(detail));
    std::abort();
}

std::vector<HPDF_BYTE> writeWithHaru(const Page &p)
{
    HPDF_Doc pdf = HPDF_New(haruError, nullptr);
    HPDF_Page pg = HPDF_AddPage(pdf);
    HPDF_Page_SetWidth(pg, kWidth);
    HPDF_Page_SetHeight(pg, kHeight);
    HPDF_Font font = HPDF_GetFont(pdf, "Helvetica", "WinAnsiEncoding");
    HPDF_Page_SetFontAndSize(pg, font, 10);
    HPDF_Image logo = HPDF_LoadJpegImageFromMem(pdf, reinterpret_cast<const HPDF_BYTE *>(p.logo.constData()),
                                                HPDF_UINT(p.logo.size()));
    HPDF_Page_DrawImage(pg, logo, kWidth - 120, kHeight - 80, 90, 60);
    for (const Rectangle &r : p.rectangles) {
        HPDF_Page_SetRGBFill(pg, (r.colour & 0xFF) / 255.0f, ((r.colour >> 8) & 0xFF) / 255.0f,
                             ((r.colour >> 16) & 0xFF) / 255.0f);
        HPDF_Page_Rectangle(pg, r.x, r.y, r.width, r.height);
        HPDF_Page_Fill(pg);
    }
    HPDF_Page_SetRGBFill(pg, 0, 0, 0);
    for (const Text &t : p.texts) {
        double x = t.x;
        if (t.align == Text::Right)
            x = qRound(t.x - HPDF_Page_TextWidth(pg, t.winAnsi.constData()));
        else if (t.align == Text::Centre)
            x = qRound((kWidth - HPDF_Page_TextWidth(pg, t.winAnsi.constData())) / 2);
        HPDF_Page_BeginText(pg);
        HPDF_Page_TextOut(pg, x, t.y, t.winAnsi.constData());
        HPDF_Page_EndText(pg);
    }
    HPDF_Page_SetFontAndSize(pg, HPDF_GetFont(pdf, "Times-Roman", "WinAnsiEncoding"), 6);
    HPDF_Page_BeginText(pg);
    HPDF_Page_TextOut(pg, 40, 50, "Dispens\xE9 d'immatriculation en application de l'article L123-1-1");
    HPDF_Page_EndText(pg);
    HPDF_SaveToStream(pdf);
    HPDF_UINT32 size = HPDF_GetStreamSize(pdf);
    std::vector<HPDF_BYTE> out(size);
    HPDF_ReadFromStream(pdf, out.data(), &size);
    out.resize(size);
    HPDF_Free(pdf);
    return out;
}

void BM_HaruInvoicePage(benchmark::State &state)
{
    const Page &p = page();
    size_t size = 0;
    for (auto _ : state) {
        const std::vector<HPDF_BYTE> pdf = writeWithHaru(p);
        size = pdf.size();
        benchmark::DoNotOptimize(pdf.data());
    }
    state.counters["bytes"] = double(size);
    state.counters["logo"] = double(p.logo.size());
}
BENCHMARK(BM_HaruInvoicePage)->Unit(benchmark::kMicrosecond);

#endif

} // namespace

int main(int argc, char **argv)
{
    // KESTROVA_BENCH_PDF_OUT=prefix writes the benchmarked pages once, for a look.
    const QString prefix = qEnvironmentVariable("KESTROVA_BENCH_PDF_OUT");
    if (!prefix.isEmpty()) {
        QFile ours(prefix + QStringLiteral("-kestrova.pdf"));
        if (ours.open(QIODevice::WriteOnly))
            ours.write(writeWithKestrova(page()));
#ifdef KESTROVA_HAVE_HPDF
        const std::vector<HPDF_BYTE> haru = writeWithHaru(page());
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
