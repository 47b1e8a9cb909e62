#include "ui/planning/month_view.h"

#include "data/reservation.h"
#include "ui/planning/month_grid.h"
#include "planning/planning_dates.h"
#include "planning/planning_texts.h"
#include "ui/planning/progress_steps.h"

#include <QProgressBar>

namespace MonthView {

void fillAll(MonthGrid &grid, const QDate &month, int roomCount, const PlanningLook &look, QProgressBar *bar)
{
    if (grid.dayCount() == 0 || !PlanningDates::sameMonth(grid.month(), month))
        grid.setMonth(month);
    const PlanningTable table = Reservation().lirePlanningMois(month, roomCount);
    const ProgressSteps steps(bar);
    if (bar) {
        bar->setRange(0, roomCount);
        bar->setValue(0);
    }
    for (int room = 1; room <= roomCount; ++room) {
        grid.showRoomTexts(room, PlanningTexts::month(table, room, look.showsNames), look.colors);
        if (bar)
            bar->setValue(room);
    }
    if (bar)
        bar->setValue(0);
}

} // namespace MonthView
