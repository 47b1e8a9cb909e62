#include "invoices/invoice_demo.h"

#include "common/text_grid.h"
#include "data/reservation.h"
#include "invoices/client_address.h"
#include "invoices/document_entry.h"
#include "invoices/document_lines.h"
#include "invoices/document_totals.h"
#include "invoices/facture.h"
#include "invoices/invoice_list.h"

#include <QDate>

namespace InvoiceDemo {

QString ajouterFactures()
{
    constexpr int kInvoices = 8;
    constexpr int kClientsTried = 60;
    Reservation reservation;
    Facture facture;
    int made = 0;
    for (int client = 2; client < kClientsTried && made < kInvoices; ++client) {
        TextGrid stays(1, 8);
        reservation.listerReservationsClient(QString::number(client), stays);
        const int firstNight = stays.cell(1, 0).toInt();
        const std::optional<QString> address = ClientAddress::lire(client);
        if (firstNight <= 0 || !address)
            continue;
        const DocumentLines::Sejour sejour = DocumentLines::lireSejour(firstNight);
        DocumentEntry entry;
        entry.idClient = client;
        entry.adresse = *address;
        entry.remise = made == 3 ? QStringLiteral("10") : QStringLiteral("0");
        entry.acompte = made == 5 ? QStringLiteral("50") : QStringLiteral("0");
        entry.sejourDebut = sejour.debut;
        entry.sejourFin = sejour.depart;
        entry.date = QDate::currentDate();
        entry.modeReglement = InvoiceList::modesReglement().at(made % InvoiceList::modesReglement().size());
        const DocumentTotals::Totaux totaux = DocumentTotals::calculer(sejour.lignes, entry.remise);
        entry.totalHt = totaux.ht;
        entry.totalTva = totaux.tva;
        entry.totalTtc = totaux.ttc;
        facture.creerFacture(entry, sejour.lignes);
        ++made;
    }
    return QStringLiteral("%1 factures").arg(made);
}

} // namespace InvoiceDemo
