#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// A TrueType font file read once, for embedding in documents that must carry
// their fonts (PDF/A). It answers advance widths and glyphs of Unicode
// characters and writes subsets: only the glyphs asked for (and the pieces of
// composite glyphs) keep their outlines, glyph numbers stay as in the full
// font, and a new Unicode cmap lists just the characters used.
class TrueTypeFont
{
public:
    // Parses the font bytes; throws PdfError when they are not a TrueType font
    // with the tables a subset needs.
    explicit TrueTypeFont(const QByteArray &bytes);

    // The font file of that path, read and parsed once per process; throws
    // PdfError when it cannot be read.
    static std::shared_ptr<const TrueTypeFont> load(const QString &path);

    int unitsPerEm() const { return m_unitsPerEm; }
    int glyphCount() const { return m_numGlyphs; }
    // Glyph of a character through the font's Unicode cmap; 0 (.notdef) when none.
    quint16 glyph(char32_t unicode) const;
    // Advance width of a glyph in font units.
    int advance(quint16 glyph) const;
    // Advance width of a character in thousandths of the font size, rounded.
    int width1000(char32_t unicode) const;

    // Values of the font descriptor, in thousandths of the font size.
    struct Metrics
    {
        int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
        int ascent = 0, descent = 0, capHeight = 0;
        int italicAngle = 0;
    };
    Metrics metrics() const;

    // A complete font file holding the glyphs of these characters (and .notdef).
    QByteArray subset(const QList<char32_t> &characters) const;

private:
    struct Table
    {
        quint32 tag;
        quint32 offset;
        quint32 length;
    };
    const Table *find(const char *tag) const;
    QByteArray tableBytes(const char *tag) const;
    QByteArray glyphBytes(quint16 glyph) const;
    void addComponents(quint16 glyph, QList<quint16> &glyphs) const;
    void readCmap();

    QByteArray m_bytes;
    QList<Table> m_tables;
    int m_unitsPerEm = 1000;
    int m_numGlyphs = 0;
    int m_numberOfHMetrics = 0;
    bool m_longLoca = false;
    // Format 4 segments of the (3,1) cmap.
    struct Segment
    {
        quint16 start, end;
        qint16 delta;
        quint32 rangeOffsetAt; // absolute offset of this segment's idRangeOffset
        quint16 rangeOffset;
    };
    QList<Segment> m_segments;
};
