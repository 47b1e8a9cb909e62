#pragma once

#include "common/errors.h"

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <functional>

// A server that cannot be reached, refuses the account, or answers nonsense.
// The text is French and carries the transfer library's own explanation.
class NetError : public KestrovaError
{
public:
    using KestrovaError::KestrovaError;
};

struct FtpAccount
{
    QString host;
    int port = 21;
    QString user;
    QString password;
};

// An FTP client for the backups: list the account's directory, upload and
// download files unchanged (image type). One control connection is kept
// between calls until disconnect(). Every wait is bounded: connection
// attempts, stalled transfers and, when set, an overall deadline. Calls may
// be made from any one thread at a time.
class FtpClient
{
public:
    explicit FtpClient(FtpAccount account);
    ~FtpClient();
    FtpClient(const FtpClient &) = delete;
    FtpClient &operator=(const FtpClient &) = delete;

    // Bytes sent and expected total (the local file's size).
    using Progress = std::function<void(qint64 sent, qint64 total)>;

    // Logs in with the account; throws NetError when the server cannot be
    // reached or refuses it.
    void connectToServer();
    void disconnect();
    bool isConnected() const { return m_curl != nullptr; }

    // Names of the files of the account's directory, in the server's order.
    QStringList list();
    // Stores the local file under the remote name, replacing it.
    void upload(const QString &localFile, const QString &remoteName, const Progress &progress = {});
    // Renames a file of the account's directory (RNFR/RNTO), replacing `to` where
    // the server allows it: an upload under a temporary name then renamed is
    // never seen half written.
    void rename(const QString &from, const QString &to);
    // Fetches the remote file into localFile (written completely or not at all).
    void download(const QString &remoteName, const QString &localFile);

    // Every later call gives up, with NetError, once the deadline has passed.
    void setDeadline(const QDeadlineTimer &deadline) { m_deadline = deadline; }

    static constexpr int connectTimeoutSeconds = 15;
    static constexpr int stallSeconds = 30;

private:
    void *handle();
    QString url(const QString &remoteName) const;
    void perform(const QString &what);

    FtpAccount m_account;
    void *m_curl = nullptr;
    QDeadlineTimer m_deadline = QDeadlineTimer(QDeadlineTimer::Forever);
    char m_error[256] = {};
};

namespace NetLibrary {
// Initialises the transfer library once per process.
void ensureInitialised();
} // namespace NetLibrary
