#pragma once

#include "pdf/pdf_objects.h"

#include <bitset>
#include <memory>

class TrueTypeFont;
class TPdfXref;

// Metrics of one standard Type 1 font: widths of codes 32..255 under WinAnsiEncoding.
struct PdfFontMetrics
{
    const char *baseFont;
    quint16 widths[224];
};

// A standard Type 1 font as the documents use it: an indirect font dictionary
// (WinAnsiEncoding, codes 32 to 255) that also answers glyph widths for measuring.
class TPdfFont : public TPdfDictionary
{
public:
    // The metrics of a registered font name ("Arial", "Times-Bold", ...), or null.
    static const PdfFontMetrics *FindMetrics(const QString &registeredName);
    // The twelve registered names, in a fixed order.
    static QStringList RegisteredNames();

    // Builds the font dictionary; `index` gives its resource name, F<index>.
    // "CreateFont --InvalidFontName:<name>" for a name that is not registered.
    TPdfFont(const QString &registeredName, int index);
    // The same registered name drawn with an embedded TrueType font (PDF/A):
    // WinAnsiEncoding still, its widths those of the font file, its descriptor,
    // subset font program and ToUnicode map registered in `xref` now and filled
    // by Embed() when the document is written.
    TPdfFont(const QString &registeredName, int index, std::shared_ptr<const TrueTypeFont> font,
             const QByteArray &postScriptName, TPdfXref &xref);
    ~TPdfFont() override;

    // The file of the free font (Liberation, metric-compatible with the
    // standard ones) that stands in for a registered name when fonts are
    // embedded, and its PostScript name; empty when there is none.
    static QString EmbeddedFileName(const QString &registeredName, QByteArray *postScriptName = nullptr);

    bool IsEmbedded() const { return bool(m_truetype); }
    // Notes the WinAnsi codes drawn, so that the subset holds their glyphs.
    void MarkUsed(QByteArrayView winAnsi)
    {
        if (m_truetype)
            for (const char c : winAnsi)
                m_used.set(uchar(c));
    }
    // Writes the subset font program and the ToUnicode map of the codes used.
    void Embed();

    const QString &RegisteredName() const { return m_registeredName; }
    // Resource name under which pages refer to the font ("F0").
    QByteArray FontName() const { return NameValue("Name"); }
    QByteArray BaseFont() const { return NameValue("BaseFont"); }
    // Width in thousandths of the font size; codes below 32 measure 0.
    int CharWidth(uchar code) const { return code < 32 ? 0 : m_metrics->widths[code - 32]; }

private:
    QString m_registeredName;
    const PdfFontMetrics *m_metrics;
    std::unique_ptr<PdfFontMetrics> m_ownMetrics;
    std::shared_ptr<const TrueTypeFont> m_truetype;
    QByteArray m_postScriptName;
    TPdfDictionary *m_descriptor = nullptr;
    TPdfStream *m_fontFile = nullptr;
    TPdfStream *m_toUnicode = nullptr;
    std::bitset<256> m_used;
};
