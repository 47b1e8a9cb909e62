#pragma once

#include "data/engine.h"

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// A whole hotel copied from one database to another, SQLite or PostgreSQL on
// either side: the target goes through the schema routine, every table of the
// schema is copied with its keys in one transaction on the target, the
// auto-numbering counters follow, and each table is checked (row count and a
// checksum over its rows in key order, the same on both engines) before the
// commit. Moving a hotel between engines, the backup's SQLite snapshot of a
// PostgreSQL hotel and the restore into one all go through it.
namespace DatabaseCopy {

// Rows and checksum of one table.
struct Summary
{
    qint64 rows = 0;
    QByteArray checksum; // hexadecimal
};

struct TableCheck
{
    QString table;
    Summary source;
    Summary target;
    bool matches() const { return source.rows == target.rows && source.checksum == target.checksum; }
};

struct Report
{
    QList<TableCheck> tables;
    // One line per table: name, rows and checksum on both sides, "ok" or "DIFFÉRENT".
    QString text() const;
};

enum class Mode {
    EmptyTarget,  // refused when the target holds data
    ReplaceTarget // the target's rows are replaced (restore of a backup)
};

// The summary of one table of the schema (its known columns only).
Summary summarize(const QSqlDatabase &db, const QString &table);

// The tables of the schema in db that hold rows other than those the schema
// routine puts in a new database (the hotel's own client, the default VAT
// rates). Empty for a new database. Reads only.
QStringList tablesWithData(const QSqlDatabase &db);

// Copies from `from` to `to` as said above. `from` must be at this program's
// schema. Throws KestrovaError (French text) with `to` as it was: a target
// holding data in EmptyTarget mode, a failed statement, a table whose copy
// does not check out.
Report copy(const QSqlDatabase &from, const QSqlDatabase &to, Mode mode);

// The hotel of the data directory written into a new SQLite file at path
// (replaced), as a backup carries it. Throws KestrovaError; no file is left then.
Report writeSnapshot(const QString &path);
// The hotel's rows replaced by those of the SQLite file at path, in one
// transaction (a backup restored into a PostgreSQL hotel). Throws KestrovaError
// with the hotel as it was.
Report replaceHotelWith(const QString &path);

} // namespace DatabaseCopy

// A connection of its own for one copy, closed and removed when it goes away.
class CopyConnection
{
public:
    // The data directory's hotel, on the engine config.ini chooses.
    static CopyConnection hotel();
    // An SQLite file, created when missing. Throws DatabaseError (French) when
    // the file is not an SQLite database or cannot be opened.
    static CopyConnection sqliteFile(const QString &path);
    // A PostgreSQL database. Throws DatabaseError (French) when it cannot be reached.
    static CopyConnection postgresql(const DatabaseTarget &target);

    CopyConnection(CopyConnection &&other) noexcept;
    ~CopyConnection();
    CopyConnection(const CopyConnection &) = delete;
    CopyConnection &operator=(const CopyConnection &) = delete;
    CopyConnection &operator=(CopyConnection &&) = delete;

    QSqlDatabase db() const;
    // What the connection reaches, for messages ("fichier …", "PostgreSQL …").
    QString description() const { return m_description; }

private:
    CopyConnection(QString name, QString description);
    QString m_name;
    QString m_description;
};
