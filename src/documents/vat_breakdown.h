#pragma once

#include "data/document_store.h"

#include <QList>

// The totals of a stored invoice per VAT rate, in cents, as the printed invoice
// and its electronic copy show them. They add up exactly to the totals the
// document prints:
// - the base of a rate is the sum of its lines before tax less its share of
//   the general discount; the discount is shared in proportion to the lines'
//   totals, by the largest remainder, so that the shares add up to it;
// - the tax of a rate is the sum of its lines' taxes (after tax less before
//   tax, each line cut to the cent as stored); when a discount or rounding
//   makes the document's tax (total after tax less total before tax) differ,
//   that tax is shared among the rates in proportion to their line taxes, by
//   the largest remainder.
// Lines without a rate and lines at 0 % form one group without tax.
namespace VatBreakdown {

struct Rate
{
    bool exempt = false; // no rate, or 0 %
    double rate = 0;     // percent
    qint64 lines = 0;    // lines before tax
    qint64 discount = 0; // share of the general discount
    qint64 base = 0;     // lines - discount
    qint64 tax = 0;
};

struct Totals
{
    QList<Rate> rates; // in increasing rate order, the exempt group first
    qint64 lines = 0;  // every line before tax
    qint64 discount = 0;
    qint64 ht = 0;  // as printed: the stored total before tax
    qint64 tax = 0; // as printed: total after tax less total before tax
    qint64 ttc = 0;
    qint64 deposit = 0;
    qint64 due = 0; // ttc - deposit
    // The stored totals match the lines: lines - discount == ht.
    bool consistent() const { return lines - discount == ht; }
};

qint64 cents(double amount);
Totals compute(const DocumentStore::Record &record);

// Shares `total` among weights by the largest remainder; the shares add up to
// total. Weights of 0 get 0 unless every weight is 0 (then the first gets all).
QList<qint64> share(qint64 total, const QList<qint64> &weights);

} // namespace VatBreakdown
