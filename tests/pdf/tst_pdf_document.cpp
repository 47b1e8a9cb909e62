#include "pdf/pdf_doc.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_font.h"
#include "pdf/pdf_image.h"
#include "pdf/pdf_objects.h"
#include "pdf/pdf_xref.h"

#include <QBuffer>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <functional>

using DocAction = std::function<void(TPdfDoc &)>;
Q_DECLARE_METATYPE(DocAction)

namespace {

QByteArray maskDates(QByteArray bytes)
{
    static const QRegularExpression date(QStringLiteral("D:\\d{14}"));
    return QString::fromLatin1(bytes).replace(date, QStringLiteral("D:yyyyMMddHHmmss")).toLatin1();
}

QByteArray save(TPdfDoc &doc)
{
    QByteArray out;
    doc.SaveToStream(out);
    return out;
}

QByteArray content(TPdfDoc &doc, int page = 0)
{
    return doc.Page(page)->ValueAs<TPdfStream>("Contents")->Data();
}

QByteArray jpeg(QImage::Format format, int width, int height, QColor colour)
{
    QImage image(width, height, format);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

// Just the markers a reader looks at: SOI, optional Adobe APP14, SOF0, EOI.
QByteArray craftedJpeg(int components, int precision, bool adobe)
{
    QByteArray bytes("\xFF\xD8", 2);
    if (adobe)
        bytes += QByteArray("\xFF\xEE\x00\x0E"
                            "Adobe\x00\x64\x00\x00\x00\x00\x00",
                            16);
    bytes += QByteArray("\xFF\xC0", 2);
    bytes += char(0);
    bytes += char(8 + 3 * components);
    bytes += char(precision);
    bytes += QByteArray("\x00\x10\x00\x20", 4); // 16 high, 32 wide
    bytes += char(components);
    for (int i = 1; i <= components; ++i)
        bytes += QByteArray(1, char(i)) + QByteArray("\x11\x00", 2);
    bytes += QByteArray("\xFF\xD9", 2);
    return bytes;
}

// Everything a call could change: every object, the trailer and the canvas state.
QByteArray snapshot(TPdfDoc &doc)
{
    QByteArray out;
    TPdfXref *xref = doc.Xref();
    for (int i = 1; i < xref->ItemCount(); ++i) {
        xref->GetObject(i)->WriteValueToStream(out);
        out += '\n';
    }
    doc.Trailer()->WriteValueToStream(out);
    const TPdfCanvasAttribute &a = doc.GetCanvas()->Attribute();
    out += QByteArray::number(a.FontSize()) + ' ' + QByteArray::number(a.CharSpace()) + ' ' +
           QByteArray::number(a.WordSpace()) + ' ' + QByteArray::number(a.HorizontalScaling()) + ' ' +
           QByteArray::number(a.Leading()) + ' ' + (a.Font() ? a.Font()->FontName() : QByteArray());
    return maskDates(out);
}

struct ToolResult
{
    int exitCode = -1;
    QString output;
};

ToolResult runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ToolResult result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

} // namespace

class TestPdfDocument : public QObject
{
    Q_OBJECT

private slots:
    void onePageFileHasTheExactLayout();
    void canvasOperations_data();
    void canvasOperations();
    void misuseLeavesTheDocumentUnchanged_data();
    void misuseLeavesTheDocumentUnchanged();
    void callsWithoutDocumentOrPageFail_data();
    void callsWithoutDocumentOrPageFail();
    void fontWidthsFollowWinAnsiEncoding_data();
    void fontWidthsFollowWinAnsiEncoding();
    void measureText_data();
    void measureText();
    void jpegHeaders_data();
    void jpegHeaders();
    void imageDrawnTwiceIsListedOnce();
    void eachPageKeepsItsTextState();
    void realsIgnoreFrenchLocale();
    void failedWritesAreReported();
    void readersAcceptTheDocument();
};

void TestPdfDocument::onePageFileHasTheExactLayout()
{
    TPdfDoc doc;
    doc.NewDocument();
    doc.AddPage();
    const QByteArray actual = maskDates(save(doc));

    const QByteArray date("(D:yyyyMMddHHmmss)");
    const QList<QByteArray> bodies = {
        "<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n>>",
        "<<\r\n/Producer (KestrovaPdf version 0.9)\r\n/CreationDate " + date + "\r\n/ModDate " + date +
            "\r\n>>",
        "<<\r\n/Type /Pages\r\n/Kids [4 0 R ]\r\n/Count 1\r\n>>",
        "<<\r\n/Type /Page\r\n/Parent 3 0 R\r\n/MediaBox [0 0 596 842 ]\r\n/Resources <<\r\n/Font <<\r\n"
        "/F0 6 0 R\r\n>>\r\n/XObject <<\r\n>>\r\n/ProcSet [/PDF /Text /ImageC ]\r\n>>\r\n/Contents 5 0 "
        "R\r\n>>",
        "<<\r\n/Length 10\r\n/Filter []\r\n>>\r\nstream\r\n/F0 10 Tf\n\nendstream",
        "<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/Encoding /WinAnsiEncoding\r\n/FirstChar 32\r\n"
        "/LastChar 255\r\n/BaseFont /Helvetica\r\n/Name /F0\r\n>>",
    };
    QByteArray expected("%PDF-1.2 \r\n");
    QList<qsizetype> offsets;
    for (int i = 0; i < bodies.size(); ++i) {
        offsets.append(expected.size());
        expected += QByteArray::number(i + 1) + " 0 obj\r\n" + bodies[i] + "\r\nendobj\r\n";
    }
    const qsizetype xref = expected.size();
    expected += "xref\r\n0 7\r\n0000000000 65535 f\r\n";
    for (const qsizetype offset : offsets)
        expected += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n\r\n";
    expected += "trailer\r\n<<\r\n/Size 7\r\n/Root 1 0 R\r\n/Info 2 0 R\r\n>>\r\nstartxref\r\n" +
                QByteArray::number(xref) + "\r\n%%EOF\r\n";
    QCOMPARE(actual, expected);
}

void TestPdfDocument::canvasOperations_data()
{
    QTest::addColumn<DocAction>("action");
    QTest::addColumn<QByteArray>("appended");
    auto canvas = [](TPdfDoc &doc) { return doc.GetCanvas(); };
    QTest::newRow("empty text still writes four lines")
        << DocAction([=](TPdfDoc &d) { canvas(d)->PlaceText(30, 800, QString()); })
        << QByteArray("BT\n30 800 Td\n() Tj\nET\n");
    QTest::newRow("escapes and accents as WinAnsi bytes")
        << DocAction([=](TPdfDoc &d) { canvas(d)->PlaceText(12.5, 0.333, QStringLiteral("(a\\b) é €")); })
        << QByteArray("BT\n12.5 0.33 Td\n(\\(a\\\\b\\) \xE9 \x80) Tj\nET\n");
    QTest::newRow("decomposed accent and tab drawn as composed and blank")
        << DocAction([=](TPdfDoc &d) { canvas(d)->PlaceText(1, 2, QStringLiteral("Ce\u0301line\tB")); })
        << QByteArray("BT\n1 2 Td\n(C\xE9line B) Tj\nET\n");
    QTest::newRow("current font at current size appends nothing")
        << DocAction([=](TPdfDoc &d) { canvas(d)->SelectFont(QStringLiteral("Arial"), 10); }) << QByteArray();
    QTest::newRow("current font at another size")
        << DocAction([=](TPdfDoc &d) { canvas(d)->SelectFont(QStringLiteral("Arial"), 12); })
        << QByteArray("/F0 12 Tf\n");
    QTest::newRow("another font gets the next resource name")
        << DocAction([=](TPdfDoc &d) { canvas(d)->SelectFont(QStringLiteral("Times-Roman"), 6); })
        << QByteArray("/F1 6 Tf\n");
    QTest::newRow("rectangle running downward")
        << DocAction([=](TPdfDoc &d) { canvas(d)->AddRectangle(19, 823, 249, -130); })
        << QByteArray("19 823 249 -130 re\n");
    QTest::newRow("fill") << DocAction([=](TPdfDoc &d) { canvas(d)->FillPath(); }) << QByteArray("f\n");
    QTest::newRow("white") << DocAction([=](TPdfDoc &d) { canvas(d)->SetFillRGB(0xFFFFFF); })
                           << QByteArray("1 1 1 rg\n");
    QTest::newRow("red is the lowest byte")
        << DocAction([=](TPdfDoc &d) { canvas(d)->SetFillRGB(0x0080FF); }) << QByteArray("1 0.5 0 rg\n");
    QTest::newRow("negative colour is black")
        << DocAction([=](TPdfDoc &d) { canvas(d)->SetFillRGB(-1); }) << QByteArray("0 0 0 rg\n");
    QTest::newRow("image") << DocAction([=](TPdfDoc &d) {
        canvas(d)->DrawXObject(476, 762, 90, 45.5, QStringLiteral("image1"));
    }) << QByteArray("q\n90 0 0 45.5 476 762 cm\n/image1 Do\nQ\n");
    QTest::newRow("character spacing is drawn as measured")
        << DocAction([=](TPdfDoc &d) { canvas(d)->SetCharSpace(1.5); }) << QByteArray("1.5 Tc\n");
}

void TestPdfDocument::canvasOperations()
{
    QFETCH(DocAction, action);
    QFETCH(QByteArray, appended);
    TPdfDoc doc;
    doc.NewDocument();
    doc.AddPage();
    doc.AddImage(QStringLiteral("image1"), QStringLiteral("Pdf-Jpeg"),
                 jpeg(QImage::Format_RGB32, 8, 4, Qt::red));
    const QByteArray before = content(doc);
    QCOMPARE(before, QByteArray("/F0 10 Tf\n"));
    action(doc);
    QCOMPARE(content(doc), before + appended);
}

void TestPdfDocument::misuseLeavesTheDocumentUnchanged_data()
{
    QTest::addColumn<DocAction>("action");
    QTest::addColumn<QString>("message");
    const QByteArray logo = jpeg(QImage::Format_RGB32, 8, 4, Qt::red);
    QTest::newRow("unknown font") << DocAction([](TPdfDoc &d) {
        d.GetCanvas()->SelectFont(QStringLiteral("Comic"), 10);
    }) << QStringLiteral("CreateFont --InvalidFontName:Comic");
    QTest::newRow("font size out of range")
        << DocAction([](TPdfDoc &d) { d.GetCanvas()->SelectFont(QStringLiteral("Times-Bold"), 301); })
        << QStringLiteral("SetCharSpace --invalid font size");
    QTest::newRow("word space") << DocAction([](TPdfDoc &d) { d.GetCanvas()->SetWordSpace(-1); })
                                << QStringLiteral("SetWordSpace --invalid word space");
    QTest::newRow("char space") << DocAction([](TPdfDoc &d) { d.GetCanvas()->SetCharSpace(-31); })
                                << QStringLiteral("SetCharSpace --invalid char space");
    QTest::newRow("scaling") << DocAction([](TPdfDoc &d) { d.GetCanvas()->SetHorizontalScaling(9); })
                             << QStringLiteral("SetHorizontalScaling --invalid font size");
    QTest::newRow("leading") << DocAction([](TPdfDoc &d) { d.GetCanvas()->SetLeading(qQNaN()); })
                             << QStringLiteral("SetLeading --invalid font size");
    QTest::newRow("image not registered")
        << DocAction([](TPdfDoc &d) { d.GetCanvas()->DrawXObject(0, 0, 10, 10, QStringLiteral("logo")); })
        << QStringLiteral("DrawXObject --XObject not found: logo");
    QTest::newRow("image name taken") << DocAction([=](TPdfDoc &d) {
        d.AddImage(QStringLiteral("image1"), QStringLiteral("Pdf-Jpeg"), logo);
    }) << QStringLiteral("AddImage --the image named image1 is already exists..");
    QTest::newRow("stream that is no image")
        << DocAction([](TPdfDoc &d) { d.AddImage(QStringLiteral("image2"), std::make_unique<TPdfStream>()); })
        << QStringLiteral("AddImage --the image is not valid TPdfImage..");
    QTest::newRow("unknown image kind") << DocAction([=](TPdfDoc &d) {
        d.AddImage(QStringLiteral("image2"), QStringLiteral("Pdf-Bitmap"), logo);
    }) << QStringLiteral("AddImage --InvalidImageClassName:Pdf-Bitmap");
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(4, 4, QImage::Format_RGB32).save(&buffer, "PNG");
    const QList<std::pair<const char *, QByteArray>> notJpeg = {
        {"png picture", png},
        {"empty file", QByteArray()},
        {"truncated jpeg", logo.left(24)},
        {"12-bit jpeg", craftedJpeg(3, 12, false)},
        {"two components", craftedJpeg(2, 8, false)},
    };
    for (const auto &[row, bytes] : notJpeg) {
        QTest::newRow(row) << DocAction([=](TPdfDoc &d) {
            d.AddImage(QStringLiteral("image2"), QStringLiteral("Pdf-Jpeg"), bytes);
        }) << QStringLiteral("only jpeg image is allowed.");
    }
    QTest::newRow("reference made indirect") << DocAction([](TPdfDoc &d) {
        d.Xref()->AddObject(std::make_unique<TPdfVirtualObject>(d.Catalog()));
    }) << QStringLiteral("AddObject --wrong object type.");
}

void TestPdfDocument::misuseLeavesTheDocumentUnchanged()
{
    QFETCH(DocAction, action);
    QFETCH(QString, message);
    TPdfDoc doc;
    doc.NewDocument();
    doc.AddPage();
    doc.GetCanvas()->SelectFont(QStringLiteral("Times-Roman"), 11);
    doc.AddImage(QStringLiteral("image1"), QStringLiteral("Pdf-Jpeg"),
                 jpeg(QImage::Format_RGB32, 8, 4, Qt::red));
    const QByteArray before = snapshot(doc);
    try {
        action(doc);
        QFAIL("no error");
    } catch (const PdfError &e) {
        QCOMPARE(e.text(), message);
    }
    QCOMPARE(snapshot(doc), before);
}

void TestPdfDocument::callsWithoutDocumentOrPageFail_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<DocAction>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("add page") << false << DocAction([](TPdfDoc &d) { d.AddPage(); })
                              << QStringLiteral("AddPage --current pages null.");
    QTest::newRow("canvas") << false << DocAction([](TPdfDoc &d) { d.GetCanvas(); })
                            << QStringLiteral("GetCanvas --Document is null");
    QTest::newRow("font") << false << DocAction([](TPdfDoc &d) { d.GetFont(QStringLiteral("Arial")); })
                          << QStringLiteral("GetFont --document is null.");
    QTest::newRow("save without document") << false << DocAction([](TPdfDoc &d) { save(d); })
                                           << QStringLiteral("SaveToStream --there is no document to save.");
    QTest::newRow("save without page") << true << DocAction([](TPdfDoc &d) { save(d); })
                                       << QStringLiteral("SaveToStream --there is no document to save.");
    QTest::newRow("page width without page")
        << true << DocAction([](TPdfDoc &d) { d.GetCanvas()->GetPageWidth(); })
        << QStringLiteral("GetPage --the Page is nil");
}

