#include "pdf/pdf_canvas.h"

#include "pdf/pdf_doc.h"
#include "pdf/pdf_encoding.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_font.h"
#include "pdf/pdf_objects.h"

#include <cmath>

namespace {

// Range checks written so that NaN fails them too.
bool inRange(double value, double low, double high)
{
    return value >= low && value <= high;
}

const char kHiddenFont[] = "_Font";
const char kHiddenFontSize[] = "_Font_Size";
const char kHiddenWordSpace[] = "_Word_Space";
const char kHiddenCharSpace[] = "_Char_Space";
const char kHiddenScaling[] = "_HScalling";
const char kHiddenLeading[] = "_Leading";

} // namespace

void TPdfCanvasAttribute::CheckFontSize(double size)
{
    if (!inRange(size, 0, 300))
        throw PdfError(QStringLiteral("SetCharSpace --invalid font size"));
}

void TPdfCanvasAttribute::SetFontSize(double size)
{
    CheckFontSize(size);
    m_fontSize = size;
}

void TPdfCanvasAttribute::SetWordSpace(double space)
{
    if (!(space >= 0) || !std::isfinite(space))
        throw PdfError(QStringLiteral("SetWordSpace --invalid word space"));
    m_wordSpace = space;
}

void TPdfCanvasAttribute::SetCharSpace(double space)
{
    if (!inRange(space, -30, 300))
        throw PdfError(QStringLiteral("SetCharSpace --invalid char space"));
    m_charSpace = space;
}

void TPdfCanvasAttribute::SetHorizontalScaling(double scaling)
{
    if (!inRange(scaling, 10, 300))
        throw PdfError(QStringLiteral("SetHorizontalScaling --invalid font size"));
    m_horizontalScaling = scaling;
}

void TPdfCanvasAttribute::SetLeading(double leading)
{
    if (!inRange(leading, 0, 300))
        throw PdfError(QStringLiteral("SetLeading --invalid font size"));
    m_leading = leading;
}

float TPdfCanvasAttribute::TextWidth(QByteArrayView winAnsi) const
{
    if (!m_font)
        return 0;
    const auto size = float(m_fontSize);
    const auto scaling = float(m_horizontalScaling);
    const auto charSpace = float(m_charSpace);
    const auto wordSpace = float(m_wordSpace);
    const qsizetype count = winAnsi.size();
    float total = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const auto c = uchar(winAnsi[i]);
        float w = float(m_font->CharWidth(c)) * size / 1000.0f;
        if (scaling != 100.0f)
            w = w * scaling / 100.0f;
        if (w > 0)
            w = w + charSpace;
        else
            w = 0;
        if (c == ' ' && wordSpace > 0 && i != count - 1)
            w = w + wordSpace;
        total = total + w;
    }
    return total - charSpace;
}

QByteArray &TPdfCanvas::Content()
{
    return m_contents->Data();
}

void TPdfCanvas::Reset()
{
    m_page = nullptr;
    m_contents = nullptr;
    m_attribute = TPdfCanvasAttribute();
}

void TPdfCanvas::SaveState()
{
    const TPdfCanvasAttribute &a = m_attribute;
    if (a.Font())
        m_page->AddItem(kHiddenFont, std::make_unique<TPdfName>(a.Font()->RegisteredName().toUtf8()), true);
    m_page->AddItem(kHiddenFontSize, std::make_unique<TPdfReal>(a.FontSize()), true);
    m_page->AddItem(kHiddenWordSpace, std::make_unique<TPdfReal>(a.WordSpace()), true);
    m_page->AddItem(kHiddenCharSpace, std::make_unique<TPdfReal>(a.CharSpace()), true);
    m_page->AddItem(kHiddenScaling, std::make_unique<TPdfReal>(a.HorizontalScaling()), true);
    m_page->AddItem(kHiddenLeading, std::make_unique<TPdfReal>(a.Leading()), true);
}

bool TPdfCanvas::RestoreState()
{
    if (!m_page->ValueByName(kHiddenFontSize))
        return false;
    TPdfCanvasAttribute a;
    const QByteArray font = m_page->NameValue(kHiddenFont);
    if (!font.isEmpty())
        a.SetFont(m_doc->GetFont(QString::fromUtf8(font)));
    // The values were checked when they were set.
    a.SetFontSize(PdfNumericValue(m_page->ValueByName(kHiddenFontSize)));
    a.SetWordSpace(PdfNumericValue(m_page->ValueByName(kHiddenWordSpace)));
    a.SetCharSpace(PdfNumericValue(m_page->ValueByName(kHiddenCharSpace)));
    a.SetHorizontalScaling(PdfNumericValue(m_page->ValueByName(kHiddenScaling)));
    a.SetLeading(PdfNumericValue(m_page->ValueByName(kHiddenLeading)));
    m_attribute = a;
    return true;
}

void TPdfCanvas::SetPage(TPdfDictionary *page)
{
    if (page == m_page)
        return;
    if (m_page)
        SaveState();
    m_page = page;
    m_contents = page ? page->ValueAs<TPdfStream>("Contents") : nullptr;
    if (!m_contents)
        m_page = nullptr;
    if (!m_page) {
        m_attribute = TPdfCanvasAttribute();
        return;
    }
    if (!RestoreState()) {
        m_attribute = TPdfCanvasAttribute();
        SelectFont(QStringLiteral("Arial"), 10);
    }
}

