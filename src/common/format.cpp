#include "common/format.h"

#include <QRegularExpression>

#include <cmath>

namespace Format {

QDate zeroDate()
{
    return QDate(1899, 12, 30);
}

QString date(const QDate &d)
{
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
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
