#include "quotes/stored_devis.h"

#include "common/format.h"
#include "data/data_module.h"
#include "data/document_store.h"
#include "documents/document_lines.h"
#include "quotes/devis.h"

namespace {

QString numberOr(const QVariant &value, const QString &fallback)
{
    return value.isNull() ? fallback : Format::number(value.toDouble());
}

QDate stayDate(const QDate &date)
{
    return date == Devis::sansDate() ? QDate() : date;
}

} // namespace

StoredDevis StoredDevis::lire(int numero)
{
    DataModule::Use use;
    StoredDevis devis;
    devis.lignes = DocumentLines::emptyGrid();
    const DocumentStore::Stored r = DocumentStore(DocumentStore::Kind::Devis, use.db()).readStored(numero);
    if (!r.found)
        return devis;
    devis.found = true;
    devis.idClient = r.idClient.isNull() ? -1 : r.idClient.toInt();
    devis.adresse = r.adresse;
    devis.sejourDebut = stayDate(r.sejourDebut);
    devis.sejourFin = stayDate(r.sejourFin);
    devis.remise = numberOr(r.remise, QStringLiteral("0"));
    devis.acompte = numberOr(r.acompte, QStringLiteral("0"));
    devis.totalHt = numberOr(r.totalHt, QStringLiteral("0"));
    devis.totalTva = numberOr(r.totalTva, QStringLiteral("0"));
    devis.totalTtc = numberOr(r.totalTtc, QStringLiteral("0"));
    devis.commentaires = r.commentaires;
    devis.idChambre = r.idChambre.isNull() ? 0 : r.idChambre.toInt();

    TextGrid &grid = devis.lignes;
    grid.setRowCount(1);
    for (const DocumentStore::StoredLine &l : r.lines) {
        grid.appendRow({l.idPrestation.isNull() ? QString() : QString::number(l.idPrestation.toInt()), l.libelle,
                        QString::number(l.nb), numberOr(l.ht, QString()), numberOr(l.taux, QString()),
                        numberOr(l.ttc, QString())});
        devis.modifiable = !l.idPrestation.isNull();
    }
    grid.appendRow();
    return devis;
}
