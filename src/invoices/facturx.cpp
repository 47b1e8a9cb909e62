#include "invoices/facturx.h"

#include "common/errors.h"
#include "common/format.h"
#include "documents/vat_breakdown.h"
#include "pdf/pdf_doc.h"
#include "pdf/pdf_error.h"

#include <QFile>
#include <QMutex>
#include <QRegularExpression>

#include <cmath>

namespace {

const char kFileName[] = "factur-x.xml";

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString money(qint64 cents)
{
    return Format::amount2(cents / 100.0);
}

// A decimal with a point and no trailing zeros beyond `minDecimals`.
QString decimal(double value, int maxDecimals, int minDecimals = 0)
{
    QString s = QString::number(value, 'f', maxDecimals);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')) && s.size() - s.indexOf(QLatin1Char('.')) - 1 > minDecimals)
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s;
}

QString isoDay(const QDate &date)
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QString dateElement(const char *name, const QDate &date)
{
    return QStringLiteral("<ram:%1><udt:DateTimeString format=\"102\">%2</udt:DateTimeString></ram:%1>")
        .arg(QLatin1String(name), isoDay(date));
}

bool isEuro(const QString &symbol)
{
    const QString s = symbol.trimmed().toLower();
    return s == QStringLiteral("€") || s == QLatin1String("eur") || s == QLatin1String("euro") ||
           s == QLatin1String("euros");
}

struct Address
{
    QString postcode, city;
    QStringList lines;
};

// Free address lines: the one that starts with five digits gives the postcode
// and the town, the others (three at most) the street.
Address parseAddress(const QStringList &lines)
{
    static const QRegularExpression cityLine(QStringLiteral("^(\\d{5})\\s+(.+)$"));
    Address a;
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch m = cityLine.match(line);
        if (a.postcode.isEmpty() && m.hasMatch()) {
            a.postcode = m.captured(1);
            a.city = m.captured(2).trimmed();
        } else if (a.lines.size() < 3) {
            a.lines << line;
        }
    }
    return a;
}

QString addressXml(const Address &a)
{
    QString x = QStringLiteral("<ram:PostalTradeAddress>");
    if (!a.postcode.isEmpty())
        x += QStringLiteral("<ram:PostcodeCode>") + esc(a.postcode) + QStringLiteral("</ram:PostcodeCode>");
    const char *names[] = {"LineOne", "LineTwo", "LineThree"};
    for (int i = 0; i < a.lines.size() && i < 3; ++i)
        x += QStringLiteral("<ram:%1>%2</ram:%1>").arg(QLatin1String(names[i]), esc(a.lines.at(i)));
    if (!a.city.isEmpty())
        x += QStringLiteral("<ram:CityName>") + esc(a.city) + QStringLiteral("</ram:CityName>");
    x += QStringLiteral("<ram:CountryID>FR</ram:CountryID></ram:PostalTradeAddress>");
    return x;
}

QString digitsOf(const QString &text)
{
    QString d;
    for (const QChar c : text)
        if (c.isDigit())
            d += c;
    return d;
}

QString compactVat(const QString &text)
{
    QString out = text;
    out.remove(QRegularExpression(QStringLiteral("[\\s.\\-]")));
    return out.toUpper();
}

QString buyerName(const Facturx::Invoice &inv, const QStringList &billing)
{
    if (inv.buyer) {
        if (inv.buyer->isCompany())
            return inv.buyer->nomEts.trimmed();
        const QString person = QString(inv.buyer->prenom.trimmed() + QLatin1Char(' ') + inv.buyer->nom.trimmed()).trimmed();
        if (!person.isEmpty())
            return person;
    }
    return billing.value(0).trimmed();
}

// Why lines bear no tax: the franchise of small businesses when no line bears
// any, else lines outside VAT (the tourist tax, for one).
const QString kFranchise = QStringLiteral("TVA non applicable, art. 293 B du CGI");
const QString kOutside = QStringLiteral("Non soumis à la TVA");

