#include "invoices/stored_invoice.h"

#include "common/format.h"
#include "data/data_module.h"
#include "data/sql.h"
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
    const QList<QVariantList> rows =
        Sql(use.db(), QStringLiteral("SELECT id_client, adresse_facturation, mode_reglement, sejour_debut, "
                                     "sejour_fin, remise, acompte, total_ht, total_tva, total_ttc "
                                     "FROM facturation WHERE id = :id"))
            .bind(QStringLiteral(":id"), numero)
            .rows();
    if (rows.isEmpty())
        return invoice;
    const QVariantList &r = rows.first();
    invoice.found = true;
    invoice.idClient = r.at(0).toInt();
    invoice.adresse = r.at(1).toString();
    invoice.modeReglement = r.at(2).toString();
    invoice.sejourDebut = r.at(3).isNull() ? QDate() : Format::fromIsoDate(r.at(3).toString());
    invoice.sejourFin = r.at(4).isNull() ? QDate() : Format::fromIsoDate(r.at(4).toString());
    invoice.remise = numberOr(r.at(5), QStringLiteral("0"));
    invoice.acompte = numberOr(r.at(6), QStringLiteral("0"));
    invoice.totalHt = numberOr(r.at(7), QStringLiteral("0"));
    invoice.totalTva = numberOr(r.at(8), QStringLiteral("0"));
    invoice.totalTtc = numberOr(r.at(9), QStringLiteral("0"));

    const QList<QVariantList> lines =
        Sql(use.db(), QStringLiteral("SELECT id_prestation, libelle, nb, tarif_ht, taux_tva, tarif_ttc "
                                     "FROM facturation_item WHERE id_facture = :id ORDER BY id"))
            .bind(QStringLiteral(":id"), numero)
            .rows();
    TextGrid &grid = invoice.lignes;
    grid.setRowCount(1);
    for (const QVariantList &l : lines) {
        grid.appendRow({l.at(0).isNull() ? QString() : QString::number(l.at(0).toInt()), l.at(1).toString(),
                        QString::number(l.at(2).toInt()), numberOr(l.at(3), QString()),
                        numberOr(l.at(4), QString()), numberOr(l.at(5), QString())});
        invoice.modifiable = !l.at(0).isNull();
    }
    grid.appendRow();
    return invoice;
}
