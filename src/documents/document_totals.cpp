#include "documents/document_totals.h"

#include "common/format.h"
#include "common/text_grid.h"

#include <cmath>

namespace DocumentTotals {

double tronquerCentimes(double value)
{
    const double hundredths = value * 100.0;
    // A value meant as a whole number of hundredths may come out a hair below it.
    const double cut = std::trunc(hundredths + (hundredths >= 0 ? 1e-7 : -1e-7));
    return cut / 100.0;
}

Totaux calculer(const TextGrid &lignes, const QString &remise)
{
    double ht = 0;
    double ttc = 0;
    for (int r = 1; r < lignes.rowCount(); ++r) {
        if (lignes.cell(r, 0).trimmed().isEmpty())
            continue;
        ht += Format::parseAmount(lignes.cell(r, 3));
        ttc += Format::parseAmount(lignes.cell(r, 5));
    }
    double tva = ttc - ht;
    Totaux totaux{Format::number(ht), Format::number(tva), Format::number(ttc)};

    bool ok = false;
    const double discount = Format::parseAmount(remise, &ok);
    if (remise.trimmed().isEmpty() || !ok || totaux.ht == QLatin1String("0"))
        return totaux;
    const double ratio = discount / ht;
    ht -= discount;
    tva = tronquerCentimes(tva * (1 - ratio));
    ttc = tronquerCentimes(tva + ht);
    return {Format::number(ht), Format::number(tva), Format::number(ttc)};
}

QString resteAPayer(const QString &ttc, const QString &acompte)
{
    bool okTtc = true;
    bool okAcompte = true;
    const double total = ttc.trimmed().isEmpty() ? 0 : Format::parseAmount(ttc, &okTtc);
    const double deposit = acompte.trimmed().isEmpty() ? 0 : Format::parseAmount(acompte, &okAcompte);
    if (!okTtc || !okAcompte)
        return {};
    return Format::number(total - deposit);
}

QString verifierMontants(const QString &remise, const QString &acompte)
{
    const auto isAmount = [](const QString &text) {
        bool ok = true;
        if (!text.trimmed().isEmpty())
            Format::parseAmount(text, &ok);
        return ok;
    };
    if (!isAmount(remise))
        return QStringLiteral("La remise « %1 » n'est pas un nombre.").arg(remise.trimmed());
    if (!isAmount(acompte))
        return QStringLiteral("L'acompte « %1 » n'est pas un nombre.").arg(acompte.trimmed());
    return {};
}

} // namespace DocumentTotals
