#include "pdf/pdf_truetype.h"

#include "pdf/pdf_error.h"

#include <QFile>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <cmath>

namespace {

quint16 u16(const QByteArray &b, qsizetype at)
{
    if (at < 0 || at + 2 > b.size())
        throw PdfError(QStringLiteral("TrueType --truncated font"));
    return quint16((uchar(b[at]) << 8) | uchar(b[at + 1]));
}

qint16 s16(const QByteArray &b, qsizetype at)
{
    return qint16(u16(b, at));
}

quint32 u32(const QByteArray &b, qsizetype at)
{
    return (quint32(u16(b, at)) << 16) | u16(b, at + 2);
}

void put16(QByteArray &b, quint16 v)
{
    b.append(char(v >> 8));
    b.append(char(v & 0xFF));
}

void put32(QByteArray &b, quint32 v)
{
    put16(b, quint16(v >> 16));
    put16(b, quint16(v & 0xFFFF));
}

void set16(QByteArray &b, qsizetype at, quint16 v)
{
    b[at] = char(v >> 8);
    b[at + 1] = char(v & 0xFF);
}

void set32(QByteArray &b, qsizetype at, quint32 v)
{
    set16(b, at, quint16(v >> 16));
    set16(b, at + 2, quint16(v & 0xFFFF));
}

quint32 tagOf(const char *tag)
{
    return (quint32(uchar(tag[0])) << 24) | (quint32(uchar(tag[1])) << 16) | (quint32(uchar(tag[2])) << 8) |
           quint32(uchar(tag[3]));
}

quint32 checksum(const QByteArray &b)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < b.size(); i += 4) {
        quint32 word = 0;
        for (int k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < b.size() ? uchar(b[i + k]) : 0);
        sum += word;
    }
    return sum;
}

void pad4(QByteArray &b)
{
    while (b.size() % 4)
        b.append('\0');
}

// Flags of a composite glyph's component record.
constexpr quint16 kArgsAreWords = 0x0001;
constexpr quint16 kHaveScale = 0x0008;
constexpr quint16 kMoreComponents = 0x0020;
constexpr quint16 kHaveXYScale = 0x0040;
constexpr quint16 kHave2x2 = 0x0080;

int scaled(int value, int unitsPerEm)
{
    return int(std::lround(value * 1000.0 / unitsPerEm));
}

} // namespace

TrueTypeFont::TrueTypeFont(const QByteArray &bytes) : m_bytes(bytes)
{
    const quint32 version = u32(m_bytes, 0);
    if (version != 0x00010000 && version != tagOf("true"))
        throw PdfError(QStringLiteral("TrueType --not a TrueType font"));
    const int count = u16(m_bytes, 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype at = 12 + 16 * i;
        Table t{u32(m_bytes, at), u32(m_bytes, at + 8), u32(m_bytes, at + 12)};
        if (qsizetype(t.offset) + qsizetype(t.length) > m_bytes.size())
            throw PdfError(QStringLiteral("TrueType --table out of the file"));
        m_tables.append(t);
    }
    for (const char *needed : {"head", "hhea", "maxp", "hmtx", "loca", "glyf", "cmap"})
        if (!find(needed))
            throw PdfError(QStringLiteral("TrueType --missing table ") + QLatin1String(needed));
    const quint32 head = find("head")->offset;
    m_unitsPerEm = u16(m_bytes, head + 18);
    if (m_unitsPerEm == 0)
        m_unitsPerEm = 1000;
    m_longLoca = s16(m_bytes, head + 50) == 1;
    m_numGlyphs = u16(m_bytes, find("maxp")->offset + 4);
    m_numberOfHMetrics = u16(m_bytes, find("hhea")->offset + 34);
    if (m_numberOfHMetrics == 0 || m_numberOfHMetrics > m_numGlyphs)
        throw PdfError(QStringLiteral("TrueType --bad horizontal metrics"));
    readCmap();
}

std::shared_ptr<const TrueTypeFont> TrueTypeFont::load(const QString &path)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const TrueTypeFont>> cache;
    QMutexLocker lock(&mutex);
    if (auto found = cache.value(path))
        return found;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw PdfError(QStringLiteral("TrueType --cannot read ") + path);
    auto font = std::make_shared<const TrueTypeFont>(file.readAll());
    cache.insert(path, font);
    return font;
}

const TrueTypeFont::Table *TrueTypeFont::find(const char *tag) const
{
    const quint32 wanted = tagOf(tag);
    for (const Table &t : m_tables)
        if (t.tag == wanted)
            return &t;
    return nullptr;
}

QByteArray TrueTypeFont::tableBytes(const char *tag) const
{
    const Table *t = find(tag);
    return t ? m_bytes.mid(t->offset, t->length) : QByteArray();
}

