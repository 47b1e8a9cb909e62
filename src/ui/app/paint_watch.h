#pragma once

#include <QEvent>
#include <QObject>

#include <functional>

// Calls a function once each paint event of the object it watches (install it
// with installEventFilter) has been handled: the screenshot waits for the
// drawn window with it, and the start-up time is taken at the main window's
// first paint.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(std::function<void()> painted, QObject *parent = nullptr)
        : QObject(parent), m_painted(std::move(painted))
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return QObject::eventFilter(watched, event);
        watched->event(event); // the paint itself, first
        m_painted();
        return true;
    }

private:
    std::function<void()> m_painted;
};
