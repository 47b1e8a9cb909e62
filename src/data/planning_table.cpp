#include "data/planning_table.h"

PlanningTable::PlanningTable(const QDate &firstDay, int dayCount, int roomCount)
    : m_firstDay(firstDay), m_dayCount(qMax(0, dayCount)), m_roomCount(qMax(0, roomCount))
{
    m_cells.resize(qsizetype(m_dayCount) * m_roomCount);
}

const PlanningCell &PlanningTable::cell(int room, int day) const
{
    static const PlanningCell free;
    if (room < 1 || room > m_roomCount || day < 0 || day >= m_dayCount)
        return free;
    return m_cells.at(qsizetype(room - 1) * m_dayCount + day);
}

PlanningCell &PlanningTable::cell(int room, int day)
{
    Q_ASSERT(room >= 1 && room <= m_roomCount && day >= 0 && day < m_dayCount);
    return m_cells[qsizetype(room - 1) * m_dayCount + day];
}

namespace {
template <typename Field> QStringList column(const PlanningTable &table, int room, Field field)
{
    QStringList out;
    out.reserve(table.dayCount());
    for (int d = 0; d < table.dayCount(); ++d)
        out.append(table.cell(room, d).*field);
    return out;
}
} // namespace

QStringList PlanningTable::etats(int room) const
{
    return column(*this, room, &PlanningCell::etat);
}

QStringList PlanningTable::textesClients(int room) const
{
    return column(*this, room, &PlanningCell::texteClient);
}

QStringList PlanningTable::textesMois(int room) const
{
    return column(*this, room, &PlanningCell::texteMois);
}

QStringList PlanningTable::textesEtatNom(int room) const
{
    return column(*this, room, &PlanningCell::texteEtatNom);
}