void TrueTypeFont::readCmap()
{
    const quint32 cmap = find("cmap")->offset;
    const int count = u16(m_bytes, cmap + 2);
    qsizetype sub = -1;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = cmap + 4 + 8 * i;
        const int platform = u16(m_bytes, at);
        const int encoding = u16(m_bytes, at + 2);
        const qsizetype offset = cmap + u32(m_bytes, at + 4);
        if (((platform == 3 && encoding == 1) || platform == 0) && u16(m_bytes, offset) == 4) {
            sub = offset;
            if (platform == 3)
                break;
        }
    }
    if (sub < 0)
        throw PdfError(QStringLiteral("TrueType --no Unicode cmap"));
    const int segCount = u16(m_bytes, sub + 6) / 2;
    const qsizetype ends = sub + 14;
    const qsizetype starts = ends + 2 * segCount + 2;
    const qsizetype deltas = starts + 2 * segCount;
    const qsizetype ranges = deltas + 2 * segCount;
    for (int i = 0; i < segCount; ++i)
        m_segments.append({u16(m_bytes, starts + 2 * i), u16(m_bytes, ends + 2 * i), s16(m_bytes, deltas + 2 * i),
                           quint32(ranges + 2 * i), u16(m_bytes, ranges + 2 * i)});
}

quint16 TrueTypeFont::glyph(char32_t unicode) const
{
    if (unicode > 0xFFFF)
        return 0;
    const auto c = quint16(unicode);
    for (const Segment &s : m_segments) {
        if (c > s.end || c < s.start)
            continue;
        if (s.rangeOffset == 0)
            return quint16(c + s.delta);
        const qsizetype at = s.rangeOffsetAt + s.rangeOffset + 2 * (c - s.start);
        const quint16 g = u16(m_bytes, at);
        return g == 0 ? 0 : quint16(g + s.delta);
    }
    return 0;
}

int TrueTypeFont::advance(quint16 glyph) const
{
    const quint32 hmtx = find("hmtx")->offset;
    const int index = std::min<int>(glyph, m_numberOfHMetrics - 1);
    return u16(m_bytes, hmtx + 4 * index);
}

int TrueTypeFont::width1000(char32_t unicode) const
{
    return scaled(advance(glyph(unicode)), m_unitsPerEm);
}

TrueTypeFont::Metrics TrueTypeFont::metrics() const
{
    Metrics m;
    const quint32 head = find("head")->offset;
    m.xMin = scaled(s16(m_bytes, head + 36), m_unitsPerEm);
    m.yMin = scaled(s16(m_bytes, head + 38), m_unitsPerEm);
    m.xMax = scaled(s16(m_bytes, head + 40), m_unitsPerEm);
    m.yMax = scaled(s16(m_bytes, head + 42), m_unitsPerEm);
    const quint32 hhea = find("hhea")->offset;
    m.ascent = scaled(s16(m_bytes, hhea + 4), m_unitsPerEm);
    m.descent = scaled(s16(m_bytes, hhea + 6), m_unitsPerEm);
    m.capHeight = m.ascent;
    if (const Table *os2 = find("OS/2"); os2 && u16(m_bytes, os2->offset) >= 2 && os2->length >= 90)
        m.capHeight = scaled(s16(m_bytes, os2->offset + 88), m_unitsPerEm);
    if (const Table *post = find("post"))
        m.italicAngle = int(std::lround(qint32(u32(m_bytes, post->offset + 4)) / 65536.0));
    return m;
}

QByteArray TrueTypeFont::glyphBytes(quint16 glyph) const
{
    if (glyph >= m_numGlyphs)
        return {};
    const quint32 loca = find("loca")->offset;
    const quint32 glyf = find("glyf")->offset;
    quint32 start, end;
    if (m_longLoca) {
        start = u32(m_bytes, loca + 4 * glyph);
        end = u32(m_bytes, loca + 4 * (glyph + 1));
    } else {
        start = 2u * u16(m_bytes, loca + 2 * glyph);
        end = 2u * u16(m_bytes, loca + 2 * (glyph + 1));
    }
    if (end <= start || glyf + end > quint32(m_bytes.size()))
        return {};
    return m_bytes.mid(glyf + start, end - start);
}

void TrueTypeFont::addComponents(quint16 glyph, QList<quint16> &glyphs) const
{
    if (glyphs.contains(glyph))
        return;
    glyphs.append(glyph);
    const QByteArray g = glyphBytes(glyph);
    if (g.size() < 10 || s16(g, 0) >= 0)
        return; // empty or simple glyph
    qsizetype at = 10;
    for (int guard = 0; guard < 64; ++guard) {
        const quint16 flags = u16(g, at);
        addComponents(u16(g, at + 2), glyphs);
        at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
        if (flags & kHaveScale)
            at += 2;
        else if (flags & kHaveXYScale)
            at += 4;
        else if (flags & kHave2x2)
            at += 8;
        if (!(flags & kMoreComponents))
            break;
    }
}

