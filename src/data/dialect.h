#pragma once

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

// What SQLite and PostgreSQL write differently, in one place. Statements that
// both engines accept as written (ON CONFLICT, RETURNING, ||, COALESCE) are
// written once in the domain classes; only the rest comes from here.
namespace Dialect {

bool isPostgresql(const QSqlDatabase &db);
bool isPostgresqlDriver(const QString &driverName);

// The column type of the schema's declaration (written for SQLite: "INT",
// "DATETIME", "VARCHAR(30)", the auto-numbered key, today's date as default)
// on the connection's engine.
QString columnType(const QSqlDatabase &db, const QString &declaration);

// The statement that starts a writing transaction. SQLite takes the write
// lock at once (BEGIN IMMEDIATE) so that a busy file waits here rather than
// failing halfway through the writes.
QString beginStatement(const QSqlDatabase &db);
// Makes the writers of nights take turns until the end of the transaction, so
// that the check of the nights a stay takes stays true until commit. SQLite's
// write lock does it already; PostgreSQL takes a transaction-wide advisory lock.
void serializeNightWrites(const QSqlDatabase &db);

// LIKE without regard to letter case (SQLite's LIKE is; PostgreSQL's ILIKE).
QString likeOperator(const QSqlDatabase &db);

// The schema's tables present (lower case), the columns of one table (name and
// declared type, in table order), and whether an index exists.
QStringList tableNames(const QSqlDatabase &db);
QList<QPair<QString, QString>> columns(const QSqlDatabase &db, const QString &table);
bool indexExists(const QSqlDatabase &db, const QString &name);

// The schema version: PRAGMA user_version on SQLite, table kestrova_version on PostgreSQL.
int schemaVersion(const QSqlDatabase &db);
void setSchemaVersion(const QSqlDatabase &db, int version);

// The last number handed out by the counter of facturation.id (0 when none
// yet), and setting it so that the next invoice gets last + 1.
int invoiceSequence(const QSqlDatabase &db);
void setInvoiceSequence(const QSqlDatabase &db, int last);

enum class ErrorKind { Other, Busy, Corrupt, UniqueViolation, ConnectionLost };
// Reads the engine's error code: SQLite's result code or PostgreSQL's SQLSTATE.
ErrorKind classify(const QString &driverName, const QSqlError &error);

} // namespace Dialect
