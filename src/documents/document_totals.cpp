#include "documents/document_totals.h"

#include "common/format.h"
#include "common/text_grid.h"

#include <cmath>

namespace DocumentTotals {

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
    const double linesHt = ht;
    double tva = ttc - ht;

    bool ok = false;
    const double discount = Format::parseAmount(remise, &ok);
    if (!remise.trimmed().isEmpty() && ok && Format::number(linesHt) != QLatin1String("0")) {
        ht = linesHt - discount;
        // The tax shrinks with the base; computed in one step so that a tax of
        // 48,345 stays a half and rounds to 48,35.
        tva = tva * ht / linesHt;
    }
    tva = Format::roundAmount(tva);
    return {Format::number(ht), Format::number(tva), Format::number(ht + tva)};
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
