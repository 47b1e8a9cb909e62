#pragma once

#include "data/engine.h"

#include <QSqlDatabase>
#include <QString>

// The database connections of the process. The shared connection serves every
// domain class; windows that list data on their own (main window, advanced
// reservation form, lists) open a named connection of their own. They reach
// the engine config.ini names ([Base] moteur): the SQLite file reserv.mdb, in
// WAL mode with a busy timeout so a reader never makes another connection's
// write fail, or a PostgreSQL database shared with other desks.
class DataModule
{
public:
    // The database file of the data directory in use (SQLite).
    static QString databasePath();
    // The engine and database of the data directory in use, read from its
    // config.ini once per data directory (again after release()). Throws
    // SettingsError for a [Base] section that cannot be used.
    static DatabaseTarget target();
    static bool isPostgresql() { return target().isPostgresql(); }
    static void forgetTarget();

    // Opens (or returns, when already open on the current target) a named connection,
    // SQLite in WAL mode. Throws DatabaseError with a French text on failure. The start-up
    // check opens with walMode false: nothing may be written before the file is known good.
    static QSqlDatabase connection(const QString &name, bool walMode = true);
    static void closeConnection(const QString &name);

    // The shared connection; valid while at least one Use is alive, and kept open
    // between uses for speed until release() or a change of data directory.
    static QSqlDatabase shared();
    // Closes the shared connection when nobody uses it (before a backup copies
    // or replaces the file, and between tests). Returns false when still in use.
    static bool release();

    // Domain classes hold one of these for their lifetime: it opens the shared
    // connection and lets nested users share it without closing it under them.
    class Use
    {
    public:
        Use();
        ~Use();
        Use(const Use &) = delete;
        Use &operator=(const Use &) = delete;
        QSqlDatabase db() const { return DataModule::shared(); }
    };

    static int useCount();

    static const char *sharedConnectionName();
};
