#include "ui/planning/week_view.h"

#include "data/reservation.h"
#include "planning/planning_texts.h"
#include "ui/planning/progress_steps.h"
#include "ui/planning/week_grid.h"

#include <QProgressBar>

namespace WeekView {

void fillAll(WeekGrid &grid, int roomCount, const PlanningLook &look, QProgressBar *bar)
{
    const PlanningTable table = Reservation().lirePlanningSemaine(grid.monday(), roomCount);
    const ProgressSteps steps(bar);
    for (int room = 1; room <= roomCount; ++room) {
        grid.showRoomTexts(room, PlanningTexts::week(table, room, look.showsNames), look.colors);
        if (bar)
            for (int d = 0; d < PlanningTexts::WeekEntries; ++d)
                bar->setValue(qMin(bar->maximum(), bar->value() + 1));
    }
}

void fillRoom(WeekGrid &grid, int room, const PlanningLook &look)
{
    if (room < 1)
        return;
    // Rooms 1..room are read; the statement is the same for all of them.
    const PlanningTable table = Reservation().lirePlanningSemaine(grid.monday(), room);
    grid.showRoomTexts(room, PlanningTexts::week(table, room, look.showsNames), look.colors);
}

} // namespace WeekView
