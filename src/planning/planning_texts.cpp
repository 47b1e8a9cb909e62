#include "planning/planning_texts.h"

namespace PlanningTexts {

QStringList week(const PlanningTable &table, int room, bool showsNames)
{
    QStringList texts(WeekEntries);
    for (int d = 0; d < WeekEntries; ++d) {
        const PlanningCell &cell = table.cell(room, d);
        texts[d] = showsNames ? cell.texteEtatNom : cell.premierEtat;
    }
    return texts;
}

QStringList month(const PlanningTable &table, int room, bool showsNames)
{
    QStringList texts(MonthEntries);
    const int days = qMin(table.dayCount(), MonthEntries);
    for (int d = 0; d < days; ++d) {
        const PlanningCell &cell = table.cell(room, d);
        texts[d] = showsNames ? cell.texteMois : cell.etat;
    }
    return texts;
}

} // namespace PlanningTexts
