#include "common/price_validator.h"

PriceValidator::PriceValidator(QObject *parent, int maxLength) : QValidator(parent), m_maxLength(maxLength) {}

QValidator::State PriceValidator::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos);
    input.replace(QLatin1Char('.'), QLatin1Char(','));
    int commas = 0;
    for (const QChar c : std::as_const(input)) {
        if (c == QLatin1Char(','))
            ++commas;
        else if (!c.isDigit() || c.unicode() > 0x7f)
            return Invalid;
    }
    if (commas > 1 || (m_maxLength > 0 && input.size() > m_maxLength))
        return Invalid;
    return Acceptable;
}
