#include "invoices/invoice_list.h"

#include "common/format.h"
#include "invoices/facture.h"

namespace InvoiceList {

QString titre()
{
    return QStringLiteral("Liste des factures ");
}

const QStringList &modesReglement()
{
    static const QStringList modes = {QStringLiteral("Chèque"), QStringLiteral("Espèces"), QStringLiteral("CB"),
                                      QStringLiteral("Virement"), QStringLiteral("Non payé")};
    return modes;
}

QStringList filtres()
{
    return QStringList{QStringLiteral("Tous")} + modesReglement();
}

QString filtreCourant(const QString &texteFiltre)
{
    if (texteFiltre.isEmpty() || texteFiltre == QLatin1String("Tous") ||
        texteFiltre == QLatin1String("Filtrer sur paiement"))
        return {};
    return texteFiltre;
}

QStringList titres()
{
    return {QStringLiteral("N°"),         QStringLiteral("Date"),        QStringLiteral("Du"),
            QStringLiteral("Au"),         QStringLiteral("Client"),      QStringLiteral("Paiement"),
            QStringLiteral("Remise"),     QStringLiteral("Acompte"),     QStringLiteral("Montant HT"),
            QStringLiteral("Montant TVA"), QStringLiteral("Montant TTC"), QStringLiteral("Factur-X")};
}

const QList<DocumentStore::ListField> &champs()
{
    using S = DocumentStore;
    static const QList<S::ListField> fields = {S::Id,     S::FDate,  S::SejourDebut, S::SejourFin,
                                               S::Adresse, S::Mode,  S::Remise,      S::Acompte,
                                               S::TotalHt, S::TotalTva, S::TotalTtc, S::Facturx};
    return fields;
}

TextGrid remplir(const QString &modeReglement)
{
    TextGrid grid(2, ColumnCount);
    grid.setRow(0, titres());
    Facture().listeFactures(grid, modeReglement, 1, QString());
    // The entry row stays only when no invoice was listed.
    if (grid.rowCount() > 2 && grid.isRowEmpty(grid.rowCount() - 1))
        grid.removeRow(grid.rowCount() - 1);
    return grid;
}

QString legende(const QString &modeReglement, const QDate &today)
{
    if (modeReglement.isEmpty())
        return QStringLiteral("Liste complète de toute les factures à la date du ") + Format::date(today);
    return QStringLiteral("Liste des factures dont le moyen de paiement est ") + modeReglement +
           QStringLiteral(" à la date du ") + Format::date(today);
}

} // namespace InvoiceList
