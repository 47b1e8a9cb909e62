#pragma once

#include "data/instance_lock.h"
#include "data/schema.h"

#include <QString>

#include <functional>

// What every run of the program does before its real work: choose the data
// directory and make it the working directory, keep other copies of the
// program off it, and create or upgrade the database.
class Startup
{
public:
    // Chooses the directory (explicit, KESTROVA_DIR, portable, home) and enters it.
    // Throws KestrovaError with a French text on failure.
    static QString enterDataDir(const QString &explicitDir);

    // Takes the instance lock, then creates or upgrades reserv.mdb on the named
    // connection. A reserv.mdb of the old program (Access format) is offered for
    // import first. Throws KestrovaError with a French text on failure.
    Schema::Report openDatabase(const QString &connectionName);

    // What shows the progress of an import at start-up (the windows set it).
    static void setImportProgress(std::function<void(int percent, const QString &step)> progress);

private:
    InstanceLock m_lock;
};
