#include "documents/vat_breakdown.h"

#include "common/format.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace VatBreakdown {

qint64 cents(double amount)
{
    return qint64(std::llround(Format::roundAmount(amount) * 100.0));
}

QList<qint64> share(qint64 total, const QList<qint64> &weights)
{
    QList<qint64> out(weights.size(), 0);
    if (weights.isEmpty())
        return out;
    qint64 sum = 0;
    bool negative = false;
    for (const qint64 w : weights) {
        sum += w;
        negative = negative || w < 0;
    }
    if (sum == 0 || negative) {
        // No proportion to follow: everything to the heaviest weight.
        const auto heaviest = std::max_element(weights.begin(), weights.end(), [](qint64 a, qint64 b) {
            return std::llabs(a) < std::llabs(b);
        });
        out[heaviest - weights.begin()] = total;
        return out;
    }
    const qint64 sign = total < 0 ? -1 : 1;
    const qint64 magnitude = total * sign;
    QList<QPair<long double, int>> remainders;
    qint64 given = 0;
    for (int i = 0; i < weights.size(); ++i) {
        const long double exact = static_cast<long double>(magnitude) * weights[i] / sum;
        const auto whole = qint64(std::floor(exact));
        out[i] = whole;
        given += whole;
        remainders.append({exact - whole, i});
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    for (int k = 0; given < magnitude; ++k, ++given)
        ++out[remainders[k % remainders.size()].second];
    for (qint64 &v : out)
        v *= sign;
    return out;
}

Totals compute(const DocumentStore::Record &r)
{
    Totals t;
    QList<qint64> lineTax;
    for (const DocumentStore::Line &l : r.lines) {
        const double rate = l.taux.isNull() ? 0 : l.taux.toDouble();
        const bool exempt = l.taux.isNull() || rate == 0;
        auto it = std::find_if(t.rates.begin(), t.rates.end(), [&](const Rate &g) {
            return g.exempt == exempt && (exempt || g.rate == rate);
        });
        if (it == t.rates.end()) {
            Rate g;
            g.exempt = exempt;
            g.rate = exempt ? 0 : rate;
            t.rates.append(g);
            lineTax.append(0);
            it = t.rates.end() - 1;
        }
        const qint64 ht = cents(l.ht);
        it->lines += ht;
        lineTax[it - t.rates.begin()] += exempt ? 0 : cents(l.ttc) - ht;
        t.lines += ht;
    }
    // Increasing rate order, the exempt group first.
    QList<int> order(t.rates.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Rate &x = t.rates[a], &y = t.rates[b];
        if (x.exempt != y.exempt)
            return x.exempt;
        return x.rate < y.rate;
    });
    QList<Rate> sorted;
    QList<qint64> sortedTax;
    for (const int i : order) {
        sorted.append(t.rates[i]);
        sortedTax.append(lineTax[i]);
    }
    t.rates = sorted;

    t.discount = cents(r.remise);
    t.ht = cents(r.ht);
    t.ttc = cents(r.ttc);
    t.tax = t.ttc - t.ht;
    t.deposit = cents(r.acompte);
    t.due = t.ttc - t.deposit;

    QList<qint64> bases;
    for (const Rate &g : t.rates)
        bases.append(g.lines);
    const QList<qint64> discounts = share(t.discount, bases);
    for (int i = 0; i < t.rates.size(); ++i) {
        t.rates[i].discount = discounts[i];
        t.rates[i].base = t.rates[i].lines - discounts[i];
    }

    const qint64 lineTaxSum = std::accumulate(sortedTax.begin(), sortedTax.end(), qint64(0));
    QList<qint64> taxes = sortedTax;
    if (lineTaxSum != t.tax) {
        QList<qint64> weights = sortedTax;
        if (lineTaxSum == 0) {
            // Lines stored without their tax: the rates' own weight.
            for (int i = 0; i < t.rates.size(); ++i)
                weights[i] = t.rates[i].exempt ? 0 : qint64(std::llround(t.rates[i].base * t.rates[i].rate));
        }
        taxes = share(t.tax, weights);
    }
    for (int i = 0; i < t.rates.size(); ++i)
        t.rates[i].tax = taxes[i];
    return t;
}

} // namespace VatBreakdown
