#include "data/change_watcher.h"

#include "common/errors.h"
#include "data/data_module.h"
#include "data/dialect.h"
#include "data/sql.h"

#include <QSqlDatabase>

namespace {

// The shared connection when it is open, without opening it: a closed one
// (before a backup replaces the file) must stay closed.
QSqlDatabase openSharedConnection()
{
    const QString name = QString::fromLatin1(DataModule::sharedConnectionName());
    if (!QSqlDatabase::contains(name))
        return {};
    QSqlDatabase db = QSqlDatabase::database(name, false);
    return db.isOpen() ? db : QSqlDatabase();
}

bool isPostgres(const QSqlDatabase &db)
{
    return Dialect::isPostgresql(db);
}

} // namespace

ChangeWatcher::ChangeWatcher(QObject *parent, int intervalMs) : QObject(parent)
{
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { check(); });
}

QString ChangeWatcher::kestrovaChannel()
{
    return QStringLiteral("kestrova_changes");
}

void ChangeWatcher::start()
{
    check();
    m_timer.start();
}

void ChangeWatcher::stop()
{
    m_timer.stop();
}

bool ChangeWatcher::check()
{
    QSqlDatabase db = openSharedConnection();
    if (!db.isValid()) {
        m_driver = nullptr;
        return false;
    }
    try {
        if (db.driver() != m_driver) {
            // A connection new to the watcher: its present state is the base line.
            m_driver = db.driver();
            m_notified = false;
            if (isPostgres(db)) {
                if (!m_driver->subscribedToNotifications().contains(kestrovaChannel()))
                    m_driver->subscribeToNotification(kestrovaChannel());
                connect(m_driver, &QSqlDriver::notification, this, &ChangeWatcher::notified,
                        Qt::UniqueConnection);
            } else {
                m_version = Sql(db, QStringLiteral("PRAGMA data_version")).scalar().toLongLong();
            }
            return false;
        }
        bool changed = false;
        if (isPostgres(db)) {
            changed = m_notified;
            m_notified = false;
        } else {
            const qint64 version = Sql(db, QStringLiteral("PRAGMA data_version")).scalar().toLongLong();
            changed = version != m_version;
            m_version = version;
        }
        if (changed)
            Q_EMIT changedElsewhere();
        return changed;
    } catch (const KestrovaError &) {
        // A busy or vanished database: the next look tries again.
        return false;
    }
}

void ChangeWatcher::notified(const QString &name, QSqlDriver::NotificationSource source, const QVariant &)
{
    if (name != kestrovaChannel() || source == QSqlDriver::SelfSource)
        return;
    // Reported at the next look, so that a burst of commits gives one refresh.
    m_notified = true;
}
