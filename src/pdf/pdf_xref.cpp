#include "pdf/pdf_xref.h"

#include "pdf/pdf_encoding.h"
#include "pdf/pdf_error.h"

namespace {

// Writes `value` as exactly `width` digits with leading zeros.
void appendPadded(QByteArray &out, qint64 value, int width)
{
    char digits[16];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(digits, width);
}

} // namespace

TPdfXref::TPdfXref()
{
    m_objects.emplace_back();
    m_offsets.push_back(0);
}

void TPdfXref::AddObjectImpl(std::unique_ptr<TPdfObject> object)
{
    if (!object || object->ObjectType() != TPdfObjectType::Direct)
        throw PdfError(QStringLiteral("AddObject --wrong object type."));
    object->SetIndirect(int(m_objects.size()));
    m_objects.push_back(std::move(object));
    m_offsets.push_back(0);
}

TPdfObject *TPdfXref::GetObject(int objectNumber) const
{
    if (objectNumber <= 0 || objectNumber >= int(m_objects.size()))
        return nullptr;
    return m_objects[size_t(objectNumber)].get();
}

void TPdfXref::WriteObjects(QByteArray &out)
{
    for (size_t i = 1; i < m_objects.size(); ++i) {
        m_offsets[i] = out.size();
        PdfEncoding::appendInteger(out, qint64(i));
        out.append(" 0 obj\r\n", 8);
        m_objects[i]->WriteValueToStream(out);
        out.append("\r\nendobj\r\n", 10);
    }
}

void TPdfXref::WriteTable(QByteArray &out) const
{
    out.append("xref\r\n0 ", 8);
    PdfEncoding::appendInteger(out, qint64(m_objects.size()));
    out.append("\r\n0000000000 65535 f\r\n", 22);
    for (size_t i = 1; i < m_objects.size(); ++i) {
        appendPadded(out, m_offsets[i], 10);
        out.append(" 00000 n\r\n", 10);
    }
}