void TestPdfDocument::callsWithoutDocumentOrPageFail()
{
    QFETCH(bool, open);
    QFETCH(DocAction, action);
    QFETCH(QString, message);
    TPdfDoc doc;
    if (open)
        doc.NewDocument();
    try {
        action(doc);
        QFAIL("no error");
    } catch (const PdfError &e) {
        QCOMPARE(e.text(), message);
    }
    QCOMPARE(doc.HasDoc(), open);
    QCOMPARE(doc.PageCount(), 0);
}

void TestPdfDocument::fontWidthsFollowWinAnsiEncoding_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QByteArray>("baseFont");
    QTest::addColumn<QByteArray>("codes");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("Arial") << QStringLiteral("Arial") << QByteArray("Helvetica") << QByteArray(" !\"#$%&'")
                           << QList<int>{278, 278, 355, 556, 556, 889, 667, 191};
    // 39 is the straight quote, 146 the typographic one; 127 and 129 show a bullet.
    QTest::newRow("Arial upper half")
        << QStringLiteral("Arial") << QByteArray("Helvetica") << QByteArray("\x92\x80\xE9\x7F\x81\xA0")
        << QList<int>{222, 556, 556, 350, 350, 278};
    QTest::newRow("Arial-Bold") << QStringLiteral("Arial-Bold") << QByteArray("Helvetica-Bold")
                                << QByteArray("W'i") << QList<int>{944, 238, 278};
    QTest::newRow("FixedWidth-BoldItalic")
        << QStringLiteral("FixedWidth-BoldItalic") << QByteArray("Courier-BoldOblique")
        << QByteArray("iW\xE9") << QList<int>{600, 600, 600};
    QTest::newRow("Times-Roman") << QStringLiteral("Times-Roman") << QByteArray("Times-Roman")
                                 << QByteArray("W'\xE9") << QList<int>{944, 180, 444};
    QTest::newRow("Times-Italic") << QStringLiteral("Times-Italic") << QByteArray("Times-Italic")
                                  << QByteArray("A") << QList<int>{611};
    QTest::newRow("Times-BoldItalic") << QStringLiteral("Times-BoldItalic") << QByteArray("Times-BoldItalic")
                                      << QByteArray("A") << QList<int>{667};
}

