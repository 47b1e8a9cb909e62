#pragma once

#include <QString>

// Prices before and after VAT. Every window that derives one price from the
// other goes through these, so that all of them round the same way
// (Format::roundAmount: two decimals, halves up).
namespace Amounts {

// The entry of a rate list that stands for "no rate" (nine hyphens, worth 0).
inline QString noRateText()
{
    return QStringLiteral("---------");
}

// TTC = HT + HT x rate / 100, rounded.
double ttcFromHt(double ht, double rate);
// HT = TTC / (rate / 100 + 1), rounded.
double htFromTtc(double ttc, double rate);

// The same on the texts of a form: amounts and rate typed with "," or ".",
// result in the general number format ("11,96"). When the price or the rate is
// not a number (the rate "---------" in particular) the typed price is returned
// as it is: without a rate both prices are equal.
QString ttcFromHtText(const QString &ht, const QString &rate);
QString htFromTtcText(const QString &ttc, const QString &rate);

} // namespace Amounts
