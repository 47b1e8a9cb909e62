#pragma once

#include <QProgressBar>

// Holds back the redrawing of a progress bar while a fill steps it. A
// visible bar redraws itself at once on every step, which costs far more
// than the step it shows (a week of 25 rooms: 175 redraws, some 50 ms,
// against well under a millisecond for the fill); the bar is drawn once
// when the fill ends.
class ProgressSteps
{
public:
    explicit ProgressSteps(QProgressBar *bar) : m_bar(bar), m_updates(bar && bar->updatesEnabled())
    {
        if (m_bar)
            m_bar->setUpdatesEnabled(false);
    }
    ~ProgressSteps()
    {
        if (m_bar)
            m_bar->setUpdatesEnabled(m_updates);
    }
    ProgressSteps(const ProgressSteps &) = delete;
    ProgressSteps &operator=(const ProgressSteps &) = delete;

private:
    QProgressBar *m_bar;
    bool m_updates;
};
