#pragma once

#include "planning/delayed_refresher.h"

#include <functional>

// The main window's three delayed fills: the monthly planning, the weekly
// planning and the statistics. Each runs on the window thread half a second
// after its latest request; the window hands each request the work to run.
class PlanningRefreshers : public QObject
{
    Q_OBJECT

public:
    explicit PlanningRefreshers(QObject *parent = nullptr, int delayMs = DelayedRefresher::defaultDelayMs);

    DelayedRefresher *month() const { return m_month; }
    DelayedRefresher *week() const { return m_week; }
    DelayedRefresher *statistics() const { return m_statistics; }

    // The statistics tab installs how it recomputes a room (0: every room).
    void setStatisticsFill(std::function<void(int room)> fill) { m_statisticsFill = std::move(fill); }
    // Two requests for different rooms before the run merge into one run for
    // every room, so that neither room's figures are left stale.
    void requestStatistics(int room);
    // The room the pending statistics run will compute, -1 when none is pending.
    int pendingStatisticsRoom() const { return m_statistics->isPending() ? m_pendingRoom : -1; }

    // Program end: pending fills are dropped without running.
    void cancelAll();

private:
    DelayedRefresher *m_month;
    DelayedRefresher *m_week;
    DelayedRefresher *m_statistics;
    std::function<void(int)> m_statisticsFill;
    int m_pendingRoom = -1;
};
