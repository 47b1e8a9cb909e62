#include "planning/delayed_refresher.h"

#include "common/errors.h"

#include <exception>

DelayedRefresher::DelayedRefresher(QObject *parent, int delayMs) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(delayMs);
    connect(&m_timer, &QTimer::timeout, this, &DelayedRefresher::run);
}

void DelayedRefresher::request(std::function<void()> work)
{
    m_pending = std::move(work);
    m_timer.start();
}

void DelayedRefresher::cancel()
{
    m_timer.stop();
    m_pending = nullptr;
}

void DelayedRefresher::flush()
{
    if (!m_pending)
        return;
    m_timer.stop();
    run();
}

void DelayedRefresher::run()
{
    std::function<void()> work = std::move(m_pending);
    m_pending = nullptr;
    if (!work)
        return;
    ++m_runs;
    bool completed = true;
    try {
        work();
    } catch (const std::exception &) {
        // A failed refresh leaves the view as it was; the next request retries.
        completed = false;
    }
    Q_EMIT ran(completed);
}
