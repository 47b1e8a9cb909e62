#include "catalogue/services_grid.h"

#include "common/choice_list.h"
#include "common/text_grid.h"

namespace ServicesGrid {

QSet<int> servicesIn(const TextGrid &grid)
{
    QSet<int> services;
    for (int row = 1; row <= grid.rowCount() - 2; ++row) {
        bool ok = false;
        const int service = grid.cell(row, 0).trimmed().toInt(&ok);
        if (ok)
            services.insert(service);
    }
    return services;
}

void removeServicesIn(ChoiceList &services, const TextGrid &grid)
{
    const QSet<int> held = servicesIn(grid);
    if (held.isEmpty())
        return;
    ChoiceList kept;
    for (int i = 0; i < services.count(); ++i) {
        // The placeholder (first entry) stays whatever its value.
        if (i == 0 || !held.contains(services.value(i)))
            kept.add(services.text(i), services.value(i));
    }
    services = kept;
}

void appendService(TextGrid &grid, int service, const QString &label, const QString &quantity)
{
    if (grid.rowCount() < 1)
        grid.setRowCount(1);
    if (grid.columnCount() < 3)
        grid.setColumnCount(3);
    int row = grid.rowCount() - 1;
    // A grid that lost its entry row must not have its last service overwritten.
    if (row == 0 || !grid.isRowEmpty(row))
        row = grid.rowCount();
    grid.setCell(row, 0, QString::number(service));
    grid.setCell(row, 1, label);
    grid.setCell(row, 2, quantity);
    grid.setRowCount(row + 2);
}

bool updateService(TextGrid &grid, int row, int service, const QString &label, const QString &quantity)
{
    if (row < 1 || row >= grid.rowCount())
        return false;
    grid.setCell(row, 0, QString::number(service));
    grid.setCell(row, 1, label);
    grid.setCell(row, 2, quantity);
    return true;
}

bool isQuantity(const QString &text)
{
    bool ok = false;
    text.toInt(&ok);
    return ok && !text.isEmpty() && text.front().isDigit();
}

} // namespace ServicesGrid
