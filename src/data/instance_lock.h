#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Keeps a second copy of the program off the same data directory: two
// processes writing one config.ini, one set of documents and, on SQLite, one
// database file would lose each other's work. The lock is per desk, not per
// hotel: it lives in the data directory, never beside a shared database, so
// desks with data directories of their own work on one PostgreSQL hotel at once.
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
