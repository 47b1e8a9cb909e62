#include "invoices/stored_invoice.h"

#include "common/format.h"
#include "data/data_module.h"
#include "data/document_store.h"
#include "documents/document_lines.h"

namespace {

QString numberOr(const QVariant &value, const QString &fallback)
{
    return value.isNull() ? fallback : Format::number(value.toDouble());
}

} // namespace

StoredInvoice StoredInvoice::lire(int numero)
{
    DataModule::Use use;
    StoredInvoice invoice;
    invoice.lignes = DocumentLines::emptyGrid();
    const DocumentStore::Stored r = DocumentStore(DocumentStore::Kind::Facture, use.db()).readStored(numero);
    if (!r.found)
        return invoice;
    invoice.found = true;
    invoice.idClient = r.idClient.toInt();
    invoice.adresse = r.adresse;
    invoice.modeReglement = r.modeReglement;
    invoice.sejourDebut = r.sejourDebut;
    invoice.sejourFin = r.sejourFin;
    invoice.remise = numberOr(r.remise, QStringLiteral("0"));
    invoice.acompte = numberOr(r.acompte, QStringLiteral("0"));
    invoice.totalHt = numberOr(r.totalHt, QStringLiteral("0"));
    invoice.totalTva = numberOr(r.totalTva, QStringLiteral("0"));
    invoice.totalTtc = numberOr(r.totalTtc, QStringLiteral("0"));

    TextGrid &grid = invoice.lignes;
    grid.setRowCount(1);
    for (const DocumentStore::StoredLine &l : r.lines) {
        grid.appendRow({l.idPrestation.isNull() ? QString() : QString::number(l.idPrestation.toInt()), l.libelle,
                        QString::number(l.nb), numberOr(l.ht, QString()), numberOr(l.taux, QString()),
                        numberOr(l.ttc, QString())});
        invoice.modifiable = !l.idPrestation.isNull();
    }
    grid.appendRow();
    return invoice;
}