void TestPdfDocument::fontWidthsFollowWinAnsiEncoding()
{
    QFETCH(QString, font);
    QFETCH(QByteArray, baseFont);
    QFETCH(QByteArray, codes);
    QFETCH(QList<int>, widths);
    TPdfFont pdfFont(font, 0);
    QCOMPARE(pdfFont.BaseFont(), baseFont);
    QList<int> actual;
    for (const char c : codes)
        actual.append(pdfFont.CharWidth(uchar(c)));
    QCOMPARE(actual, widths);
    QCOMPARE(pdfFont.CharWidth('\t'), 0);
    QCOMPARE(pdfFont.ValueAs<TPdfArray>("Widths")->ItemCount(), 224);
}

void TestPdfDocument::measureText_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("charSpace");
    QTest::addColumn<double>("wordSpace");
    QTest::addColumn<double>("scaling");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("width");
    QTest::newRow("Helvetica") << QStringLiteral("Arial") << 10.0 << 0.0 << 0.0 << 100.0
                               << QStringLiteral("Hello") << 22.78f;
    QTest::newRow("accent and euro") << QStringLiteral("Arial") << 10.0 << 0.0 << 0.0 << 100.0
                                     << QStringLiteral("é€") << 11.12f;
    QTest::newRow("empty") << QStringLiteral("Arial") << 10.0 << 0.0 << 0.0 << 100.0 << QString() << 0.0f;
    QTest::newRow("char spacing between glyphs only")
        << QStringLiteral("FixedWidth") << 10.0 << 1.0 << 0.0 << 100.0 << QStringLiteral("ab") << 13.0f;
    QTest::newRow("control characters measure as blanks")
        << QStringLiteral("FixedWidth") << 10.0 << 1.0 << 0.0 << 100.0 << QStringLiteral("a\tb") << 20.0f;
    QTest::newRow("decomposed accents measure as composed")
        << QStringLiteral("Arial") << 10.0 << 0.0 << 0.0 << 100.0 << QStringLiteral("e\u0301te\u0301")
        << 13.9f;
    QTest::newRow("word spacing except on a last blank")
        << QStringLiteral("FixedWidth") << 10.0 << 0.0 << 2.0 << 100.0 << QStringLiteral("a b ") << 26.0f;
    QTest::newRow("horizontal scaling")
        << QStringLiteral("FixedWidth") << 10.0 << 0.0 << 0.0 << 50.0 << QStringLiteral("abc") << 9.0f;
}

