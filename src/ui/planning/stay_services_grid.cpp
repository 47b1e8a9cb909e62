#include "ui/planning/stay_services_grid.h"

#include <QHeaderView>

StayServicesGrid::StayServicesGrid(QWidget *parent)
    : ServiceLinesGrid(QStringLiteral("StringGridPrestations"), QStringLiteral("PrestationSejour"), -1, parent)
{
    horizontalHeader()->setStretchLastSection(false);
    clearServices();
}

TextGrid StayServicesGrid::emptyGrid()
{
    TextGrid grid(2, 4);
    grid.setRow(0, {QString(), QStringLiteral("Prestation"), QStringLiteral("Nb / jour"), QString()});
    return grid;
}

TextGrid StayServicesGrid::shaped(const TextGrid &grid) const
{
    TextGrid shown = grid;
    if (shown.columnCount() < 4)
        shown.setColumnCount(4);
    shown.setCell(0, 1, QStringLiteral("Prestation"));
    shown.setCell(0, 2, QStringLiteral("Nb / jour"));
    return shown;
}

void StayServicesGrid::layOutColumns()
{
    for (int c = 0; c < model()->columnCount(); ++c)
        setColumnHidden(c, c != 1 && c != 2);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    setColumnWidth(2, fontMetrics().horizontalAdvance(QStringLiteral("Nb / jour")) + 16);
}
