#include "pdf/pdf_encoding.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_objects.h"
#include "pdf/pdf_xref.h"

#include <QTest>

#include <limits>

namespace {

QByteArray written(const TPdfObject &object)
{
    QByteArray out;
    object.WriteToStream(out);
    return out;
}

} // namespace

class TestPdfObjects : public QObject
{
    Q_OBJECT

private slots:
    void reals_data();
    void reals();
    void names_data();
    void names();
    void literalStrings_data();
    void literalStrings();
    void winAnsiBytes_data();
    void winAnsiBytes();
    void textObjectsOutsideLatin1AreHexUtf16_data();
    void textObjectsOutsideLatin1AreHexUtf16();
    void pageTextIsComposedWithoutControls_data();
    void pageTextIsComposedWithoutControls();
    void dateIsLocalTimeInFourteenDigits();
    void arraysIgnoreObjectsAlreadyInThem();
    void dictionaryReplacesKeysAndHidesBookkeeping();
    void streamWritesItsLengthAndBytes();
    void xrefNumbersFromOneAndRefusesReferences();
};

void TestPdfObjects::reals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("integer") << 10.0 << QByteArray("10");
    QTest::newRow("half up at the second decimal") << 12.345 << QByteArray("12.35");
    QTest::newRow("third decimal dropped") << 0.333 << QByteArray("0.33");
    QTest::newRow("one decimal") << 12.5 << QByteArray("12.5");
    QTest::newRow("trailing zero dropped") << 1.10 << QByteArray("1.1");
    QTest::newRow("colour byte 128") << 128 / 255.0 << QByteArray("0.5");
    QTest::newRow("zero") << 0.0 << QByteArray("0");
    // Heights run downward with negative values: they must come out exact.
    QTest::newRow("negative integer") << -120.0 << QByteArray("-120");
    QTest::newRow("negative fraction") << -0.3 << QByteArray("-0.3");
    QTest::newRow("negative rounds away from zero") << -1.005 << QByteArray("-1.01");
    QTest::newRow("negative rounding to zero has no sign") << -0.004 << QByteArray("0");
    QTest::newRow("large without exponent") << 12345678.0 << QByteArray("12345678");
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << QByteArray("0");
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << QByteArray("0");
}

void TestPdfObjects::reals()
{
    QFETCH(double, value);
    QFETCH(QByteArray, expected);
    QByteArray out;
    PdfEncoding::appendReal(out, value);
    QCOMPARE(out, expected);
    QCOMPARE(written(TPdfReal(value)), expected);
}

void TestPdfObjects::names_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("plain") << QByteArray("DCTDecode") << QByteArray("/DCTDecode");
    QTest::newRow("blank and control") << QByteArray("A B\n") << QByteArray("/A#20B#0A");
    QTest::newRow("delimiters") << QByteArray("#%()/<>[]{}")
                                << QByteArray("/#23#25#28#29#2F#3C#3E#5B#5D#7B#7D");
    QTest::newRow("ends of the printable range") << QByteArray("!~") << QByteArray("/!~");
    QTest::newRow("bytes above tilde") << QByteArray("\x7F\xE9") << QByteArray("/#7F#E9");
    QTest::newRow("empty") << QByteArray() << QByteArray("/");
}

void TestPdfObjects::names()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    QCOMPARE(written(TPdfName(name)), expected);
}

void TestPdfObjects::literalStrings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty") << QString() << QByteArray("()");
    QTest::newRow("parentheses and backslash") << QStringLiteral("(a\\b)") << QByteArray("(\\(a\\\\b\\))");
    QTest::newRow("line controls") << QStringLiteral("\r\n\t\b\f") << QByteArray("(\\r\\n\\t\\b\\f)");
    QTest::newRow("accented letter as one byte") << QStringLiteral("Séjour") << QByteArray("(S\xE9jour)");
    QTest::newRow("euro as one byte") << QStringLiteral("12.50 €") << QByteArray("(12.50 \x80)");
}

void TestPdfObjects::literalStrings()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QByteArray out;
    PdfEncoding::appendLiteral(out, PdfEncoding::toWinAnsi(text));
    QCOMPARE(out, expected);
}

void TestPdfObjects::winAnsiBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ascii") << QStringLiteral("Nb 3") << QByteArray("Nb 3");
    QTest::newRow("latin letters") << QStringLiteral("éàçÿ") << QByteArray("\xE9\xE0\xE7\xFF");
    QTest::newRow("code page extras") << QStringLiteral("€œ’…") << QByteArray("\x80\x9C\x92\x85");
    QTest::newRow("narrow no-break space") << QStringLiteral("1\u202F234")
                                           << QByteArray("1\xA0"
                                                         "234");
    QTest::newRow("C1 control is not a character") << QStringLiteral("a\u0085") << QByteArray("a?");
    QTest::newRow("outside the code page") << QStringLiteral("東京") << QByteArray("??");
    QTest::newRow("surrogate pair is one character") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
}

void TestPdfObjects::winAnsiBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(PdfEncoding::toWinAnsi(text), expected);
}