// The payment mode as a UN/ECE 4461 code; empty when it names none we can
// give without the account it would need (a transfer needs the IBAN).
QString paymentMeans(const QString &mode)
{
    if (mode == QLatin1String("Espèces"))
        return QStringLiteral("10");
    if (mode == QLatin1String("Chèque"))
        return QStringLiteral("20");
    if (mode == QLatin1String("CB"))
        return QStringLiteral("48");
    return {};
}

} // namespace

namespace Facturx {

QString refusal(const Invoice &inv)
{
    const DocumentStore::Record &r = inv.content.record;
    if (!r.found)
        return QStringLiteral("La facture N° %1 n'existe pas.").arg(inv.content.numero);
    const VatBreakdown::Totals totals = VatBreakdown::compute(r);
    bool withVat = false;
    for (const VatBreakdown::Rate &g : totals.rates)
        withVat = withVat || !g.exempt;
    QStringList missing = inv.seller.missingForFacturx(withVat);
    if (!isEuro(inv.seller.monnaie))
        missing << QStringLiteral("l'euro (€) comme symbole monétaire des factures");
    if (!missing.isEmpty())
        return QStringLiteral("La facture électronique (Factur-X) N° %1 ne peut pas être écrite : renseignez "
                              "dans les paramètres (onglets « Entreprise » et « Mentions légales ») %2.")
            .arg(QString::number(inv.content.numero), missing.join(QStringLiteral(", ")));
    if (r.lines.isEmpty())
        return QStringLiteral("La facture N° %1 n'a aucune ligne : elle ne peut pas être écrite en facture "
                              "électronique (Factur-X).")
            .arg(inv.content.numero);
    if (!totals.consistent())
        return QStringLiteral("Les totaux enregistrés de la facture N° %1 ne correspondent pas à ses lignes : "
                              "ouvrez-la, puis enregistrez-la à nouveau avant d'en écrire la facture "
                              "électronique (Factur-X).")
            .arg(inv.content.numero);
    return {};
}

QByteArray xml(const Invoice &inv)
{
    const QString refused = refusal(inv);
    if (!refused.isEmpty())
        throw KestrovaError(refused);
    const DocumentStore::Record &r = inv.content.record;
    const SellerIdentity &seller = inv.seller;
    const VatBreakdown::Totals t = VatBreakdown::compute(r);
    const QStringList billing = r.adresse.split(QRegularExpression(QStringLiteral("\\r\\n|\\n|\\r")));

    auto tax = [](const VatBreakdown::Rate &g) {
        return QStringLiteral("<ram:CategoryCode>%1</ram:CategoryCode><ram:RateApplicablePercent>%2"
                              "</ram:RateApplicablePercent>")
            .arg(g.exempt ? QStringLiteral("E") : QStringLiteral("S"), decimal(g.rate, 3));
    };
    auto findGroup = [&t](const DocumentStore::Line &l) -> const VatBreakdown::Rate & {
        const double rate = l.taux.isNull() ? 0 : l.taux.toDouble();
        const bool exempt = l.taux.isNull() || rate == 0;
        for (const VatBreakdown::Rate &g : t.rates)
            if (g.exempt == exempt && (exempt || g.rate == rate))
                return g;
        return t.rates.first();
    };

    QString x;
    x.reserve(8192 + 900 * r.lines.size());
    x += QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<rsm:CrossIndustryInvoice xmlns:rsm=\"urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100\" "
        "xmlns:qdt=\"urn:un:unece:uncefact:data:standard:QualifiedDataType:100\" "
        "xmlns:ram=\"urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100\" "
        "xmlns:udt=\"urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100\">\n"
        "<rsm:ExchangedDocumentContext><ram:GuidelineSpecifiedDocumentContextParameter>"
        "<ram:ID>urn:cen.eu:en16931:2017</ram:ID></ram:GuidelineSpecifiedDocumentContextParameter>"
        "</rsm:ExchangedDocumentContext>\n");
    x += QStringLiteral("<rsm:ExchangedDocument><ram:ID>%1</ram:ID><ram:TypeCode>380</ram:TypeCode>")
             .arg(inv.content.numero);
    x += dateElement("IssueDateTime", r.date.isValid() ? r.date : QDate::currentDate());
    const auto note = [&x](const QString &text, const char *subject) {
        x += QStringLiteral("<ram:IncludedNote><ram:Content>%1</ram:Content><ram:SubjectCode>%2</ram:SubjectCode>"
                            "</ram:IncludedNote>")
                 .arg(esc(text), QLatin1String(subject));
    };
    if (!seller.conditionsPaiement.isEmpty())
        note(QStringLiteral("Conditions de paiement : ") + seller.conditionsPaiement, "AAB");
    if (seller.penalitesRetard) {
        note(QStringLiteral("Pénalités de retard : trois fois le taux d'intérêt légal."), "PMD");
        note(QStringLiteral("Indemnité forfaitaire pour frais de recouvrement : 40 €."), "PMT");
    }
    x += QStringLiteral("</rsm:ExchangedDocument>\n<rsm:SupplyChainTradeTransaction>\n");

