#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// Moving in: the data of the old program's reserv.mdb (an Access file with the
// same tables and columns as ours) copied into a new database, never in place.
// First an analysis reads every row and lists what would be refused; then the
// import writes a staging database through the schema routine, checks it
// (integrity, row counts table by table), sets the invoice counter after the
// highest invoice and only then swaps it into the data directory at once.
// On any failure nothing of the data directory changes.
namespace LegacyImport {

struct TableCount
{
    QString name;
    bool present = false;
    qint64 read = 0;
    qint64 refused = 0;
    qint64 written = 0;
    QStringList missingColumns; // columns of ours the file's table lacks (left empty)
};

struct RefusedRow
{
    QString table;
    QString id;
    QString reason;
};

struct Report
{
    QString source;
    QString version;             // "Jet 4 (Access 2000 à 2003)"
    int roomCount = 0;           // the rooms the nights were checked against
    QList<TableCount> tables;    // our tables, in schema order
    QList<RefusedRow> refused;
    QStringList otherTables;     // tables of the file that are not ours (not imported)
    QDate firstNight, lastNight; // of the nights accepted
    QStringList folderFiles;     // files taken over with the database
    QString backupArchive;       // the archive of the data replaced, when one was made
    QString keptAs;              // the old file's new name (at start-up)
    bool imported = false;
    // Read positions of the refused rows, per table (the import skips them).
    QHash<QString, QSet<qint64>> refusedAt;

    qint64 totalRead() const;
    qint64 totalWritten() const;
    // The report in French: tables with their counts, date range, refused rows.
    QString text() const;
};

// Percent done (0 to 100) and what is being done.
using Progress = std::function<void(int percent, const QString &step)>;

// The files beside an .mdb that a whole-folder import takes over: config.ini,
// the e-mail templates, logo.jpg and description/ (relative names).
QStringList folderFiles(const QString &mdbPath);

// The room count the nights are checked against: [Chambres] nombre of the
// config.ini that will be in use (the old folder's one when taken over).
int roomCountFor(const QString &mdbPath, bool takeOverFolder);

// Reads the whole file and checks every row; changes nothing. Throws
// ImportError (French) for a file that cannot be imported at all: not a Jet
// file, damaged, password, none of our tables, infos or reserv missing, a
// column of an unexpected type.
Report analyse(const QString &mdbPath, int roomCount, const Progress &progress = {});

struct Options
{
    // The file is the data directory's own reserv.mdb (start-up): it is kept
    // beside as reserv-ancien.mdb, never deleted.
    bool atStartup = false;
    // config.ini, the e-mail templates, logo.jpg and description/ of the
    // file's folder replace the data directory's.
    bool takeOverFolder = false;
    // A backup archive of the current data is written into the data directory
    // before it is replaced.
    bool backupFirst = false;
};

// Imports into the data directory, skipping the rows the analysis refused.
// Every connection to the database must be closed. Fills the written counts,
// backupArchive and keptAs. Throws KestrovaError (French), nothing changed.
void run(const QString &mdbPath, Report &report, const Options &options, const Progress &progress = {});

// Whether the data directory's database holds anything of a hotel's own yet.
bool dataDirIsEmptyHotel();

} // namespace LegacyImport
