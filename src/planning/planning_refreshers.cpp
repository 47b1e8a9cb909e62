#include "planning/planning_refreshers.h"

PlanningRefreshers::PlanningRefreshers(QObject *parent, int delayMs)
    : QObject(parent), m_month(new DelayedRefresher(this, delayMs)),
      m_week(new DelayedRefresher(this, delayMs)), m_statistics(new DelayedRefresher(this, delayMs))
{}

void PlanningRefreshers::requestStatistics(int room)
{
    if (m_statistics->isPending() && m_pendingReads && m_pendingRoom != room)
        room = 0;
    m_pendingRoom = room;
    m_pendingReads = true;
    m_statistics->request([this, room] {
        if (m_statisticsFill)
            m_statisticsFill(room);
    });
}

void PlanningRefreshers::requestStatisticsView()
{
    if (m_statistics->isPending() && m_pendingReads) {
        requestStatistics(m_pendingRoom);
        return;
    }
    m_pendingRoom = 0;
    m_pendingReads = false;
    m_statistics->request([this] {
        if (m_statisticsFill)
            m_statisticsFill(kSameData);
    });
}

void PlanningRefreshers::cancelAll()
{
    m_month->cancel();
    m_week->cancel();
    m_statistics->cancel();
}