    int lineId = 0;
    for (const DocumentStore::Line &l : r.lines) {
        const VatBreakdown::Rate &g = findGroup(l);
        const qint64 ht = VatBreakdown::cents(l.ht);
        // The unit price as printed when it is a whole number of cents, else
        // with the decimals that make quantity x price the line total.
        const double unit = l.nb != 0 ? l.ht / l.nb : 0;
        x += QStringLiteral("<ram:IncludedSupplyChainTradeLineItem><ram:AssociatedDocumentLineDocument>"
                            "<ram:LineID>%1</ram:LineID></ram:AssociatedDocumentLineDocument>"
                            "<ram:SpecifiedTradeProduct><ram:Name>%2</ram:Name></ram:SpecifiedTradeProduct>"
                            "<ram:SpecifiedLineTradeAgreement><ram:NetPriceProductTradePrice><ram:ChargeAmount>%3"
                            "</ram:ChargeAmount></ram:NetPriceProductTradePrice></ram:SpecifiedLineTradeAgreement>"
                            "<ram:SpecifiedLineTradeDelivery><ram:BilledQuantity unitCode=\"C62\">%4"
                            "</ram:BilledQuantity></ram:SpecifiedLineTradeDelivery>"
                            "<ram:SpecifiedLineTradeSettlement><ram:ApplicableTradeTax>%5%6</ram:ApplicableTradeTax>"
                            "<ram:SpecifiedTradeSettlementLineMonetarySummation><ram:LineTotalAmount>%7"
                            "</ram:LineTotalAmount></ram:SpecifiedTradeSettlementLineMonetarySummation>"
                            "</ram:SpecifiedLineTradeSettlement></ram:IncludedSupplyChainTradeLineItem>\n")
                 .arg(QString::number(++lineId), esc(l.libelle.trimmed().isEmpty() ? QStringLiteral("-") : l.libelle),
                      decimal(unit, 4, 2), QString::number(l.nb), QStringLiteral("<ram:TypeCode>VAT</ram:TypeCode>"), tax(g),
                      money(ht));
    }

