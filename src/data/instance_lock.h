#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Keeps a second copy of the program off the same data directory: two
// processes writing one database and one config.ini would lose each other's work.
class InstanceLock
{
public:
    InstanceLock();
    ~InstanceLock();
    // Takes the lock of the current data directory. False, with a French message
    // in *error, when another running copy holds it.
    bool acquire(QString *error);
    void releaseLock();

private:
    std::unique_ptr<QLockFile> m_lock;
};
