#include "common/amounts.h"

#include "common/format.h"

namespace Amounts {

double ttcFromHt(double ht, double rate)
{
    return Format::roundAmount(ht + ht * rate / 100.0);
}

double htFromTtc(double ttc, double rate)
{
    return Format::roundAmount(ttc / (rate / 100.0 + 1.0));
}

namespace {
QString convert(const QString &price, const QString &rate, double (*f)(double, double))
{
    bool priceOk = false;
    bool rateOk = false;
    const double p = Format::parseAmount(price, &priceOk);
    const double r = Format::parseAmount(rate, &rateOk);
    // A rate of -100 % would divide by zero.
    if (!priceOk || !rateOk || r <= -100.0)
        return price;
    return Format::number(f(p, r));
}
} // namespace

QString ttcFromHtText(const QString &ht, const QString &rate)
{
    return convert(ht, rate, &ttcFromHt);
}

QString htFromTtcText(const QString &ttc, const QString &rate)
{
    return convert(ttc, rate, &htFromTtc);
}

} // namespace Amounts