    // Parties.
    x += QStringLiteral("<ram:ApplicableHeaderTradeAgreement><ram:SellerTradeParty><ram:Name>") + esc(seller.nom) +
         QStringLiteral("</ram:Name>");
    const QString identity = seller.identityLine();
    if (!identity.isEmpty())
        x += QStringLiteral("<ram:Description>") + esc(identity) + QStringLiteral("</ram:Description>");
    x += QStringLiteral("<ram:SpecifiedLegalOrganization><ram:ID schemeID=\"0002\">") + seller.siren() +
         QStringLiteral("</ram:ID></ram:SpecifiedLegalOrganization>");
    x += addressXml(parseAddress(seller.adresse));
    if (!seller.email.isEmpty())
        x += QStringLiteral("<ram:URIUniversalCommunication><ram:URIID schemeID=\"EM\">") + esc(seller.email) +
             QStringLiteral("</ram:URIID></ram:URIUniversalCommunication>");
    if (!seller.tvaCompact().isEmpty())
        x += QStringLiteral("<ram:SpecifiedTaxRegistration><ram:ID schemeID=\"VA\">") + esc(seller.tvaCompact()) +
             QStringLiteral("</ram:ID></ram:SpecifiedTaxRegistration>");
    else
        // Lines without tax need an identifier of the seller for the tax
        // office: without a VAT number, the SIREN.
        x += QStringLiteral("<ram:SpecifiedTaxRegistration><ram:ID schemeID=\"FC\">") + seller.siren() +
             QStringLiteral("</ram:ID></ram:SpecifiedTaxRegistration>");
    x += QStringLiteral("</ram:SellerTradeParty>");

    x += QStringLiteral("<ram:BuyerTradeParty><ram:Name>") + esc(buyerName(inv, billing)) + QStringLiteral("</ram:Name>");
    const QString buyerSiren = inv.buyer ? digitsOf(inv.buyer->siren).left(9) : QString();
    if (buyerSiren.size() == 9)
        x += QStringLiteral("<ram:SpecifiedLegalOrganization><ram:ID schemeID=\"0002\">") + buyerSiren +
             QStringLiteral("</ram:ID></ram:SpecifiedLegalOrganization>");
    Address buyerAddress;
    if (inv.buyer && (!inv.buyer->codepostal.trimmed().isEmpty() || !inv.buyer->ville.trimmed().isEmpty())) {
        buyerAddress.postcode = inv.buyer->codepostal.trimmed();
        buyerAddress.city = inv.buyer->ville.trimmed();
        for (const QString &line : {inv.buyer->adresse1, inv.buyer->adresse2})
            if (!line.trimmed().isEmpty())
                buyerAddress.lines << line.trimmed();
    } else {
        buyerAddress = parseAddress(billing.mid(1));
    }
    x += addressXml(buyerAddress);
    if (inv.buyer && !inv.buyer->email.trimmed().isEmpty())
        x += QStringLiteral("<ram:URIUniversalCommunication><ram:URIID schemeID=\"EM\">") +
             esc(inv.buyer->email.trimmed()) + QStringLiteral("</ram:URIID></ram:URIUniversalCommunication>");
    const QString buyerVat = inv.buyer ? compactVat(inv.buyer->tvaIntra) : QString();
    if (!buyerVat.isEmpty())
        x += QStringLiteral("<ram:SpecifiedTaxRegistration><ram:ID schemeID=\"VA\">") + esc(buyerVat) +
             QStringLiteral("</ram:ID></ram:SpecifiedTaxRegistration>");
    x += QStringLiteral("</ram:BuyerTradeParty></ram:ApplicableHeaderTradeAgreement>\n");

    x += QStringLiteral("<ram:ApplicableHeaderTradeDelivery/>\n");

