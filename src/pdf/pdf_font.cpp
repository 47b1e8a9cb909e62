#include "pdf/pdf_font.h"

#include "pdf/pdf_error.h"

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