void TestPdfDocument::measureText()
{
    QFETCH(QString, font);
    QFETCH(double, size);
    QFETCH(double, charSpace);
    QFETCH(double, wordSpace);
    QFETCH(double, scaling);
    QFETCH(QString, text);
    QFETCH(float, width);
    TPdfDoc doc;
    doc.NewDocument();
    doc.AddPage();
    TPdfCanvas *canvas = doc.GetCanvas();
    canvas->SelectFont(font, size);
    canvas->SetCharSpace(charSpace);
    canvas->SetWordSpace(wordSpace);
    canvas->SetHorizontalScaling(scaling);
    QCOMPARE(canvas->MeasureText(text), width);
}

void TestPdfDocument::jpegHeaders_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QByteArray>("colorSpace");
    QTest::addColumn<bool>("inverted");
    QTest::newRow("colour") << jpeg(QImage::Format_RGB32, 40, 30, Qt::blue) << 40 << 30
                            << QByteArray("DeviceRGB") << false;
    QTest::newRow("grey") << jpeg(QImage::Format_Grayscale8, 17, 5, Qt::gray) << 17 << 5
                          << QByteArray("DeviceGray") << false;
    QTest::newRow("cmyk") << craftedJpeg(4, 8, false) << 32 << 16 << QByteArray("DeviceCMYK") << false;
    QTest::newRow("adobe cmyk is inverted")
        << craftedJpeg(4, 8, true) << 32 << 16 << QByteArray("DeviceCMYK") << true;
}

