#include "pdf/pdf_encoding.h"

#include <cmath>

namespace PdfEncoding {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// Unicode of the Windows-1252 codes 0x80..0x9F; 0 where the code page has no character.
const char16_t kWinAnsiHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char winAnsiByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    if (c == 0x202F)
        return char(0xA0);
    for (int i = 0; i < 32; ++i) {
        if (kWinAnsiHigh[i] == c)
            return char(0x80 + i);
    }
    return '?';
}

void appendTwoDigits(QByteArray &out, int value)
{
    out.append(char('0' + value / 10 % 10));
    out.append(char('0' + value % 10));
}

} // namespace

void appendInteger(QByteArray &out, qint64 value)
{
    char buffer[24];
    char *end = buffer + sizeof buffer;
    char *p = end;
    // Work on the magnitude as unsigned so that the smallest value does not overflow.
    quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    do {
        *--p = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--p = '-';
    out.append(p, end - p);
}

void appendReal(QByteArray &out, double value)
{
    if (!std::isfinite(value)) {
        out.append('0');
        return;
    }
    const double scaled = std::fabs(value) * 100.0;
    if (scaled >= 9e15) {
        // Far beyond any page size; still written without an exponent.
        out.append(QByteArray::number(value, 'f', 0));
        return;
    }
    // The small bias absorbs the representation error of values such as 12.345.
    const auto hundredths = qint64(std::floor(scaled + 0.5 + 1e-7));
    if (hundredths == 0) {
        out.append('0');
        return;
    }
    if (value < 0)
        out.append('-');
    appendInteger(out, hundredths / 100);
    const int fraction = int(hundredths % 100);
    if (fraction != 0) {
        out.append('.');
        out.append(char('0' + fraction / 10));
        if (fraction % 10 != 0)
            out.append(char('0' + fraction % 10));
    }
}

void appendName(QByteArray &out, QByteArrayView name)
{
    out.append('/');
    for (const char ch : name) {
        const auto c = uchar(ch);
        bool escape = c < '!' || c > '~';
        switch (c) {
        case '#':
        case '%':
        case '(':
        case ')':
        case '/':
        case '<':
        case '>':
        case '[':
        case ']':
        case '{':
        case '}':
            escape = true;
            break;
        default:
            break;
        }
        if (escape) {
            out.append('#');
            out.append(kHexDigits[c >> 4]);
            out.append(kHexDigits[c & 0xF]);
        } else {
            out.append(ch);
        }
    }
}

void appendLiteral(QByteArray &out, QByteArrayView bytes)
{
    out.append('(');
    for (const char ch : bytes) {
        switch (ch) {
        case '(':
        case ')':
        case '\\':
            out.append('\\');
            out.append(ch);
            break;
        case '\r':
            out.append("\\r", 2);
            break;
        case '\n':
            out.append("\\n", 2);
            break;
        case '\t':
            out.append("\\t", 2);
            break;
        case '\b':
            out.append("\\b", 2);
            break;
        case '\f':
            out.append("\\f", 2);
            break;
        default:
            out.append(ch);
            break;
        }
    }
    out.append(')');
}

void appendHex(QByteArray &out, QByteArrayView bytes)
{
    out.append('<');
    for (const char ch : bytes) {
        const auto c = uchar(ch);
        out.append(kHexDigits[c >> 4]);
        out.append(kHexDigits[c & 0xF]);
    }
    out.append('>');
}

char16_t winAnsiUnicode(uchar code)
{
    if (code < 32 || code == 0x7F)
        return 0;
    if (code >= 0x80 && code < 0xA0)
        return kWinAnsiHigh[code - 0x80];
    return char16_t(code);
}

QByteArray flate(const QByteArray &bytes)
{
    // qCompress puts the uncompressed size in four bytes before the zlib stream.
    return qCompress(bytes, 6).mid(4);
}

QByteArray toWinAnsi(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one character outside the code page, one "?"
        bytes.append(winAnsiByte(c.unicode()));
    }
    return bytes;
}

QString pageText(const QString &text)
{
    // Text typed on a French keyboard has no combining marks: it skips the
    // normalisation, which costs more than the rest of the drawing.
    bool combining = false;
    bool controls = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        combining = combining || u >= 0x300;
        controls = controls || u < 0x20 || (u >= 0x7F && u < 0xA0);
    }
    if (!combining && !controls)
        return text;
    QString out = combining ? text.normalized(QString::NormalizationForm_C) : text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            c = QLatin1Char(' ');
    }
    return out;
}

QByteArray date(const QDateTime &time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    QByteArray out("D:");
    out.reserve(16);
    appendTwoDigits(out, d.year() / 100);
    appendTwoDigits(out, d.year() % 100);
    appendTwoDigits(out, d.month());
    appendTwoDigits(out, d.day());
    appendTwoDigits(out, t.hour());
    appendTwoDigits(out, t.minute());
    appendTwoDigits(out, t.second());
    return out;
}

} // namespace PdfEncoding
