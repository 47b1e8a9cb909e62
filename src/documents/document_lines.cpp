#include "documents/document_lines.h"

#include "common/format.h"
#include "data/prestation.h"

namespace DocumentLines {

namespace {

// Bounds the walks over a stay, should the nights ever form a loop.
constexpr int kMaxNights = 100000;

} // namespace

TextGrid emptyGrid()
{
    TextGrid grid(2, ColumnCount);
    setTitles(grid);
    return grid;
}

void setTitles(TextGrid &grid)
{
    if (grid.columnCount() < ColumnCount)
        grid.setColumnCount(ColumnCount);
    if (grid.rowCount() < 1)
        grid.setRowCount(1);
    grid.setRow(0, {QString(), QStringLiteral("Prestation"), QStringLiteral("Nb"), QStringLiteral("Total HT"),
                    QStringLiteral("TVA"), QStringLiteral("Total TTC")});
}

bool hasLines(const TextGrid &grid)
{
    for (int r = 1; r < grid.rowCount(); ++r)
        if (!grid.cell(r, Service).trimmed().isEmpty())
            return true;
    return false;
}

void reprice(TextGrid &grid, int room)
{
    Prestation prestation;
    for (int r = 1; r < grid.rowCount(); ++r) {
        const QString number = grid.cell(r, Service).trimmed();
        if (number.isEmpty())
            continue;
        const int service = number.toInt();
        const double quantity = Format::parseAmount(grid.cell(r, Nb));
        const double ht = Format::parseAmount(prestation.getTarifHT(service, room));
        const double ttc = Format::parseAmount(prestation.getTarifTTC(service, room));
        grid.setCell(r, TotalHt, Format::number(ht * quantity));
        grid.setCell(r, Tva, prestation.getTauxTva(service, room));
        grid.setCell(r, TotalTtc, Format::number(ttc * quantity));
    }
}

void removeLine(TextGrid &grid, int row)
{
    if (row < 1 || row >= grid.rowCount() || grid.cell(row, Service).trimmed().isEmpty())
        return;
    grid.removeRow(row);
    if (grid.rowCount() < 2 || !grid.isRowEmpty(grid.rowCount() - 1))
        grid.appendRow();
}

Sejour lireSejour(int idNuit)
{
    Prestation prestation;
    Sejour sejour;
    sejour.lignes = emptyGrid();
    const QDate first = prestation.getDateNuit(idNuit);
    if (first == Format::zeroDate() || !first.isValid())
        return sejour;
    prestation.cumulerPrestationsNuit(idNuit, true, sejour.lignes);
    setTitles(sejour.lignes);
    QDate debut = first;
    QDate fin = first;
    int night = idNuit;
    for (int i = 0; i < kMaxNights && (night = prestation.getNuitPrecedente(night)) > 0; ++i) {
        debut = prestation.getDateNuit(night);
        prestation.cumulerPrestationsNuit(night, false, sejour.lignes);
    }
    night = idNuit;
    for (int i = 0; i < kMaxNights && (night = prestation.getNuitSuivante(night)) > 0; ++i) {
        fin = prestation.getDateNuit(night);
        prestation.cumulerPrestationsNuit(night, false, sejour.lignes);
    }
    sejour.debut = debut;
    sejour.depart = fin.addDays(1);
    return sejour;
}

} // namespace DocumentLines