void TestPdfDocument::jpegHeaders()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QByteArray, colorSpace);
    QFETCH(bool, inverted);
    TPdfDoc doc;
    doc.NewDocument();
    TPdfImage *image = doc.AddImage(QStringLiteral("image1"), QStringLiteral("Pdf-Jpeg"), bytes);
    QCOMPARE(image->Width(), width);
    QCOMPARE(image->Height(), height);
    QCOMPARE(image->Data(), bytes);
    QByteArray written;
    image->WriteValueToStream(written);
    const QByteArray dictionary = written.left(written.indexOf("\r\nstream\r\n"));
    const QByteArray decode = inverted ? "/Decode [1 0 1 0 1 0 1 0 ]\r\n" : "";
    QCOMPARE(dictionary,
             "<<\r\n/Length " + QByteArray::number(bytes.size()) +
                 "\r\n/Filter [/DCTDecode ]\r\n/Type /XObject\r\n/Subtype /Image\r\n/ColorSpace /" +
                 colorSpace + "\r\n/Width " + QByteArray::number(width) + "\r\n/Height " +
                 QByteArray::number(height) + "\r\n/BitsPerComponent 8\r\n" + decode + "/Name /image1\r\n>>");
}

void TestPdfDocument::imageDrawnTwiceIsListedOnce()
{
    TPdfDoc doc;
    doc.NewDocument();
    doc.AddPage();
    TPdfImage *image = doc.AddImage(QStringLiteral("image1"), QStringLiteral("Pdf-Jpeg"),
                                    jpeg(QImage::Format_RGB32, 8, 4, Qt::red));
    QCOMPARE(image->ObjectNumber(), 7);
    doc.GetCanvas()->DrawXObject(0, 0, 10, 5, QStringLiteral("image1"));
    doc.GetCanvas()->DrawXObject(20, 0, 10, 5, QStringLiteral("image1"));
    const QByteArray pdf = save(doc);
    QVERIFY(pdf.contains("/XObject <<\r\n/image1 7 0 R\r\n>>"));
    QCOMPARE(pdf.count("/image1 Do"), 2);
    QCOMPARE(pdf.count("7 0 obj"), 1);
}

