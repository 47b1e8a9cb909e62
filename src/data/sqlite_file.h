#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct sqlite3;

// A database file opened with SQLite's own handle, for what Qt Sql cannot do
// (the online backup of the archive's snapshot). Closed when it goes away.
class SqliteFile
{
public:
    SqliteFile() = default;
    ~SqliteFile();
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;

    // flags as sqlite3_open_v2 takes them; false on failure (see error()).
    bool open(const QString &path, int flags);
    void close();
    sqlite3 *handle() const { return m_db; }
    // The engine's last error; "mémoire" when not even a handle could be made.
    QString error() const;

    // Leaves the file with a rollback journal, so that it reads alone, without
    // a WAL file beside it. False on failure.
    bool useRollbackJournal();
    // What PRAGMA integrity_check finds besides "ok" (empty when the file is
    // sound), the engine's error last when the check stops early; nothing
    // when the check cannot even start.
    std::optional<QStringList> integrityProblems();

private:
    sqlite3 *m_db = nullptr;
};
