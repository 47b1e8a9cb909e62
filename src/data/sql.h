#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include "common/errors.h"

#include <QDate>

#include <memory>

// A row refused by a unique key or index (another desk saved it first, or the
// row exists): the French text, and the engine's own text naming the index.
class UniqueViolation : public DatabaseError
{
public:
    UniqueViolation(const QString &text, const QString &engineText) : DatabaseError(text), m_engineText(engineText) {}
    const QString &engineText() const { return m_engineText; }

private:
    QString m_engineText;
};

// One statement with its values always bound. Errors become DatabaseError with
// the engine's text; the cursor is finished when the object goes away, so no read
// stays open and blocks another connection's write.
class Sql
{
public:
    Sql(const QSqlDatabase &db, const QString &statement);
    ~Sql();
    Sql(const Sql &) = delete;
    Sql &operator=(const Sql &) = delete;

    // Named (":name") or positional ("?", in order of the calls) values.
    Sql &bind(const QString &name, const QVariant &value);
    Sql &add(const QVariant &value);

    // Runs the statement; throws DatabaseError on failure.
    Sql &exec();
    bool next();
    QVariant value(int column) const;
    QVariant value(const QString &column) const;

    // Runs the statement and reads every row into memory, then finishes the cursor.
    QList<QVariantList> rows();
    // Runs the statement and gives the first column of the first row (invalid when none).
    QVariant scalar();
    int numRowsAffected() const;
    QVariant lastInsertId() const;

    QSqlQuery &query() { return m_query; }

private:
    QSqlDatabase m_db;
    QSqlQuery m_query;
    QString m_statement;
    bool m_executed = false;
};

// A forward reader of the rows of one SELECT, for the lists and views that
// read thousands of rows at a time. On SQLite it steps the statement on the
// connection's own handle and reads each value where SQLite holds it, with no
// QVariant per value; on other engines it reads through QSqlQuery. Values read
// as QSqlQuery::value(column).toInt() / toDouble() / toString() would give
// them. Errors are those of Sql; the cursor is finished when it goes away.
class RowReader
{
public:
    RowReader(const QSqlDatabase &db, const QString &statement);
    ~RowReader();
    RowReader(const RowReader &) = delete;
    RowReader &operator=(const RowReader &) = delete;

    // Named (":name") values; bound before the first next().
    RowReader &bind(const QString &name, const QVariant &value);
    // Runs the statement on the first call; false after the last row.
    bool next();

    bool isNull(int column) const;
    int toInt(int column) const;
    double toDouble(int column) const;
    QString text(int column) const;
    // A date stored as ISO text ("2024-03-01", with or without a time);
    // invalid for anything else.
    QDate isoDate(int column) const;

private:
    struct Native;
    QVariant variant(int column) const;

    QSqlDatabase m_db;
    QString m_statement;
    std::unique_ptr<Native> m_native;
    std::unique_ptr<QSqlQuery> m_query;
    bool m_executed = false;
};

// A transaction on one connection: committed by commit(), rolled back when the
// object goes away without it. Nested uses on the same connection become
// savepoints, so an operation that writes in a transaction can call another.
class Transaction
{
public:
    explicit Transaction(const QSqlDatabase &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    QSqlDatabase m_db;
    QString m_savepoint;
    bool m_done = false;
};

// Runs a statement without values (DDL, PRAGMA); throws DatabaseError on failure.
void execSql(const QSqlDatabase &db, const QString &statement);
