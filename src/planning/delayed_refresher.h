#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// Runs a fill a short while after the latest request, on the window thread.
// Each request replaces the pending one (the latest request wins) and restarts
// the delay, so a burst of requests — a user clicking "Suivant" three times —
// fills once, with the last parameters, after the burst. A database error
// during the fill abandons it silently; the next request runs normally.
// One object serves each of the planning, statistics and free-room fills.
class DelayedRefresher : public QObject
{
    Q_OBJECT

public:
    static constexpr int defaultDelayMs = 500;

    explicit DelayedRefresher(QObject *parent = nullptr, int delayMs = defaultDelayMs);

    // Replaces the pending work with this one and (re)starts the delay.
    void request(std::function<void()> work);
    // Drops the pending work without running it (program end).
    void cancel();
    // Runs the pending work now, if any (tests, and callers that must see the result at once).
    void flush();

    bool isPending() const { return m_pending != nullptr; }
    int runCount() const { return m_runs; }
    int delayMs() const { return m_timer.interval(); }

Q_SIGNALS:
    // After every run, completed or abandoned.
    void ran(bool completed);

private:
    void run();

    QTimer m_timer;
    std::function<void()> m_pending;
    int m_runs = 0;
};
