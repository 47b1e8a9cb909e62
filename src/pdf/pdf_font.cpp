#include "pdf/pdf_font.h"

#include "pdf/pdf_encoding.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_truetype.h"
#include "pdf/pdf_xref.h"

#include <QCryptographicHash>
#include <QHash>
#include <QMutex>
#include <QStringList>

namespace {

#include "pdf/pdf_font_widths.inc"

// Names the documents know the fonts by, in the order of kStandardFonts.
const char *const kRegisteredNames[] = {
    "FixedWidth",  "FixedWidth-Bold", "FixedWidth-Italic", "FixedWidth-BoldItalic",
    "Arial",       "Arial-Bold",      "Arial-Italic",      "Arial-BoldItalic",
    "Times-Roman", "Times-Bold",      "Times-Italic",      "Times-BoldItalic",
};
static_assert(std::size(kRegisteredNames) == std::size(kStandardFonts));

// The Liberation fonts have the widths of the standard ones, so a document
// drawn with them keeps its layout to the point.
const char *const kEmbeddedNames[][2] = {
    {"LiberationMono-Regular", "LiberationMono"},      {"LiberationMono-Bold", "LiberationMono-Bold"},
    {"LiberationMono-Italic", "LiberationMono-Italic"}, {"LiberationMono-BoldItalic", "LiberationMono-BoldItalic"},
    {"LiberationSans-Regular", "LiberationSans"},      {"LiberationSans-Bold", "LiberationSans-Bold"},
    {"LiberationSans-Italic", "LiberationSans-Italic"}, {"LiberationSans-BoldItalic", "LiberationSans-BoldItalic"},
    {"LiberationSerif-Regular", "LiberationSerif"},    {"LiberationSerif-Bold", "LiberationSerif-Bold"},
    {"LiberationSerif-Italic", "LiberationSerif-Italic"}, {"LiberationSerif-BoldItalic", "LiberationSerif-BoldItalic"},
};
static_assert(std::size(kRegisteredNames) == std::size(kEmbeddedNames));

// Six capitals naming a subset, as readers expect before the font's name.
QByteArray subsetTag(const std::bitset<256> &used, const QByteArray &name)
{
    QByteArray key = name;
    for (int i = 0; i < 256; ++i)
        key.append(used.test(size_t(i)) ? '1' : '0');
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Md5);
    QByteArray tag;
    for (int i = 0; i < 6; ++i)
        tag.append(char('A' + uchar(hash[i]) % 26));
    return tag;
}

void appendHex4(QByteArray &out, uint value, int digits)
{
    static const char hex[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i)
        out.append(hex[(value >> (4 * i)) & 0xF]);
}

} // namespace

const PdfFontMetrics *TPdfFont::FindMetrics(const QString &registeredName)
{
    for (size_t i = 0; i < std::size(kRegisteredNames); ++i) {
        if (registeredName == QLatin1String(kRegisteredNames[i]))
            return &kStandardFonts[i];
    }
    return nullptr;
}

QStringList TPdfFont::RegisteredNames()
{
    QStringList names;
    for (const char *name : kRegisteredNames)
        names.append(QLatin1String(name));
    return names;
}

TPdfFont::TPdfFont(const QString &registeredName, int index)
    : m_registeredName(registeredName), m_metrics(FindMetrics(registeredName))
{
    if (!m_metrics)
        throw PdfError(QStringLiteral("CreateFont --InvalidFontName:") + registeredName);
    AddNameItem("Type", "Font");
    AddNameItem("Subtype", "Type1");
    AddNameItem("Encoding", "WinAnsiEncoding");
    AddNumberItem("FirstChar", 32);
    AddNumberItem("LastChar", 255);
    AddNameItem("BaseFont", m_metrics->baseFont);
    auto widths = std::make_unique<TPdfArray>();
    for (const quint16 width : m_metrics->widths)
        widths->AddItem(std::make_unique<TPdfNumber>(width));
    AddItem("Widths", std::move(widths), true);
    AddNameItem("Name", "F" + QByteArray::number(index));
}

TPdfFont::~TPdfFont() = default;

QString TPdfFont::EmbeddedFileName(const QString &registeredName, QByteArray *postScriptName)
{
    for (size_t i = 0; i < std::size(kRegisteredNames); ++i) {
        if (registeredName == QLatin1String(kRegisteredNames[i])) {
            if (postScriptName)
                *postScriptName = kEmbeddedNames[i][1];
            return QLatin1String(kEmbeddedNames[i][0]) + QStringLiteral(".ttf");
        }
    }
    return {};
}

