#include "quotes/stored_devis.h"

#include "common/format.h"
#include "data/data_module.h"
#include "data/sql.h"
#include "documents/document_lines.h"
#include "quotes/devis.h"

namespace {

QString numberOr(const QVariant &value, const QString &fallback)
{
    return value.isNull() ? fallback : Format::number(value.toDouble());
}

QDate stayDate(const QVariant &value)
{
    if (value.isNull())
        return {};
    const QDate date = Format::fromIsoDate(value.toString());
    return date == Devis::sansDate() ? QDate() : date;
}

} // namespace

StoredDevis StoredDevis::lire(int numero)
{
    DataModule::Use use;
    StoredDevis devis;
    devis.lignes = DocumentLines::emptyGrid();
    const QList<QVariantList> rows =
        Sql(use.db(), QStringLiteral("SELECT id_client, adresse_facturation, sejour_debut, sejour_fin, remise, "
                                     "acompte, total_ht, total_tva, total_ttc, commentaires, id_chambre "
                                     "FROM devis WHERE id = :id"))
            .bind(QStringLiteral(":id"), numero)
            .rows();
    if (rows.isEmpty())
        return devis;
    const QVariantList &r = rows.first();
    devis.found = true;
    devis.idClient = r.at(0).isNull() ? -1 : r.at(0).toInt();
    devis.adresse = r.at(1).toString();
    devis.sejourDebut = stayDate(r.at(2));
    devis.sejourFin = stayDate(r.at(3));
    devis.remise = numberOr(r.at(4), QStringLiteral("0"));
    devis.acompte = numberOr(r.at(5), QStringLiteral("0"));
    devis.totalHt = numberOr(r.at(6), QStringLiteral("0"));
    devis.totalTva = numberOr(r.at(7), QStringLiteral("0"));
    devis.totalTtc = numberOr(r.at(8), QStringLiteral("0"));
    devis.commentaires = r.at(9).toString();
    devis.idChambre = r.at(10).isNull() ? 0 : r.at(10).toInt();

    const QList<QVariantList> lines =
        Sql(use.db(), QStringLiteral("SELECT id_prestation, libelle, nb, tarif_ht, taux_tva, tarif_ttc "
                                     "FROM devis_item WHERE id_devis = :id ORDER BY id"))
            .bind(QStringLiteral(":id"), numero)
            .rows();
    TextGrid &grid = devis.lignes;
    grid.setRowCount(1);
    for (const QVariantList &l : lines) {
        grid.appendRow({l.at(0).isNull() ? QString() : QString::number(l.at(0).toInt()), l.at(1).toString(),
                        QString::number(l.at(2).toInt()), numberOr(l.at(3), QString()),
                        numberOr(l.at(4), QString()), numberOr(l.at(5), QString())});
        devis.modifiable = !l.at(0).isNull();
    }
    grid.appendRow();
    return devis;
}
