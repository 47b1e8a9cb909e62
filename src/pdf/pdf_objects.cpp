#include "pdf/pdf_objects.h"

#include "pdf/pdf_encoding.h"
#include "pdf/pdf_error.h"

namespace {

// True when the text reads the same under every single-byte encoding a reader may
// apply to a text string: printable ASCII, line controls and the Latin-1 letters.
// Codes 18 to 1F hex are accents and A0 is the euro sign in the document
// encoding: a no-break space written as that byte would read as "€".
bool isPlainText(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x18 && u <= 0x1F)
            return false;
        if (u >= 0x7F && u <= 0xA0)
            return false;
        if (u > 0xFF || u == 0xAD)
            return false;
    }
    return true;
}

void appendReference(QByteArray &out, int objectNumber)
{
    PdfEncoding::appendInteger(out, objectNumber);
    out.append(" 0 R", 4);
}

} // namespace

void TPdfObject::WriteToStream(QByteArray &out) const
{
    if (m_objectType == TPdfObjectType::Indirect)
        appendReference(out, m_objectNumber);
    else
        WriteValueToStream(out);
}

void TPdfNull::WriteValueToStream(QByteArray &out) const
{
    out.append("null", 4);
}

void TPdfNumber::WriteValueToStream(QByteArray &out) const
{
    PdfEncoding::appendInteger(out, m_value);
}

void TPdfReal::WriteValueToStream(QByteArray &out) const
{
    PdfEncoding::appendReal(out, m_value);
}

void TPdfText::WriteValueToStream(QByteArray &out) const
{
    // Composed form, as the page texts: "e" + combining accent is one letter.
    const QString value = m_value.normalized(QString::NormalizationForm_C);
    if (isPlainText(value)) {
        PdfEncoding::appendLiteral(out, value.toLatin1());
        return;
    }
    // UTF-16 big-endian after its byte order mark. No language escape: it belongs to
    // later versions of the format, and readers of 1.2 files show it as a stray glyph.
    QByteArray bytes("\xFE\xFF", 2);
    for (const QChar c : value) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xFF));
    }
    PdfEncoding::appendHex(out, bytes);
}

void TPdfName::WriteValueToStream(QByteArray &out) const
{
    PdfEncoding::appendName(out, m_value);
}

void TPdfBinary::WriteValueToStream(QByteArray &out) const
{
    out.append(m_bytes);
}

TPdfVirtualObject::TPdfVirtualObject(TPdfObject *target) : m_target(target)
{
    SetVirtual(target->ObjectNumber());
}

void TPdfVirtualObject::WriteValueToStream(QByteArray &out) const
{
    appendReference(out, ObjectNumber());
}

TPdfObject *PdfResolve(TPdfObject *object)
{
    if (auto *reference = dynamic_cast<TPdfVirtualObject *>(object))
        return reference->Target();
    return object;
}

double PdfNumericValue(const TPdfObject *object)
{
    if (auto *number = dynamic_cast<const TPdfNumber *>(object))
        return number->Value();
    if (auto *real = dynamic_cast<const TPdfReal *>(object))
        return real->Value();
    return 0;
}

void TPdfArray::AddItem(std::unique_ptr<TPdfObject> item)
{
    if (!item)
        return;
    if (item->ObjectType() == TPdfObjectType::Virtual && Contains(PdfResolve(item.get())))
        return;
    m_items.push_back(std::move(item));
}

void TPdfArray::AddItem(TPdfObject *indirect)
{
    if (indirect->ObjectType() != TPdfObjectType::Indirect)
        throw PdfError(QStringLiteral("AddItem --wrong object type."));
    if (Contains(indirect))
        return;
    m_items.push_back(std::make_unique<TPdfVirtualObject>(indirect));
}

bool TPdfArray::Contains(const TPdfObject *object) const
{
    for (const auto &item : m_items) {
        if (item.get() == object || PdfResolve(item.get()) == object)
            return true;
    }
    return false;
}

void TPdfArray::WriteValueToStream(QByteArray &out) const
{
    out.append('[');
    for (const auto &item : m_items) {
        item->WriteToStream(out);
        out.append(' ');
    }
    out.append(']');
}

int TPdfDictionary::IndexOf(QByteArrayView key) const
{
    for (size_t i = 0; i < m_elements.size(); ++i) {
        if (m_elements[i].Key() == key)
            return int(i);
    }
    return -1;
}

void TPdfDictionary::AddItem(const QByteArray &key, std::unique_ptr<TPdfObject> value, bool hidden)
{
    if (!value)
        value = std::make_unique<TPdfNull>();
    RemoveItem(key);
    m_elements.emplace_back(key, std::move(value), hidden);
}

void TPdfDictionary::AddItem(const QByteArray &key, TPdfObject *indirect, bool hidden)
{
    if (indirect->ObjectType() != TPdfObjectType::Indirect)
        throw PdfError(QStringLiteral("AddItem --wrong object type."));
    AddItem(key, std::make_unique<TPdfVirtualObject>(indirect), hidden);
}

void TPdfDictionary::AddNameItem(const QByteArray &key, const QByteArray &name)
{
    AddItem(key, std::make_unique<TPdfName>(name));
}

void TPdfDictionary::AddNumberItem(const QByteArray &key, qint32 value)
{
    AddItem(key, std::make_unique<TPdfNumber>(value));
}

void TPdfDictionary::AddRealItem(const QByteArray &key, double value)
{
    AddItem(key, std::make_unique<TPdfReal>(value));
}

void TPdfDictionary::AddTextItem(const QByteArray &key, const QString &text)
{
    AddItem(key, std::make_unique<TPdfText>(text));
}

void TPdfDictionary::RemoveItem(const QByteArray &key)
{
    const int index = IndexOf(key);
    if (index >= 0)
        m_elements.erase(m_elements.begin() + index);
}

TPdfObject *TPdfDictionary::ValueByName(QByteArrayView key) const
{
    const int index = IndexOf(key);
    return index >= 0 ? m_elements[size_t(index)].Value() : nullptr;
}

QByteArray TPdfDictionary::NameValue(QByteArrayView key) const
{
    const auto *name = ValueAs<TPdfName>(key);
    return name ? name->Value() : QByteArray();
}

void TPdfDictionary::WriteValueToStream(QByteArray &out) const
{
    out.append("<<\r\n", 4);
    for (const auto &element : m_elements) {
        if (element.IsHidden())
            continue;
        PdfEncoding::appendName(out, element.Key());
        out.append(' ');
        element.Value()->WriteToStream(out);
        out.append("\r\n", 2);
    }
    out.append(">>", 2);
}

TPdfStream::TPdfStream()
{
    m_attributes.AddNumberItem("Length", 0);
    m_attributes.AddItem("Filter", std::make_unique<TPdfArray>());
}

void TPdfStream::WriteValueToStream(QByteArray &out) const
{
    if (auto *length = m_attributes.ValueAs<TPdfNumber>("Length"))
        length->SetValue(qint32(m_data.size()));
    m_attributes.WriteValueToStream(out);
    out.append("\r\nstream\r\n", 10);
    out.append(m_data);
    out.append("\nendstream", 10);
}
