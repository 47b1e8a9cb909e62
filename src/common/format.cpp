#include "common/format.h"

#include <QRegularExpression>

#include <cmath>

namespace Format {

QDate zeroDate()
{
    return QDate(1899, 12, 30);
}

namespace {

// Long lists format and read thousands of dates: done by hand, these cost a
// fraction of the format-string machinery, with the same result.
void putDigits(QChar *out, int value, int digits)
{
    for (int i = digits - 1; i >= 0; --i, value /= 10)
        out[i] = QChar(u'0' + value % 10);
}

int digitsAt(const QString &text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

QString date(const QDate &d)
{
    if (!d.isValid())
        return QString();
    if (d.year() < 1000 || d.year() > 9999)
        return d.toString(QStringLiteral("dd/MM/yyyy"));
    QString text(10, u'/');
    putDigits(text.data(), d.day(), 2);
    putDigits(text.data() + 3, d.month(), 2);
    putDigits(text.data() + 6, d.year(), 4);
    return text;
}

QDate parseDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}

QString isoDate(const QDate &d)
{
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString isoDateTime(const QDateTime &dt)
{
    return dt.isValid() ? dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QDate fromIsoDate(const QString &text)
{
    if (text.size() >= 10 && text.at(4) == u'-' && text.at(7) == u'-' && (text.size() == 10 || text.at(10) == u' ')) {
        const int y = digitsAt(text, 0, 4);
        const int m = digitsAt(text, 5, 2);
        const int d = digitsAt(text, 8, 2);
        if (y >= 0 && m >= 0 && d >= 0)
            return QDate(y, m, d);
    }
    return QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
}

QString number(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == 0.0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'g', 15);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

double parseAmount(const QString &text, bool *ok)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    const bool matches = re.match(t).hasMatch();
    bool converted = false;
    const double v = matches ? t.toDouble(&converted) : 0.0;
    if (ok)
        *ok = matches && converted;
    return matches && converted ? v : 0.0;
}

QString amount2(double value)
{
    QString s = QString::number(roundAmount(value), 'f', 2);
    if (s == QLatin1String("-0.00"))
        s = QStringLiteral("0.00");
    return s;
}

double roundAmount(double value)
{
    const double scaled = std::fabs(value) * 100.0;
    // The small bias absorbs the representation error of values such as 11.955.
    const double rounded = std::floor(scaled + 0.5 + 1e-7) / 100.0;
    return value < 0 ? -rounded : rounded;
}

QString dayName(int dayOfWeek)
{
    static const char *const names[] = {"Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi", "Dimanche"};
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? QString::fromUtf8(names[dayOfWeek - 1]) : QString();
}

QString monthName(int month)
{
    static const char *const names[] = {"janvier", "février", "mars", "avril", "mai", "juin",
                                        "juillet", "août", "septembre", "octobre", "novembre", "décembre"};
    return month >= 1 && month <= 12 ? QString::fromUtf8(names[month - 1]) : QString();
}

} // namespace Format