void TestPdfObjects::textObjectsOutsideLatin1AreHexUtf16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("latin-1 as a literal") << QStringLiteral("Hôtel (Nice)") << QByteArray("(H\xF4tel \\(Nice\\))");
    QTest::newRow("euro") << QStringLiteral("5 €") << QByteArray("<FEFF0035002020AC>");
    // Bytes A0 and 18..1F mean "€" and accents in the document encoding.
    QTest::newRow("no-break space") << QStringLiteral("5\u00A0kg") << QByteArray("<FEFF003500A0006B0067>");
    QTest::newRow("code 1F") << QStringLiteral("a\u001Fb") << QByteArray("<FEFF0061001F0062>");
    QTest::newRow("decomposed accent composed") << QStringLiteral("Ce\u0301line") << QByteArray("(C\xE9line)");
}

void TestPdfObjects::textObjectsOutsideLatin1AreHexUtf16()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(written(TPdfText(text)), expected);
}

void TestPdfObjects::pageTextIsComposedWithoutControls_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain text kept") << QStringLiteral("Séjour 12 €") << QStringLiteral("Séjour 12 €");
    QTest::newRow("decomposed accents") << QStringLiteral("Ce\u0301line Mu\u0308ller")
                                        << QStringLiteral("Céline Müller");
    QTest::newRow("tab and line breaks") << QStringLiteral("a\tb\r\nc") << QStringLiteral("a b  c");
    QTest::newRow("both") << QStringLiteral("e\u0301\n") << QStringLiteral("é ");
}

void TestPdfObjects::pageTextIsComposedWithoutControls()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(PdfEncoding::pageText(text), expected);
}

void TestPdfObjects::dateIsLocalTimeInFourteenDigits()
{
    const QDateTime time(QDate(2024, 3, 5), QTime(7, 8, 9));
    QCOMPARE(PdfEncoding::date(time), QByteArray("D:20240305070809"));
}

void TestPdfObjects::arraysIgnoreObjectsAlreadyInThem()
{
    TPdfXref xref;
    auto *page = xref.AddObject(std::make_unique<TPdfDictionary>());
    TPdfArray array;
    QCOMPARE(written(array), QByteArray("[]"));
    array.AddItem(page);
    array.AddItem(page);
    array.AddItem(std::make_unique<TPdfVirtualObject>(page));
    array.AddItem(std::make_unique<TPdfNumber>(-7));
    array.AddItem(std::make_unique<TPdfNull>());
    QCOMPARE(array.ItemCount(), 3);
    QCOMPARE(written(array), QByteArray("[1 0 R -7 null ]"));
}

void TestPdfObjects::dictionaryReplacesKeysAndHidesBookkeeping()
{
    TPdfXref xref;
    xref.AddObject(std::make_unique<TPdfNull>());
    auto *target = xref.AddObject(std::make_unique<TPdfDictionary>());
    TPdfDictionary dictionary;
    dictionary.AddNameItem("Type", "Page");
    dictionary.AddNumberItem("Count", 1);
    dictionary.AddItem("_State", std::make_unique<TPdfReal>(3), true);
    dictionary.AddItem("Parent", target);
    dictionary.AddNumberItem("Count", 2);
    QCOMPARE(dictionary.ItemCount(), 4);
    QCOMPARE(written(dictionary), QByteArray("<<\r\n/Type /Page\r\n/Parent 2 0 R\r\n/Count 2\r\n>>"));
    QCOMPARE(dictionary.ValueAs<TPdfDictionary>("Parent"), target);
    QCOMPARE(PdfNumericValue(dictionary.ValueByName("_State")), 3.0);
    QCOMPARE(written(*target), QByteArray("2 0 R"));
}

void TestPdfObjects::streamWritesItsLengthAndBytes()
{
    TPdfStream stream;
    stream.Data() = "0 0 m\n";
    QByteArray out;
    stream.WriteValueToStream(out);
    QCOMPARE(out, QByteArray("<<\r\n/Length 6\r\n/Filter []\r\n>>\r\nstream\r\n0 0 m\n\nendstream"));
}

void TestPdfObjects::xrefNumbersFromOneAndRefusesReferences()
{
    TPdfXref xref;
    auto *first = xref.AddObject(std::make_unique<TPdfNumber>(5));
    auto *second = xref.AddObject(std::make_unique<TPdfText>(QStringLiteral("x")));
    QCOMPARE(first->ObjectNumber(), 1);
    QCOMPARE(second->ObjectNumber(), 2);
    QCOMPARE(second->ObjectType(), TPdfObjectType::Indirect);
    QCOMPARE(xref.ItemCount(), 3);
    try {
        xref.AddObject(std::make_unique<TPdfVirtualObject>(first));
        QFAIL("a reference was made indirect");
    } catch (const PdfError &e) {
        QCOMPARE(e.text(), QStringLiteral("AddObject --wrong object type."));
    }
    QCOMPARE(xref.ItemCount(), 3);
}

QTEST_GUILESS_MAIN(TestPdfObjects)
#include "tst_pdf_objects.moc"
