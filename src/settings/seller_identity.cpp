#include "settings/seller_identity.h"

#include "settings/ini_file.h"

#include <QRegularExpression>

namespace {

const QString kHotel = QStringLiteral("Hotel");

} // namespace

SellerIdentity SellerIdentity::read()
{
    const QStringList keys = {QStringLiteral("nom"),
                              QStringLiteral("siret"),
                              QStringLiteral("tva"),
                              QStringLiteral("formeJuridique"),
                              QStringLiteral("capital"),
                              QStringLiteral("rcs"),
                              QStringLiteral("conditionsPaiement"),
                              QStringLiteral("penalitesRetard"),
                              QStringLiteral("facturx"),
                              QStringLiteral("monaie"),
                              QStringLiteral("adresse1"),
                              QStringLiteral("adresse2"),
                              QStringLiteral("adresse3"),
                              QStringLiteral("adresse4"),
                              QStringLiteral("email")};
    QList<QPair<QString, QString>> pairs;
    QStringList defaults;
    for (const QString &k : keys) {
        pairs.append({kHotel, k});
        defaults << QString();
    }
    defaults[9] = QStringLiteral("€");
    const QStringList v = IniFile().readStrings(pairs, defaults);
    const auto truth = [](const QString &text) {
        const QString t = text.trimmed().toLower();
        return t == QLatin1String("true") || (!t.isEmpty() && t != QLatin1String("0") && t.toInt() != 0);
    };
    SellerIdentity s;
    s.nom = v.at(0).trimmed();
    s.siret = v.at(1).trimmed();
    s.tva = v.at(2).trimmed();
    s.formeJuridique = v.at(3).trimmed();
    s.capital = v.at(4).trimmed();
    s.rcs = v.at(5).trimmed();
    s.conditionsPaiement = v.at(6).trimmed();
    s.penalitesRetard = truth(v.at(7));
    s.facturx = truth(v.at(8));
    s.monnaie = v.at(9).isEmpty() ? QStringLiteral("€") : v.at(9);
    for (int i = 10; i < 14; ++i)
        if (!v.at(i).trimmed().isEmpty())
            s.adresse << v.at(i).trimmed();
    s.email = v.at(14).trimmed();
    return s;
}

void SellerIdentity::write() const
{
    IniFile ini;
    ini.writeString(kHotel, QStringLiteral("siret"), siret);
    ini.writeString(kHotel, QStringLiteral("formeJuridique"), formeJuridique);
    ini.writeString(kHotel, QStringLiteral("capital"), capital);
    ini.writeString(kHotel, QStringLiteral("rcs"), rcs);
    ini.writeString(kHotel, QStringLiteral("conditionsPaiement"), conditionsPaiement);
    ini.writeBool(kHotel, QStringLiteral("penalitesRetard"), penalitesRetard);
    ini.writeBool(kHotel, QStringLiteral("facturx"), facturx);
}

QString SellerIdentity::siretDigits() const
{
    QString digits;
    for (const QChar c : siret)
        if (c.isDigit())
            digits += c;
    return digits;
}

QString SellerIdentity::siren() const
{
    return siretDigits().left(9);
}

QString SellerIdentity::tvaCompact() const
{
    QString out = tva;
    out.remove(QRegularExpression(QStringLiteral("[\\s.\\-]")));
    return out.toUpper();
}

QString SellerIdentity::penaltiesNotice(const QString &monnaie)
{
    return QStringLiteral("En cas de retard de paiement : pénalités au taux de trois fois le taux d'intérêt légal "
                          "et indemnité forfaitaire pour frais de recouvrement de 40 %1.")
        .arg(monnaie);
}

QString SellerIdentity::identityLine() const
{
    QStringList identity;
    if (!formeJuridique.isEmpty() || !capital.isEmpty()) {
        QString company = nom;
        if (!formeJuridique.isEmpty())
            company += (company.isEmpty() ? QString() : QStringLiteral(", ")) + formeJuridique;
        if (!capital.isEmpty())
            company += QStringLiteral(" au capital de ") + capital + QLatin1Char(' ') + monnaie;
        identity << company.trimmed();
    }
    const QString digits = siretDigits();
    if (!digits.isEmpty())
        identity << (digits.size() == 14 ? QStringLiteral("SIRET ") : QStringLiteral("SIREN ")) + siret;
    if (!rcs.isEmpty())
        identity << QStringLiteral("RCS ") + rcs + (digits.size() >= 9 ? QLatin1Char(' ') + siren() : QString());
    return identity.join(QStringLiteral(" - "));
}

QString SellerIdentity::paymentLine() const
{
    QStringList terms;
    if (!conditionsPaiement.isEmpty())
        terms << QStringLiteral("Conditions de paiement : ") + conditionsPaiement;
    if (penalitesRetard)
        terms << penaltiesNotice(monnaie);
    return terms.join(QStringLiteral(" - "));
}

QStringList SellerIdentity::missingForFacturx(bool withVat) const
{
    QStringList missing;
    if (nom.isEmpty())
        missing << QStringLiteral("le nom de l'hôtel");
    const QString digits = siretDigits();
    if (digits.size() != 9 && digits.size() != 14)
        missing << QStringLiteral("le SIREN (9 chiffres) ou le SIRET (14 chiffres)");
    static const QRegularExpression vat(QStringLiteral("^[A-Z]{2}[0-9A-Z]{2,13}$"));
    if (withVat && !vat.match(tvaCompact()).hasMatch())
        missing << QStringLiteral("le numéro de TVA intracommunautaire (par exemple FR12345678901)");
    return missing;
}