    // Settlement.
    x += QStringLiteral("<ram:ApplicableHeaderTradeSettlement><ram:InvoiceCurrencyCode>EUR</ram:InvoiceCurrencyCode>");
    const QString means = paymentMeans(r.mode);
    if (!means.isEmpty())
        x += QStringLiteral("<ram:SpecifiedTradeSettlementPaymentMeans><ram:TypeCode>%1</ram:TypeCode>"
                            "<ram:Information>%2</ram:Information></ram:SpecifiedTradeSettlementPaymentMeans>")
                 .arg(means, esc(r.mode));
    bool anyVat = false;
    for (const VatBreakdown::Rate &g : t.rates)
        anyVat = anyVat || !g.exempt;
    for (const VatBreakdown::Rate &g : t.rates) {
        x += QStringLiteral("<ram:ApplicableTradeTax><ram:CalculatedAmount>%1</ram:CalculatedAmount>"
                            "<ram:TypeCode>VAT</ram:TypeCode>")
                 .arg(money(g.tax));
        if (g.exempt)
            x += QStringLiteral("<ram:ExemptionReason>") + esc(anyVat ? kOutside : kFranchise) +
                 QStringLiteral("</ram:ExemptionReason>");
        x += QStringLiteral("<ram:BasisAmount>%1</ram:BasisAmount>").arg(money(g.base)) + tax(g) +
             QStringLiteral("</ram:ApplicableTradeTax>");
    }
    if (r.sejourDebut.isValid() && r.sejourFin.isValid())
        x += QStringLiteral("<ram:BillingSpecifiedPeriod>") + dateElement("StartDateTime", r.sejourDebut) +
             dateElement("EndDateTime", r.sejourFin) + QStringLiteral("</ram:BillingSpecifiedPeriod>");
    qint64 allowances = 0;
    qint64 charges = 0;
    for (const VatBreakdown::Rate &g : t.rates) {
        if (g.discount == 0)
            continue;
        // A negative discount adds to the invoice: a charge.
        const bool charge = g.discount < 0;
        (charge ? charges : allowances) += std::llabs(g.discount);
        x += QStringLiteral("<ram:SpecifiedTradeAllowanceCharge><ram:ChargeIndicator><udt:Indicator>%1"
                            "</udt:Indicator></ram:ChargeIndicator><ram:ActualAmount>%2</ram:ActualAmount>"
                            "<ram:Reason>Remise</ram:Reason><ram:CategoryTradeTax><ram:TypeCode>VAT</ram:TypeCode>%3"
                            "</ram:CategoryTradeTax></ram:SpecifiedTradeAllowanceCharge>")
                 .arg(charge ? QStringLiteral("true") : QStringLiteral("false"), money(std::llabs(g.discount)), tax(g));
    }
    x += QStringLiteral("<ram:SpecifiedTradePaymentTerms><ram:Description>%1</ram:Description>"
                        "</ram:SpecifiedTradePaymentTerms>")
             .arg(esc(!seller.conditionsPaiement.isEmpty() ? seller.conditionsPaiement
                                                            : QStringLiteral("Mode de paiement : ") + r.mode));
    x += QStringLiteral("<ram:SpecifiedTradeSettlementHeaderMonetarySummation><ram:LineTotalAmount>%1"
                        "</ram:LineTotalAmount>")
             .arg(money(t.lines));
    if (charges)
        x += QStringLiteral("<ram:ChargeTotalAmount>%1</ram:ChargeTotalAmount>").arg(money(charges));
    if (allowances)
        x += QStringLiteral("<ram:AllowanceTotalAmount>%1</ram:AllowanceTotalAmount>").arg(money(allowances));
    x += QStringLiteral("<ram:TaxBasisTotalAmount>%1</ram:TaxBasisTotalAmount>"
                        "<ram:TaxTotalAmount currencyID=\"EUR\">%2</ram:TaxTotalAmount>"
                        "<ram:GrandTotalAmount>%3</ram:GrandTotalAmount>")
             .arg(money(t.ht), money(t.tax), money(t.ttc));
    if (t.deposit != 0)
        x += QStringLiteral("<ram:TotalPrepaidAmount>%1</ram:TotalPrepaidAmount>").arg(money(t.deposit));
    x += QStringLiteral("<ram:DuePayableAmount>%1</ram:DuePayableAmount>"
                        "</ram:SpecifiedTradeSettlementHeaderMonetarySummation>"
                        "</ram:ApplicableHeaderTradeSettlement>\n"
                        "</rsm:SupplyChainTradeTransaction>\n</rsm:CrossIndustryInvoice>\n")
             .arg(money(t.due));
    return x.toUtf8();
}

