#pragma once

#include "pdf/pdf_objects.h"

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

    const QString &RegisteredName() const { return m_registeredName; }
    // Resource name under which pages refer to the font ("F0").
    QByteArray FontName() const { return NameValue("Name"); }
    QByteArray BaseFont() const { return NameValue("BaseFont"); }
    // Width in thousandths of the font size; codes below 32 measure 0.
    int CharWidth(uchar code) const { return code < 32 ? 0 : m_metrics->widths[code - 32]; }

private:
    QString m_registeredName;
    const PdfFontMetrics *m_metrics;
};
