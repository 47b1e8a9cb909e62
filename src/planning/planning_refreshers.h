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

    // What the statistics fill is handed instead of a room when nothing was
    // written since its last run: the figures it read may be shown again.
    static constexpr int kSameData = -1;

    // The statistics tab installs how it recomputes a room (0: every room,
    // kSameData: the figures read before, another way).
    void setStatisticsFill(std::function<void(int room)> fill) { m_statisticsFill = std::move(fill); }
    // After a change of the database: the run reads again. Two requests for
    // different rooms before the run merge into one run for every room, so
    // that neither room's figures are left stale.
    void requestStatistics(int room);
    // Another measure or year chosen, nothing written: the run may reuse what
    // was read. A pending request that reads stays one, so that no change
    // waiting to be shown is lost.
    void requestStatisticsView();
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
    bool m_pendingReads = false; // the pending statistics run reads the database
};
