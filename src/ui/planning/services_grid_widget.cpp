#include "ui/planning/services_grid_widget.h"

#include "planning/night_entry.h"

ServicesGridWidget::ServicesGridWidget(QWidget *parent)
    : ServiceLinesGrid(QStringLiteral("StringGrid1"), QStringLiteral("Prestation"), 2, parent)
{
    clearServices();
}

void ServicesGridWidget::clearServices()
{
    setGrid(NightEntry::emptyServicesGrid());
}

void ServicesGridWidget::MajListePrestations()
{
    repriceLines([this](TextGrid &services) { NightEntry::majListePrestations(services, m_room); });
}

void ServicesGridWidget::layOutColumns()
{
    if (model()->columnCount() < 7)
        return;
    setColumnHidden(0, true);
    setColumnHidden(6, true);
    const int numbers = fontMetrics().horizontalAdvance(QStringLiteral("0000000,00")) + 12;
    const int nb = fontMetrics().horizontalAdvance(QStringLiteral("Nb000")) + 8;
    setColumnWidth(2, nb);
    for (int c = 3; c <= 5; ++c)
        setColumnWidth(c, numbers);
    // The label takes what the numbers leave.
    setColumnWidth(1, qMax(120, viewport()->width() - nb - 3 * numbers));
}
