#pragma once

#include <QString>

// A consistent copy of a database that other connections may be writing to,
// taken with SQLite's online backup (never a copy of the file's bytes, which
// may be half-way through a transaction). The copy is a single self-contained
// file (rollback journal, no WAL beside it).
namespace DatabaseSnapshot {

// Writes the snapshot of `source` to `destination`, replacing it. Throws
// ArchiveError (French text) on failure; no partial destination is left then.
void take(const QString &source, const QString &destination);

// Opens a database file read-only and runs PRAGMA integrity_check. Empty text
// when the file is sound, else the French reason.
QString checkIntegrity(const QString &path);

} // namespace DatabaseSnapshot
