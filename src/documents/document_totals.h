#pragma once

#include <QString>

class TextGrid;

// The totals of an invoice or a quote, computed from its line grid and its
// general discount, as the forms show them (texts in the general number format).
namespace DocumentTotals {

struct Totaux
{
    QString ht = QStringLiteral("0");
    QString tva = QStringLiteral("0");
    QString ttc = QStringLiteral("0");
    bool operator==(const Totaux &) const = default;
};

// Sums columns 3 (before tax) and 5 (after tax) of every line (rows from 1
// whose column 0 holds a service id); the tax is their difference. A discount
// (an amount before tax) is then taken off the total before tax and the tax is
// reduced in the same ratio. The tax is rounded to the cent, halves away from
// zero, and the total after tax is the total before tax plus that tax. No
// discount is applied when remise is empty or not a number, or when the lines
// total 0 before tax.
Totaux calculer(const TextGrid &lignes, const QString &remise);

// "Reste à payer": total after tax minus the deposit, an empty field counting
// as 0. Empty when either is not a number.
QString resteAPayer(const QString &ttc, const QString &acompte);

// Checks the amounts typed in a form before saving: the empty text when they
// are numbers (an empty "Remise" or "Acompte" counts as 0), otherwise a French
// message naming the first field that is not one.
QString verifierMontants(const QString &remise, const QString &acompte);

} // namespace DocumentTotals