TPdfFont::TPdfFont(const QString &registeredName, int index, std::shared_ptr<const TrueTypeFont> font,
                   const QByteArray &postScriptName, TPdfXref &xref)
    : m_registeredName(registeredName), m_metrics(nullptr), m_truetype(std::move(font)),
      m_postScriptName(postScriptName)
{
    if (!FindMetrics(registeredName))
        throw PdfError(QStringLiteral("CreateFont --InvalidFontName:") + registeredName);
    m_ownMetrics = std::make_unique<PdfFontMetrics>();
    m_ownMetrics->baseFont = nullptr;
    for (int code = 32; code < 256; ++code) {
        const char16_t u = PdfEncoding::winAnsiUnicode(uchar(code));
        m_ownMetrics->widths[code - 32] = quint16(u ? m_truetype->width1000(u) : m_truetype->width1000(0));
    }
    m_metrics = m_ownMetrics.get();

    AddNameItem("Type", "Font");
    AddNameItem("Subtype", "TrueType");
    AddNameItem("BaseFont", m_postScriptName);
    AddNumberItem("FirstChar", 32);
    AddNumberItem("LastChar", 255);
    auto widths = std::make_unique<TPdfArray>();
    for (const quint16 width : m_metrics->widths)
        widths->AddItem(std::make_unique<TPdfNumber>(width));
    AddItem("Widths", std::move(widths));
    AddNameItem("Encoding", "WinAnsiEncoding");

    const TrueTypeFont::Metrics m = m_truetype->metrics();
    m_descriptor = xref.AddObject(std::make_unique<TPdfDictionary>());
    m_descriptor->AddNameItem("Type", "FontDescriptor");
    m_descriptor->AddNameItem("FontName", m_postScriptName);
    // Non-symbolic: the codes are WinAnsi and the font's Unicode cmap finds the glyphs.
    m_descriptor->AddNumberItem("Flags", 32);
    auto box = std::make_unique<TPdfArray>();
    for (const int v : {m.xMin, m.yMin, m.xMax, m.yMax})
        box->AddItem(std::make_unique<TPdfNumber>(v));
    m_descriptor->AddItem("FontBBox", std::move(box));
    m_descriptor->AddNumberItem("ItalicAngle", m.italicAngle);
    m_descriptor->AddNumberItem("Ascent", m.ascent);
    m_descriptor->AddNumberItem("Descent", m.descent);
    m_descriptor->AddNumberItem("CapHeight", m.capHeight);
    m_descriptor->AddNumberItem("StemV", 80);
    m_fontFile = xref.AddObject(std::make_unique<TPdfStream>());
    m_descriptor->AddItem("FontFile2", m_fontFile);
    AddItem("FontDescriptor", m_descriptor);
    m_toUnicode = xref.AddObject(std::make_unique<TPdfStream>());
    AddItem("ToUnicode", m_toUnicode);
    AddNameItem("Name", "F" + QByteArray::number(index));
}

void TPdfFont::Embed()
{
    if (!m_truetype)
        return;
    QList<char32_t> characters;
    QByteArray ranges;
    int count = 0;
    for (int code = 32; code < 256; ++code) {
        const char16_t u = PdfEncoding::winAnsiUnicode(uchar(code));
        if (!m_used.test(size_t(code)) || !u)
            continue;
        characters.append(u);
        ranges.append('<');
        appendHex4(ranges, uint(code), 2);
        ranges.append("> <", 3);
        appendHex4(ranges, u, 4);
        ranges.append(">\n", 2);
        ++count;
    }
    const QByteArray name = subsetTag(m_used, m_postScriptName) + '+' + m_postScriptName;
    AddNameItem("BaseFont", name);
    m_descriptor->AddNameItem("FontName", name);

    // Invoices of one hotel use much the same letters: a subset once made and
    // compressed serves the next documents with the same codes.
    static QMutex mutex;
    static QHash<QByteArray, QPair<QByteArray, qint32>> programs;
    const QByteArray key = m_postScriptName + QByteArray::number(quintptr(m_truetype.get())) + ':' +
                           QByteArray::fromStdString(m_used.to_string());
    QPair<QByteArray, qint32> program;
    {
        QMutexLocker lock(&mutex);
        program = programs.value(key);
    }
    if (program.first.isEmpty()) {
        const QByteArray subset = m_truetype->subset(characters);
        program = {PdfEncoding::flate(subset), qint32(subset.size())};
        QMutexLocker lock(&mutex);
        if (programs.size() > 64)
            programs.clear();
        programs.insert(key, program);
    }
    auto filter = std::make_unique<TPdfArray>();
    filter->AddItem(std::make_unique<TPdfName>("FlateDecode"));
    m_fontFile->Attributes().AddItem("Filter", std::move(filter));
    m_fontFile->Attributes().AddNumberItem("Length1", program.second);
    m_fontFile->Data() = program.first;

    QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    // At most 100 entries per block.
    const QList<QByteArray> entries = ranges.split('\n');
    for (int start = 0; start < count; start += 100) {
        const int n = std::min(100, count - start);
        cmap += QByteArray::number(n) + " beginbfchar\n";
        for (int i = start; i < start + n; ++i)
            cmap += entries.at(i) + '\n';
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    m_toUnicode->Data() = cmap;
}
