#pragma once

#include <QString>
#include <QStringList>

// The hotel's legal identity as invoices must show it, from [Hotel] of
// config.ini: `siret` (SIREN, 9 digits, or SIRET, 14), `formeJuridique`,
// `capital`, `rcs` (the town of the trade register), `conditionsPaiement`,
// `penalitesRetard` (business clients: late-payment penalties and the 40 €
// recovery indemnity apply) and `facturx` (every invoice written as an
// electronic invoice). The VAT number is the existing `tva` key.
struct SellerIdentity
{
    QString nom;
    QString siret;
    QString tva;
    QString formeJuridique;
    QString capital;
    QString rcs;
    QString conditionsPaiement;
    bool penalitesRetard = false;
    bool facturx = false;
    QString monnaie = QStringLiteral("€");
    QStringList adresse; // the non-empty lines of adresse1..adresse4
    QString email;

    static SellerIdentity read();
    // Writes the keys this struct adds (nom and tva belong to the hotel form).
    void write() const;

    // Digits only: "123 456 789 00012" -> "12345678900012".
    QString siretDigits() const;
    // The first nine digits: the company's SIREN.
    QString siren() const;
    // "FR 12 345678901" -> "FR12345678901".
    QString tvaCompact() const;

    // The texts of a document's footer, each empty part left out: the legal
    // identity (every document) and, for invoices, the payment terms and the
    // late-payment mentions.
    QString identityLine() const;
    QString paymentLine() const;
    // The late-payment mention printed when penalitesRetard is set.
    static QString penaltiesNotice(const QString &monnaie);

    // What an electronic invoice needs and is missing, in French; empty when
    // nothing is. withVat: the invoice bills VAT, so the VAT number is needed.
    QStringList missingForFacturx(bool withVat) const;
};