QByteArray xmpExtension()
{
    auto property = [](const char *name, const char *description) -> QByteArray {
        return QByteArray("<rdf:li rdf:parseType=\"Resource\"><pdfaProperty:name>") + name +
               "</pdfaProperty:name><pdfaProperty:valueType>Text</pdfaProperty:valueType>"
               "<pdfaProperty:category>external</pdfaProperty:category><pdfaProperty:description>" +
               description + "</pdfaProperty:description></rdf:li>\n";
    };
    QByteArray x =
        "<rdf:Description rdf:about=\"\" xmlns:fx=\"urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#\">\n"
        "<fx:DocumentType>INVOICE</fx:DocumentType>\n<fx:DocumentFileName>factur-x.xml</fx:DocumentFileName>\n"
        "<fx:Version>1.0</fx:Version>\n<fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>\n</rdf:Description>\n"
        "<rdf:Description rdf:about=\"\" xmlns:pdfaExtension=\"http://www.aiim.org/pdfa/ns/extension/\" "
        "xmlns:pdfaSchema=\"http://www.aiim.org/pdfa/ns/schema#\" "
        "xmlns:pdfaProperty=\"http://www.aiim.org/pdfa/ns/property#\">\n"
        "<pdfaExtension:schemas><rdf:Bag><rdf:li rdf:parseType=\"Resource\">\n"
        "<pdfaSchema:schema>Factur-X PDFA Extension Schema</pdfaSchema:schema>\n"
        "<pdfaSchema:namespaceURI>urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#</pdfaSchema:namespaceURI>\n"
        "<pdfaSchema:prefix>fx</pdfaSchema:prefix>\n<pdfaSchema:property><rdf:Seq>\n";
    x += property("DocumentFileName", "name of the embedded XML invoice file");
    x += property("DocumentType", "INVOICE");
    x += property("Version", "The actual version of the Factur-X XML schema");
    x += property("ConformanceLevel", "The conformance level of the embedded Factur-X data");
    x += "</rdf:Seq></pdfaSchema:property>\n</rdf:li></rdf:Bag></pdfaExtension:schemas>\n</rdf:Description>\n";
    return x;
}

QStringList fontDirectories()
{
    return {QStringLiteral("/usr/share/fonts/truetype/liberation2"),
            QStringLiteral("/usr/share/fonts/truetype/liberation")};
}

QByteArray iccProfile()
{
    static QMutex mutex;
    static QByteArray cached;
    QMutexLocker lock(&mutex);
    if (!cached.isEmpty())
        return cached;
    for (const char *path : {"/usr/share/color/icc/sRGB.icc", "/usr/share/color/icc/colord/sRGB.icc"}) {
        QFile f(QString::fromLatin1(path));
        if (f.open(QIODevice::ReadOnly)) {
            cached = f.readAll();
            if (!cached.isEmpty())
                return cached;
        }
    }
    throw KestrovaError(QStringLiteral("Le profil de couleurs sRGB (/usr/share/color/icc/sRGB.icc, paquet "
                                       "icc-profiles-free) est introuvable : la facture électronique n'a pas été "
                                       "écrite."));
}

QByteArray pdf(const Invoice &inv)
{
    const QByteArray data = xml(inv);
    PdfAProfile profile;
    profile.title = QStringLiteral("Facture N° ") + QString::number(inv.content.numero);
    profile.author = inv.seller.nom;
    profile.iccProfile = iccProfile();
    profile.extraRdf = xmpExtension();
    profile.fontDirectories = fontDirectories();
    TPdfDoc doc;
    doc.SetPdfA(profile);
    try {
        DocumentDrawer::drawPdf(inv.content, doc);
    } catch (const PdfError &e) {
        throw KestrovaError(QStringLiteral("La facture électronique n'a pas été écrite : les polices Liberation "
                                           "(paquet fonts-liberation2) sont introuvables (%1).")
                                .arg(e.text()));
    }
    doc.AttachFile(QString::fromLatin1(kFileName), "text/xml", data, "Data",
                   QStringLiteral("Facture électronique (Factur-X, EN 16931)"));
    QByteArray out;
    doc.SaveToStream(out);
    return out;
}

} // namespace Facturx
