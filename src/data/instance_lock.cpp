#include "data/instance_lock.h"

#include "common/paths.h"

#include <QDir>
#include <QLockFile>

InstanceLock::InstanceLock() = default;

InstanceLock::~InstanceLock()
{
    releaseLock();
}

bool InstanceLock::acquire(QString *error)
{
    const QString path = Paths::dataPath(QStringLiteral("kestrova.lock"));
    m_lock = std::make_unique<QLockFile>(path);
    // A lock left by a copy that crashed is recognised by its process number and removed.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    if (error && m_lock->error() != QLockFile::LockFailedError) {
        // No lock file could be written: the folder itself is the problem.
        *error = QStringLiteral("Le dossier de données « %1 » n'est pas accessible en écriture. "
                                "Choisissez un autre dossier ou donnez-vous le droit d'y écrire.")
                     .arg(QDir::toNativeSeparators(Paths::dataDir()));
    } else if (error) {
        qint64 pid = 0;
        QString host, app;
        m_lock->getLockInfo(&pid, &host, &app);
        *error = QStringLiteral("Kestrova est déjà ouvert sur ce dossier de données (%1, processus %2). "
                                "Fermez l'autre fenêtre avant d'en ouvrir une nouvelle.")
                     .arg(Paths::dataDir())
                     .arg(pid);
    }
    m_lock.reset();
    return false;
}

void InstanceLock::releaseLock()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}
