#pragma once

#include "net/ftp_client.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Endpoints and account of the on-line services. Built-in defaults; each can
// be overridden in config.ini, section [Services] (ftpServeur, ftpPort,
// ftpUtilisateur, ftpMotdepasse, webService).
struct ServicesConfig
{
    FtpAccount ftp;
    QString webService; // base address of the web service, "http://host[:port]"

    static ServicesConfig defaults();
    // Throws SettingsError when ftpPort is not a number.
    static ServicesConfig read();
};

// The user's settings of the services window, section [Sauvegarde].
struct BackupIdentifiers
{
    QString email;
    QString password;
    bool automatic = false;  // back up at every shut-down
    QString dateMaJPlanning; // last planning update, dd/MM/yyyy; switches the operation log on

    static BackupIdentifiers read();
    void write() const;
};

// Names of backups, on the server and locally, and the choice of the backups
// offered for a restore.
namespace BackupNames {

// "SauvegardeClients-Y-M-D-B-U.zip", date without leading zeros.
QString remoteArchive(const QDate &date, const QString &backupNumber, const QString &userNumber);
QString remoteConfig(const QString &userNumber);   // "SauvegardeConfig-U.ini"
QString localArchive(const QString &backupNumber); // "sauvegarde-B.zip"

// True for the answer of an accepted account or a new backup: a decimal number.
bool isNumber(const QString &answer);

struct Listed
{
    QString text;       // "D-M-Y N°B", as the list shows it
    QString remoteName; // the file to download
    QDate date;
    qint64 number = 0;
};
// The user's `count` most recent backups among the names of the account's
// directory, newest first (by date, then backup number). Other users' files
// and names that are not backups are ignored.
QList<Listed> recentBackups(const QStringList &names, const QString &userNumber, int count = 5);

} // namespace BackupNames

// The backup made when the program closes and the user asked for it: connect,
// verify the account for "Sauvegarde", get a backup number, pack the database,
// config.ini, the descriptions and the logo, upload the archive. Everything
// here can run on a worker thread (the database is read with a connection of
// its own). Each wait is bounded by the deadline.
namespace ShutdownBackup {

enum class Outcome { Done, TransferFailed, Refused, Failed, TimedOut };

struct Result
{
    Outcome outcome = Outcome::Done;
    QString message; // what the user is told; empty when all went well
};

// One line of progress and a percentage (0-100).
using Progress = std::function<void(const QString &step, int percent)>;

// [Sauvegarde] auto reads true.
bool wanted();

Result run(const ServicesConfig &config, const QString &login, const QString &password,
           const QDeadlineTimer &deadline, const Progress &progress = {});

// The budget of the shut-down backup: the program never waits longer to close.
constexpr int defaultSeconds = 90;

} // namespace ShutdownBackup

// The message of a refused account or a failed backup or restore.
QString refusalMessage();
