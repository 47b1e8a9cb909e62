#include "data/prestation.h"

#include "common/errors.h"
#include "common/text_grid.h"
#include "data/sql.h"

#include <QList>
#include <QStringList>

namespace {

// Service rows of a grid: 1 to row count - 2 (the last row is the entry row).
int lastServiceRow(const TextGrid &grid)
{
    return grid.rowCount() - 2;
}

// The service numbers named in column 0 of a grid's service rows; empty cells
// and texts that are not numbers name nothing.
QList<int> serviceNumbers(const TextGrid &grid)
{
    QList<int> out;
    for (int r = 1; r <= lastServiceRow(grid); ++r) {
        bool ok = false;
        const int id = grid.cell(r, 0).trimmed().toInt(&ok);
        if (ok)
            out.append(id);
    }
    return out;
}

} // namespace

Prestation::Prestation() = default;

void Prestation::majPrestationsNuit(int idNuit, const TextGrid &grille, const TextGrid *grilleConservee)
{
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    for (int r = 1; r <= lastServiceRow(grille); ++r) {
        bool ok = false;
        const int service = grille.cell(r, 0).trimmed().toInt(&ok);
        if (!ok)
            continue;
        const QString quantityText = grille.cell(r, 2).trimmed();
        const int quantity = quantityText.toInt(&ok);
        if (!ok)
            throw KestrovaError(
                QStringLiteral("La quantité « %1 » de la prestation « %2 » n'est pas un nombre entier.")
                    .arg(quantityText, grille.cell(r, 1)));
        Sql update(db, QStringLiteral("UPDATE reserv_prestations SET nb = :nb "
                                      "WHERE id_reserv = :nuit AND id_prestations = :prestation"));
        update.bind(QStringLiteral(":nb"), quantity)
            .bind(QStringLiteral(":nuit"), idNuit)
            .bind(QStringLiteral(":prestation"), service)
            .exec();
        if (update.numRowsAffected() > 0)
            continue;
        Sql(db, QStringLiteral("INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) "
                               "VALUES (:nuit, :prestation, :nb)"))
            .bind(QStringLiteral(":nuit"), idNuit)
            .bind(QStringLiteral(":prestation"), service)
            .bind(QStringLiteral(":nb"), quantity)
            .exec();
    }

    QList<int> keep = serviceNumbers(grille);
    if (grilleConservee)
        keep += serviceNumbers(*grilleConservee);
    // A night whose grids name no service at all keeps what it has: an empty
    // grid means "not loaded", not "remove everything".
    if (!keep.isEmpty()) {
        QStringList placeholders;
        for (int i = 0; i < keep.size(); ++i)
            placeholders << QStringLiteral("?");
        Sql remove(db, QStringLiteral(
                           "DELETE FROM reserv_prestations WHERE id_reserv = ? AND id_prestations NOT IN (") +
                           placeholders.join(QLatin1Char(',')) + QLatin1Char(')'));
        remove.add(idNuit);
        for (int id : keep)
            remove.add(id);
        remove.exec();
    }
    transaction.commit();
}