void TestPdfDocument::eachPageKeepsItsTextState()
{
    TPdfDoc doc;
    doc.NewDocument();
    TPdfDictionary *first = doc.AddPage();
    TPdfCanvas *canvas = doc.GetCanvas();
    canvas->SelectFont(QStringLiteral("Times-Bold"), 14);
    canvas->SetCharSpace(2);

    doc.AddPage();
    QCOMPARE(content(doc, 1), QByteArray("/F0 10 Tf\n"));
    QCOMPARE(canvas->Attribute().Font()->RegisteredName(), QStringLiteral("Arial"));
    QCOMPARE(canvas->Attribute().CharSpace(), 0.0);

    canvas->SetPage(first);
    QCOMPARE(canvas->Attribute().Font()->RegisteredName(), QStringLiteral("Times-Bold"));
    QCOMPARE(canvas->Attribute().FontSize(), 14.0);
    QCOMPARE(canvas->Attribute().CharSpace(), 2.0);
    const QByteArray before = content(doc, 0);
    canvas->SelectFont(QStringLiteral("Times-Bold"), 14);
    QCOMPARE(content(doc, 0), before);

    const QByteArray pdf = save(doc);
    QVERIFY(!pdf.contains("_Font"));
    QVERIFY(!pdf.contains("Widths"));
    QVERIFY(pdf.contains("/Kids [4 0 R 8 0 R ]\r\n/Count 2"));
}

