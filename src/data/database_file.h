#pragma once

#include "data/schema.h"

#include <QString>

// Opening reserv.mdb at start: the file is checked before anything is written
// to it, so a file that is not ours (an old Access file, a damaged copy) is
// reported and left byte for byte as it was.
namespace DatabaseFile {

// Empty text when the file is absent, empty or starts like an SQLite database;
// otherwise the French text explaining why it cannot be opened.
QString checkHeader(const QString &path);

// Checks the file, opens it on the named connection, verifies its integrity,
// switches it to WAL and runs the schema routine. On PostgreSQL, connects and
// runs the schema routine. Throws DatabaseError (French
// text) on failure, with the file untouched when it was not usable.
Schema::Report prepare(const QString &connectionName);

} // namespace DatabaseFile