QByteArray TrueTypeFont::subset(const QList<char32_t> &characters) const
{
    // Characters and their glyphs, in code order for the cmap.
    QList<QPair<quint16, quint16>> mapped;
    QList<quint16> glyphs;
    addComponents(0, glyphs);
    for (const char32_t c : characters) {
        const quint16 g = glyph(c);
        if (c > 0xFFFF || g == 0)
            continue;
        mapped.append({quint16(c), g});
        addComponents(g, glyphs);
    }
    std::sort(mapped.begin(), mapped.end());
    mapped.erase(std::unique(mapped.begin(), mapped.end()), mapped.end());
    const int count = *std::max_element(glyphs.begin(), glyphs.end()) + 1;

    // glyf and loca (long offsets): glyphs not kept are empty.
    QByteArray glyf;
    QByteArray loca;
    for (int g = 0; g < count; ++g) {
        put32(loca, quint32(glyf.size()));
        if (glyphs.contains(quint16(g))) {
            glyf.append(glyphBytes(quint16(g)));
            pad4(glyf);
        }
    }
    put32(loca, quint32(glyf.size()));

    // hmtx with one full metric per glyph.
    const quint32 hmtxAt = find("hmtx")->offset;
    QByteArray hmtx;
    for (int g = 0; g < count; ++g) {
        put16(hmtx, quint16(advance(quint16(g))));
        const qsizetype lsbAt = g < m_numberOfHMetrics ? hmtxAt + 4 * g + 2
                                                        : hmtxAt + 4 * m_numberOfHMetrics + 2 * (g - m_numberOfHMetrics);
        put16(hmtx, u16(m_bytes, lsbAt));
    }

    // cmap: one (3,1) format 4 subtable, one segment per character and the
    // closing 0xFFFF segment.
    const int segCount = int(mapped.size()) + 1;
    QByteArray sub;
    put16(sub, 4);
    put16(sub, quint16(16 + 8 * segCount));
    put16(sub, 0);
    put16(sub, quint16(2 * segCount));
    int searchRange = 2;
    int entrySelector = 0;
    while (searchRange * 2 <= 2 * segCount) {
        searchRange *= 2;
        ++entrySelector;
    }
    put16(sub, quint16(searchRange));
    put16(sub, quint16(entrySelector));
    put16(sub, quint16(2 * segCount - searchRange));
    for (const auto &m : mapped)
        put16(sub, m.first);
    put16(sub, 0xFFFF);
    put16(sub, 0);
    for (const auto &m : mapped)
        put16(sub, m.first);
    put16(sub, 0xFFFF);
    for (const auto &m : mapped)
        put16(sub, quint16(m.second - m.first));
    put16(sub, 1);
    for (int i = 0; i < segCount; ++i)
        put16(sub, 0);
    QByteArray cmap;
    put16(cmap, 0);
    put16(cmap, 1);
    put16(cmap, 3);
    put16(cmap, 1);
    put32(cmap, 12);
    cmap.append(sub);

    QByteArray head = tableBytes("head");
    set32(head, 8, 0);
    set16(head, 50, 1);
    QByteArray hhea = tableBytes("hhea");
    set16(hhea, 34, quint16(count));
    QByteArray maxp = tableBytes("maxp");
    set16(maxp, 4, quint16(count));
    // post without glyph names (format 3), whose names would count the full font.
    QByteArray post = tableBytes("post").left(32);
    if (post.size() == 32)
        set32(post, 0, 0x00030000);

    QList<QPair<QByteArray, QByteArray>> tables = {
        {"OS/2", tableBytes("OS/2")}, {"cmap", cmap}, {"cvt ", tableBytes("cvt ")},
        {"fpgm", tableBytes("fpgm")}, {"gasp", tableBytes("gasp")}, {"glyf", glyf},
        {"head", head},               {"hhea", hhea}, {"hmtx", hmtx},
        {"loca", loca},               {"maxp", maxp}, {"name", tableBytes("name")},
        {"post", post},               {"prep", tableBytes("prep")}};
    tables.erase(std::remove_if(tables.begin(), tables.end(), [](const auto &t) { return t.second.isEmpty(); }),
                 tables.end());

    const int n = int(tables.size());
    QByteArray out;
    put32(out, 0x00010000);
    put16(out, quint16(n));
    int range = 1;
    int selector = 0;
    while (range * 2 <= n) {
        range *= 2;
        ++selector;
    }
    put16(out, quint16(range * 16));
    put16(out, quint16(selector));
    put16(out, quint16(n * 16 - range * 16));
    quint32 offset = quint32(12 + 16 * n);
    qsizetype headAt = 0;
    for (const auto &t : tables) {
        out.append(t.first.constData(), 4);
        put32(out, checksum(t.second));
        put32(out, offset);
        put32(out, quint32(t.second.size()));
        offset += quint32((t.second.size() + 3) & ~3);
    }
    for (const auto &t : tables) {
        if (t.first == "head")
            headAt = out.size();
        out.append(t.second);
        pad4(out);
    }
    set32(out, headAt + 8, 0xB1B0AFBAu - checksum(out));
    return out;
}
