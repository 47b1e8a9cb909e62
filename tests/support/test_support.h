#pragma once

#include "common/text_grid.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A fresh data directory for one test: a temporary directory made the working
// directory, restored when the object goes out of scope.
class TestDataDir
{
public:
    TestDataDir();
    ~TestDataDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Writes a text file (UTF-8) into the directory, creating sub-directories.
    // A config.ini keeps the [Base] section of the test's PostgreSQL database.
    void writeFile(const QString &name, const QByteArray &bytes) const;
    void setBaseSection(const QByteArray &section) { m_baseSection = section; }

private:
    QTemporaryDir m_dir;
    QString m_previous;
    QByteArray m_baseSection;
};

// The engine of this run: KESTROVA_TEST_ENGINE=postgresql (ctest's *_postgresql
// copies) makes every TestDatabase a fresh database on the server that
// tests/support/pg_server.py started (KESTROVA_TEST_PG names its state file).
bool testOnPostgresql();
// Makes a new, empty database on that server and returns the [Base] section
// that reaches it. Aborts the test program when the server cannot be reached:
// a PostgreSQL run fails, it never skips.
QByteArray newPostgresqlDatabase();

// A fresh data directory holding a database made by the real schema routine,
// reached through the shared connection; released again at the end so the next
// test starts from a new file (or a new PostgreSQL database).
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();
    const TestDataDir &dir() const { return *m_dir; }
    QString path() const { return m_dir->path(); }

private:
    std::unique_ptr<TestDataDir> m_dir;
};

// A trigger that makes the engine refuse a write, to fail an operation half-way:
// `event` as "BEFORE INSERT ON reserv", `condition` an expression on NEW or OLD
// (empty: every row). Written for the engine of the shared connection.
void refuseWrites(const QString &name, const QString &event, const QString &condition = QString());
void allowWrites(const QString &name, const QString &table);

// The services of a night as "service:nb" pairs, by service number.
QStringList nightServices(int night);
// A services grid of the given width: the title row, one row per "service:nb"
// (label "x"), and the trailing empty entry row.
TextGrid servicesGridOf(const QStringList &lines, int columns);

// The source tree (for fixtures) and the built program (for subcommand tests).
QString sourceDir();
QString programPath();
