// The writer's archive mode (PDF/A): the free fonts that stand in for the
// standard ones keep the layout, their subsets keep the glyphs drawn, and the
// text reads back exactly.

#include "pdf/pdf_canvas.h"
#include "pdf/pdf_doc.h"
#include "pdf/pdf_encoding.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_font.h"
#include "pdf/pdf_truetype.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kFonts = QStringLiteral("/usr/share/fonts/truetype/liberation2");

PdfAProfile profile()
{
    PdfAProfile p;
    p.title = QStringLiteral("Facture N° 7");
    QFile icc(QStringLiteral("/usr/share/color/icc/sRGB.icc"));
    if (icc.open(QIODevice::ReadOnly))
        p.iccProfile = icc.readAll();
    p.fontDirectories = {kFonts};
    return p;
}

} // namespace

class TestPdfEmbedded : public QObject
{
    Q_OBJECT

private slots:
    // Right-aligned amounts land where they did with the standard fonts: every
    // WinAnsi width is the standard one but those of ¯ ± µ · ÷.
    void widthsAreTheStandardOnes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Arial") << QStringLiteral("Arial");
        QTest::newRow("Times-Roman") << QStringLiteral("Times-Roman");
        QTest::newRow("FixedWidth") << QStringLiteral("FixedWidth");
    }
    void widthsAreTheStandardOnes()
    {
        QFETCH(QString, name);
        const auto font = TrueTypeFont::load(kFonts + QLatin1Char('/') + TPdfFont::EmbeddedFileName(name));
        const PdfFontMetrics *standard = TPdfFont::FindMetrics(name);
        QStringList differ;
        for (int code = 32; code < 256; ++code) {
            const char16_t u = PdfEncoding::winAnsiUnicode(uchar(code));
            if (u && font->width1000(u) != standard->widths[code - 32])
                differ << QString(QChar(u));
        }
        QVERIFY2(differ.size() <= 5 && QStringLiteral("¯±µ·÷").contains(differ.join(QString())), qPrintable(differ.join(' ')));
    }

    // A subset draws the characters asked for with the full font's glyphs and
    // advances, and nothing else.
    void subsetKeepsTheGlyphsDrawn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("accents") << QStringLiteral("Hôtel de l'Étang, séjour à Noël");
        QTest::newRow("symbols") << QStringLiteral("45,09 € – « œuvre » (10 %)");
        QTest::newRow("one letter") << QStringLiteral("x");
    }
    void subsetKeepsTheGlyphsDrawn()
    {
        QFETCH(QString, text);
        const auto full = TrueTypeFont::load(kFonts + QStringLiteral("/LiberationSans-Regular.ttf"));
        QList<char32_t> chars;
        for (const QChar c : text)
            chars << c.unicode();
        const TrueTypeFont subset(full->subset(chars));
        for (const char32_t c : chars) {
            QCOMPARE(subset.glyph(c), full->glyph(c));
            QCOMPARE(subset.advance(subset.glyph(c)), full->advance(full->glyph(c)));
        }
        QCOMPARE(subset.glyph(U'Z'), quint16(0));
        QVERIFY(subset.glyphCount() <= full->glyphCount());
    }

    // Every font is embedded, the text extracts as drawn, and a document of
    // the plain mode afterwards is the PDF 1.2 of old.
    void documentReadsBack()
    {
        TPdfDoc doc;
        doc.SetPdfA(profile());
        doc.NewDocument();
        doc.AddPage();
        const QString text = QStringLiteral("Dîner « l'Écume » : 45.09 €");
        doc.GetCanvas()->PlaceText(30, 800, text);
        doc.GetCanvas()->SelectFont(QStringLiteral("Times-Roman"), 6);
        doc.GetCanvas()->PlaceText(30, 50, QStringLiteral("Dispensé d'immatriculation"));
        doc.AttachFile(QStringLiteral("factur-x.xml"), "text/xml", "<a/>", "Data", QStringLiteral("données"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.pdf"));
        doc.SaveToFile(path);

        QProcess fonts;
        fonts.start(QStringLiteral("pdffonts"), {path});
        QVERIFY(fonts.waitForFinished(30000));
        const QStringList rows = QString::fromUtf8(fonts.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).mid(2);
        QCOMPARE(rows.size(), 2);
        for (const QString &row : rows)
            QVERIFY2(row.contains(QStringLiteral(" yes yes yes ")), qPrintable(row));
        QProcess extract;
        extract.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        QVERIFY(extract.waitForFinished(30000));
        const QString out = QString::fromUtf8(extract.readAllStandardOutput());
        QVERIFY2(out.contains(text) && out.contains(QStringLiteral("Dispensé d'immatriculation")), qPrintable(out));

        doc.SetPdfA(std::nullopt);
        doc.NewDocument();
        doc.AddPage();
        QByteArray plain;
        doc.SaveToStream(plain);
        QVERIFY(plain.startsWith("%PDF-1.2 \r\n"));
        QVERIFY(!plain.contains("/FontFile2") && !plain.contains("/OutputIntents"));
    }

    void missingFontFileIsNamed()
    {
        PdfAProfile p = profile();
        p.fontDirectories = {QStringLiteral("/nonexistent")};
        TPdfDoc doc;
        doc.SetPdfA(p);
        doc.NewDocument();
        try {
            doc.AddPage();
            QFAIL("no error");
        } catch (const PdfError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("LiberationSans-Regular.ttf")), qPrintable(e.text()));
        }
    }
};

QTEST_MAIN(TestPdfEmbedded)
#include "tst_pdf_embedded.moc"