void TestPdfDocument::realsIgnoreFrenchLocale()
{
    const QLocale previous;
    const std::string previousNumeric = std::setlocale(LC_NUMERIC, nullptr);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    bool systemFrench = false;
    for (const char *name : {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"})
        systemFrench = systemFrench || std::setlocale(LC_NUMERIC, name) != nullptr;

    TPdfDoc doc;
    doc.NewDocument();
    doc.AddPage();
    doc.GetCanvas()->AddRectangle(12.5, 20.25, 100, -0.5);
    const QByteArray rectangle = content(doc).mid(10);

    std::setlocale(LC_NUMERIC, previousNumeric.c_str());
    QLocale::setDefault(previous);
    QCOMPARE(rectangle, QByteArray("12.5 20.25 100 -0.5 re\n"));
    if (!systemFrench)
        qInfo("no French C locale installed: checked under the French QLocale only");
}

void TestPdfDocument::failedWritesAreReported()
{
    TPdfDoc doc;
    doc.NewDocument();
    doc.AddPage();
    QByteArray bytes;
    QBuffer readOnly(&bytes);
    readOnly.open(QIODevice::ReadOnly);
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
    QVERIFY_THROWS_EXCEPTION(KestrovaError, doc.SaveToStream(readOnly));

    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(KestrovaError,
                             doc.SaveToFile(dir.filePath(QStringLiteral("absent/facture.pdf"))));
    const QString path = dir.filePath(QStringLiteral("facture.pdf"));
    doc.SaveToFile(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(maskDates(file.readAll()), maskDates(save(doc)));
}

void TestPdfDocument::readersAcceptTheDocument()
{
    for (const char *tool : {"qpdf", "pdftotext", "pdfinfo", "pdftoppm"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QSKIP("PDF reading tools are not installed");
    }
    TPdfDoc doc;
    doc.NewDocument();
    doc.AddPage();
    TPdfCanvas *canvas = doc.GetCanvas();
    const double h = canvas->GetPageHeight();
    QCOMPARE(canvas->GetPageWidth(), 596.0);
    QCOMPARE(h, 842.0);
    // Frame: black rectangle, then a white one a point smaller on each side.
    canvas->AddRectangle(19, h - 19, 249, -100);
    canvas->FillPath();
    canvas->SetFillRGB(0xFFFFFF);
    canvas->AddRectangle(20, h - 20, 247, -98);
    canvas->FillPath();
    canvas->SetFillRGB(0);
    canvas->PlaceText(30, h - 30, QStringLiteral("Hôtel (Les Pins) \\ Nice"));
    canvas->PlaceText(30, h - 45, QStringLiteral("Séjour du 01/07/2024"));
    canvas->PlaceText(30, h - 60, QString());
    const QString total = QStringLiteral("Total : 12.50 €");
    canvas->SelectFont(QStringLiteral("Times-Roman"), 12);
    canvas->PlaceText(qRound(566 - canvas->MeasureText(total)), 100, total);
    canvas->SetFillRGB(0x0000FF);
    canvas->AddRectangle(400, 400, 100, 50);
    canvas->FillPath();
    doc.AddImage(QStringLiteral("image1"), QStringLiteral("Pdf-Jpeg"),
                 jpeg(QImage::Format_RGB32, 64, 32, Qt::blue));
    canvas->DrawXObject(50, 300, 128, 64, QStringLiteral("image1"));
    canvas->DrawXObject(250, 300, 64, 32, QStringLiteral("image1"));
    doc.AddPage();
    canvas->PlaceText(30, 800, QStringLiteral("Page deux : fin"));
    // A name pasted in decomposed form reads back composed, and takes the
    // width of its composed form.
    const QString decomposed = QStringLiteral("Ce\u0301line Bouche\u0300re");
    QCOMPARE(canvas->MeasureText(decomposed), canvas->MeasureText(QStringLiteral("Céline Bouchère")));
    canvas->PlaceText(30, 780, decomposed);
    doc.Info()->AddTextItem("Title", QStringLiteral("Facture N° 5 – 12 €"));
    doc.Info()->AddTextItem("Subject", QStringLiteral("Séjour\u00A0n°\u00A05"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("facture.pdf"));
    doc.SaveToFile(path);
    // For a look at the page with a viewer.
    if (qEnvironmentVariableIsSet("KESTROVA_KEEP_PDF")) {
        QFile::remove(qEnvironmentVariable("KESTROVA_KEEP_PDF"));
        QFile::copy(path, qEnvironmentVariable("KESTROVA_KEEP_PDF"));
    }

    const ToolResult check = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
    QVERIFY2(check.exitCode == 0, qPrintable(check.output));
    QVERIFY2(!check.output.contains(QStringLiteral("WARNING"), Qt::CaseInsensitive),
             qPrintable(check.output));

    const ToolResult text =
        runTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    QCOMPARE(text.exitCode, 0);
    for (const QString &expected :
         {QStringLiteral("Hôtel (Les Pins) \\ Nice"), QStringLiteral("Séjour du 01/07/2024"), total,
          QStringLiteral("Page deux : fin"), QStringLiteral("Céline Bouchère")})
        QVERIFY2(text.output.contains(expected), qPrintable(text.output));

    const ToolResult info = runTool(QStringLiteral("pdfinfo"), {path});
    QCOMPARE(info.exitCode, 0);
    QVERIFY2(info.output.contains(QRegularExpression(QStringLiteral("Producer: +KestrovaPdf version 0.9"))),
             qPrintable(info.output));
    QVERIFY2(info.output.contains(QRegularExpression(QStringLiteral("Pages: +2\\n"))),
             qPrintable(info.output));
    QVERIFY2(info.output.contains(QRegularExpression(QStringLiteral("Title: +Facture N° 5 – 12 €\\n"))),
             qPrintable(info.output));
    QVERIFY2(info.output.contains(QRegularExpression(QStringLiteral("Subject: +Séjour\u00A0n°\u00A05\n"))),
             qPrintable(info.output));
    QVERIFY2(info.output.contains(QRegularExpression(QStringLiteral("Page size: +596 x 842 pts"))),
             qPrintable(info.output));
    QVERIFY2(info.output.contains(QRegularExpression(QStringLiteral("PDF version: +1.2"))),
             qPrintable(info.output));

    // At 144 dpi a point is two pixels; rows count down from the top of the page.
    const ToolResult render =
        runTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("144"), QStringLiteral("-f"), QStringLiteral("1"),
                 QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), path, dir.filePath(QStringLiteral("page"))});
    QCOMPARE(render.exitCode, 0);
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    QCOMPARE(page.size(), QSize(2 * 596, 2 * 842));
    auto at = [&](double x, double y) { return page.pixelColor(int(2 * x), int(2 * (842 - y))); };
    QCOMPARE(at(450, 425), QColor(Qt::red));
    QCOMPARE(at(250, 732), QColor(Qt::white));
    QCOMPARE(at(19.5, 782), QColor(Qt::black));
    QCOMPARE(at(20.5, 782), QColor(Qt::white));
    QCOMPARE(at(267.5, 782), QColor(Qt::black));
    QCOMPARE(at(300, 782), QColor(Qt::white));
    for (const QColor &c : {at(114, 332), at(282, 316)}) {
        QVERIFY2(c.blue() > 200 && c.red() < 60 && c.green() < 60, qPrintable(c.name()));
    }
}

QTEST_GUILESS_MAIN(TestPdfDocument)
#include "tst_pdf_document.moc"