void TPdfCanvas::SelectFont(const QString &name, double size)
{
    TPdfCanvasAttribute::CheckFontSize(size);
    if (!m_page)
        return;
    TPdfFont *font = m_doc->GetFont(name);
    if (font == m_attribute.Font() && size == m_attribute.FontSize())
        return;
    const QByteArray fontName = font->FontName();
    auto *fonts = m_page->ValueAs<TPdfDictionary>("Resources")->ValueAs<TPdfDictionary>("Font");
    if (!fonts->ValueByName(fontName))
        fonts->AddItem(fontName, font);
    m_attribute.SetFont(font);
    m_attribute.SetFontSize(size);
    QByteArray &out = Content();
    PdfEncoding::appendName(out, fontName);
    out.append(' ');
    PdfEncoding::appendReal(out, size);
    out.append(" Tf\n", 4);
}

void TPdfCanvas::PlaceText(double x, double y, const QString &text)
{
    if (!m_page)
        return;
    QByteArray &out = Content();
    out.append("BT\n", 3);
    PdfEncoding::appendReal(out, x);
    out.append(' ');
    PdfEncoding::appendReal(out, y);
    out.append(" Td\n", 4);
    const QByteArray bytes = PdfEncoding::toWinAnsi(PdfEncoding::pageText(text));
    if (TPdfFont *font = m_attribute.Font())
        font->MarkUsed(bytes);
    PdfEncoding::appendLiteral(out, bytes);
    out.append(" Tj\nET\n", 7);
}

float TPdfCanvas::MeasureText(const QString &text) const
{
    return m_attribute.TextWidth(PdfEncoding::toWinAnsi(PdfEncoding::pageText(text)));
}

void TPdfCanvas::AddRectangle(double x, double y, double width, double height)
{
    if (!m_page)
        return;
    QByteArray &out = Content();
    PdfEncoding::appendReal(out, x);
    out.append(' ');
    PdfEncoding::appendReal(out, y);
    out.append(' ');
    PdfEncoding::appendReal(out, width);
    out.append(' ');
    PdfEncoding::appendReal(out, height);
    out.append(" re\n", 4);
}

void TPdfCanvas::FillPath()
{
    if (m_page)
        Content().append("f\n", 2);
}

void TPdfCanvas::SetFillRGB(int colour)
{
    if (!m_page)
        return;
    if (colour < 0)
        colour = 0;
    QByteArray &out = Content();
    PdfEncoding::appendReal(out, (colour & 0xFF) / 255.0);
    out.append(' ');
    PdfEncoding::appendReal(out, ((colour >> 8) & 0xFF) / 255.0);
    out.append(' ');
    PdfEncoding::appendReal(out, ((colour >> 16) & 0xFF) / 255.0);
    out.append(" rg\n", 4);
}

void TPdfCanvas::DrawXObject(double x, double y, double width, double height, const QString &imageName)
{
    TPdfStream *image = m_doc->FindXObject(imageName);
    if (!image)
        throw PdfError(QStringLiteral("DrawXObject --XObject not found: ") + imageName);
    if (!m_page)
        return;
    const QByteArray name = imageName.toUtf8();
    auto *xobjects = m_page->ValueAs<TPdfDictionary>("Resources")->ValueAs<TPdfDictionary>("XObject");
    if (!xobjects->ValueByName(name))
        xobjects->AddItem(name, image);
    QByteArray &out = Content();
    out.append("q\n", 2);
    PdfEncoding::appendReal(out, width);
    out.append(" 0 0 ", 5);
    PdfEncoding::appendReal(out, height);
    out.append(' ');
    PdfEncoding::appendReal(out, x);
    out.append(' ');
    PdfEncoding::appendReal(out, y);
    out.append(" cm\n", 4);
    PdfEncoding::appendName(out, name);
    out.append(" Do\nQ\n", 6);
}

double TPdfCanvas::GetPageWidth() const
{
    if (!m_page)
        throw PdfError(QStringLiteral("GetPage --the Page is nil"));
    const auto *box = m_page->ValueAs<TPdfArray>("MediaBox");
    return box && box->ItemCount() >= 4 ? PdfNumericValue(box->Item(2)) : 0;
}

double TPdfCanvas::GetPageHeight() const
{
    if (!m_page)
        throw PdfError(QStringLiteral("GetPage --the Page is nil"));
    const auto *box = m_page->ValueAs<TPdfArray>("MediaBox");
    return box && box->ItemCount() >= 4 ? PdfNumericValue(box->Item(3)) : 0;
}

void TPdfCanvas::AppendOperator(double value, const char *op)
{
    QByteArray &out = Content();
    PdfEncoding::appendReal(out, value);
    out.append(' ');
    out.append(op);
    out.append('\n');
}

// The spacing setters emit their operators so that what MeasureText computes is what
// the reader draws.
void TPdfCanvas::SetWordSpace(double space)
{
    TPdfCanvasAttribute checked = m_attribute;
    checked.SetWordSpace(space);
    if (!m_page || space == m_attribute.WordSpace())
        return;
    m_attribute = checked;
    AppendOperator(space, "Tw");
}

void TPdfCanvas::SetCharSpace(double space)
{
    TPdfCanvasAttribute checked = m_attribute;
    checked.SetCharSpace(space);
    if (!m_page || space == m_attribute.CharSpace())
        return;
    m_attribute = checked;
    AppendOperator(space, "Tc");
}

void TPdfCanvas::SetHorizontalScaling(double scaling)
{
    TPdfCanvasAttribute checked = m_attribute;
    checked.SetHorizontalScaling(scaling);
    if (!m_page || scaling == m_attribute.HorizontalScaling())
        return;
    m_attribute = checked;
    AppendOperator(scaling, "Tz");
}

void TPdfCanvas::SetLeading(double leading)
{
    TPdfCanvasAttribute checked = m_attribute;
    checked.SetLeading(leading);
    if (!m_page || leading == m_attribute.Leading())
        return;
    m_attribute = checked;
    AppendOperator(leading, "TL");
}
