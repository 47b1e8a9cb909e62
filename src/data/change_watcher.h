#pragma once

#include <QObject>
#include <QPointer>
#include <QSqlDriver>
#include <QTimer>

// Tells a desk that another desk (another process on the same hotel) committed
// a change, so that its open views can be read again. It watches the shared
// connection, through which this program's own writes go, so that the desk's
// own saves do not count:
// - on SQLite, PRAGMA data_version, read every intervalMs, changes only when
//   another connection committed to the file;
// - on PostgreSQL, the triggers of the schema notify channel kestrovaChannel()
//   at every commit that writes a table; notifications of the shared
//   connection's own session are left out.
// A shared connection closed and opened again (a backup, a restore) is watched
// again from its new state, without a report.
class ChangeWatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int defaultIntervalMs = 500;

    explicit ChangeWatcher(QObject *parent = nullptr, int intervalMs = defaultIntervalMs);

    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }

    // Looks once now; true (and changedElsewhere emitted) when another desk
    // committed since the last look. Used by the timer and by tests.
    bool check();

    // The notification channel of the PostgreSQL triggers.
    static QString kestrovaChannel();

Q_SIGNALS:
    void changedElsewhere();

private:
    void notified(const QString &name, QSqlDriver::NotificationSource source, const QVariant &payload);

    QTimer m_timer;
    QPointer<QSqlDriver> m_driver; // the connection being watched
    qint64 m_version = 0;
    bool m_notified = false;
};
