#include "commands/demo_documents.h"

#include "common/amounts.h"
#include "common/choice_list.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "data/client.h"
#include "data/prestation.h"
#include "invoices/facture.h"
#include "quotes/devis.h"

#include <QHash>

#include <algorithm>

namespace {

struct DemoClient
{
    int id;
    QString address;
};

struct DemoLine
{
    const char *service; // label of the service in the catalogue
    int nb;
    bool withoutTax; // billed without VAT (the exemption notice's case)
};

// The form's line grid and totals for some services of a room, priced from the catalogue.
struct Lines
{
    TextGrid grid{1, 6};
    double ht = 0;
    double ttc = 0;
};

Lines priced(const QHash<QString, int> &services, int room, const QList<DemoLine> &wanted)
{
    Prestation prestation;
    Lines l;
    for (const DemoLine &s : wanted) {
        const int id = services.value(QString::fromUtf8(s.service));
        const double unitHt = Format::parseAmount(prestation.getTarifHT(id, room));
        const QString rate = s.withoutTax ? Amounts::noRateText() : prestation.getTauxTva(id, room);
        const double unitTtc = s.withoutTax ? unitHt : Format::parseAmount(prestation.getTarifTTC(id, room));
        const double ht = Format::roundAmount(unitHt * s.nb), ttc = Format::roundAmount(unitTtc * s.nb);
        l.grid.appendRow({QString::number(id), QString::fromUtf8(s.service), QString::number(s.nb),
                          Format::number(ht), rate, Format::number(ttc)});
        l.ht += ht;
        l.ttc += ttc;
    }
    return l;
}

// Totals after a discount before tax: the tax shrinks in proportion.
void setTotals(DocumentEntry &e, const Lines &l, double discount)
{
    const double ht = Format::roundAmount(l.ht - discount);
    const double tva = Format::roundAmount((l.ttc - l.ht) * (l.ht > 0 ? ht / l.ht : 0));
    e.remise = Format::number(discount);
    e.acompte = QStringLiteral("0");
    e.totalHt = Format::number(ht);
    e.totalTva = Format::number(tva);
    e.totalTtc = Format::number(Format::roundAmount(ht + tva));
}

} // namespace

void demoDocuments(QStringList &summary)
{
    QList<DemoClient> clients;
    Client infos;
    for (const int id : infos.autresClients()) {
        const std::optional<ClientRecord> c = infos.lire(id);
        if (!c)
            continue;
        QStringList lines;
        if (c->type == 1 && !c->nomEts.isEmpty())
            lines << c->nomEts << QStringLiteral("À l'attention de ") + c->prenom + QLatin1Char(' ') + c->nom;
        else
            lines << c->prenom + QLatin1Char(' ') + c->nom;
        lines << c->adresse1 << c->codepostal + QLatin1Char(' ') + c->ville;
        clients.append({id, lines.join(QStringLiteral("\r\n"))});
    }
    if (clients.size() < 4)
        return;
    const DemoClient &company = clients.last();

    ChoiceList list;
    Prestation().remplirListePrestations(list);
    QHash<QString, int> services;
    for (const ChoiceList::Item &item : list.items())
        services.insert(item.text, item.value);

    const QDate today = QDate::currentDate();
    Facture facture;
    struct DemoInvoice
    {
        const DemoClient &client;
        int room;
        int daysAgo;
        int nights;
        const char *mode;
        double discount;
        QList<DemoLine> lines;
    };
    const QList<DemoInvoice> invoices = {
        {clients.at(0),
         1,
         40,
         3,
         "CB",
         0,
         {{"Nuitée", 3, false}, {"Petit déjeuner", 6, false}, {"Taxe de séjour", 6, false}}},
        {company,
         7,
         25,
         4,
         "Virement",
         0,
         {{"Nuitée", 4, false},
          {"Demi-pension", 4, false},
          {"Parking", 4, false},
          {"Taxe de séjour", 4, false}}},
        {clients.at(1),
         3,
         12,
         2,
         "Non payé",
         12.5,
         {{"Nuitée", 2, false}, {"Petit déjeuner", 4, false}, {"Taxe de séjour", 4, false}}},
        {clients.at(2), 4, 6, 2, "Espèces", 0, {{"Nuitée", 2, true}, {"Petit déjeuner", 2, true}}},
        {clients.at(3),
         8,
         3,
         5,
         "Non payé",
         0,
         {{"Nuitée", 5, false}, {"Petit déjeuner", 20, false}, {"Parking", 5, false}}},
    };
    for (const DemoInvoice &s : invoices) {
        const Lines lines = priced(services, s.room, s.lines);
        DocumentEntry e;
        e.idClient = s.client.id;
        e.adresse = s.client.address;
        e.date = std::min(today, today.addDays(-s.daysAgo + s.nights));
        e.sejourDebut = today.addDays(-s.daysAgo);
        e.sejourFin = today.addDays(-s.daysAgo + s.nights);
        e.modeReglement = QString::fromUtf8(s.mode);
        setTotals(e, lines, s.discount);
        facture.creerFacture(e, lines.grid);
    }

    Devis devis;
    struct DemoQuote
    {
        const DemoClient &client;
        int room;
        int inDays; // 0: no dates yet
        int nights;
        const char *comment;
        QList<DemoLine> lines;
    };
    const QList<DemoQuote> quotes = {
        {clients.at(4),
         7,
         45,
         3,
         "Arrivée prévue vers 18 h, un lit bébé sera installé.\r\n"
         "Devis valable un mois ; un acompte de 30 % confirme la réservation.",
         {{"Nuitée", 3, false}, {"Demi-pension", 6, false}, {"Taxe de séjour", 6, false}}},
        {company, 2, 60, 2, "", {{"Nuitée", 2, false}, {"Petit déjeuner", 2, false}, {"Parking", 2, false}}},
        {clients.at(5), 8, 0, 7, "Dates à confirmer par le client.", {{"Nuitée", 7, false}}},
    };
    for (const DemoQuote &s : quotes) {
        const Lines lines = priced(services, s.room, s.lines);
        DocumentEntry e;
        e.idClient = s.client.id;
        e.adresse = s.client.address;
        e.date = today;
        e.sejourDebut = s.inDays > 0 ? today.addDays(s.inDays) : Devis::sansDate();
        e.sejourFin = s.inDays > 0 ? today.addDays(s.inDays + s.nights) : Devis::sansDate();
        e.commentaires = QString::fromUtf8(s.comment);
        e.idChambre = s.room;
        setTotals(e, lines, 0);
        devis.creerDevis(e, lines.grid);
    }
    summary << QStringLiteral("%1 factures, %2 devis").arg(invoices.size()).arg(quotes.size());
}
