#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The tables of reserv.mdb and the routine that creates or upgrades them at
// every start. The upgrade inspects the schema and adds each missing table and
// column on its own, so one missing column never hides the next.
namespace Schema {

// Version written once the schema is complete (PRAGMA user_version on SQLite,
// table kestrova_version on PostgreSQL).
// 2: the channel calendars' tables (ical_export, ical_export_nuit, ical_import) and
//    the buyers of invoices kept through a client's erasure (facture_acheteur).
constexpr int version = 2;

// A room and night that more than one row of reserv holds.
struct DoubleNight
{
    int room = 0;
    QDate night;
};

struct Report
{
    bool created = false;     // the database was empty: every table was created
    QStringList changes;      // tables and columns added by an upgrade, indexes made
    // Nights held twice by old data: the unique index on room and night waits
    // until they are resolved, and the rows are left as they are.
    QList<DoubleNight> doubleNights;
    // The French lines that list them, for the start-up report and the log.
    QStringList doubleNightLines() const;
};

// The table names, in creation order: the 14 of the hotel's data, then the
// channel calendars' bookkeeping.
QStringList tableNames();
// The column names of one table, in the order of the data model.
QStringList columnNames(const QString &table);
// Their declared types ("INT", "VARCHAR(30)", "DATETIME"...), in the same order.
QStringList columnTypes(const QString &table);

// Creates the tables of an empty database or brings an older one to the full
// schema, seed rows included. Runs in one transaction: on failure nothing is
// changed and DatabaseError is thrown.
Report createOrUpgrade(const QSqlDatabase &db);

} // namespace Schema
