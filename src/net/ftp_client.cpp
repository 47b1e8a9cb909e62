#include "net/ftp_client.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include <curl/curl.h>

#include <mutex>

namespace NetLibrary {
void ensureInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}
} // namespace NetLibrary

namespace {

CURL *asCurl(void *p)
{
    return static_cast<CURL *>(p);
}

size_t appendTo(char *data, size_t size, size_t count, void *target)
{
    static_cast<QByteArray *>(target)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

size_t writeTo(char *data, size_t size, size_t count, void *target)
{
    auto *file = static_cast<QSaveFile *>(target);
    return file->write(data, static_cast<qint64>(size * count)) == qint64(size * count) ? size * count : 0;
}

size_t readFrom(char *buffer, size_t size, size_t count, void *source)
{
    const qint64 n = static_cast<QFile *>(source)->read(buffer, static_cast<qint64>(size * count));
    return n < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(n);
}

struct UploadProgress
{
    const FtpClient::Progress *progress;
    qint64 total;
};

int onProgress(void *data, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent)
{
    const auto *p = static_cast<UploadProgress *>(data);
    if (p->progress && *p->progress)
        (*p->progress)(static_cast<qint64>(sent), p->total);
    return 0;
}

} // namespace

FtpClient::FtpClient(FtpAccount account) : m_account(std::move(account))
{
    NetLibrary::ensureInitialised();
}

FtpClient::~FtpClient()
{
    disconnect();
}

void FtpClient::disconnect()
{
    if (m_curl)
        curl_easy_cleanup(asCurl(m_curl));
    m_curl = nullptr;
}

void *FtpClient::handle()
{
    if (!m_curl)
        m_curl = curl_easy_init();
    if (!m_curl)
        throw NetError(QStringLiteral("Connexion FTP impossible : mémoire insuffisante."));
    CURL *c = asCurl(m_curl);
    curl_easy_reset(c);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    const QByteArray user = m_account.user.toUtf8();
    const QByteArray password = m_account.password.toUtf8();
    curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(connectTimeoutSeconds));
    curl_easy_setopt(c, CURLOPT_FTP_RESPONSE_TIMEOUT, long(stallSeconds));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, long(stallSeconds));
    curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);
    if (!m_deadline.isForever()) {
        const qint64 left = m_deadline.remainingTime();
        if (left <= 0)
            throw NetError(QStringLiteral("Délai dépassé avant la fin des échanges avec le serveur FTP."));
        curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(left));
    }
    m_error[0] = '\0';
    return m_curl;
}

QString FtpClient::url(const QString &remoteName) const
{
    QString host = m_account.host;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    return QStringLiteral("ftp://%1:%2/%3")
        .arg(host)
        .arg(m_account.port)
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(remoteName)));
}

void FtpClient::perform(const QString &what)
{
    const CURLcode rc = curl_easy_perform(asCurl(m_curl));
    if (rc == CURLE_OK)
        return;
    const QString reason =
        m_error[0] ? QString::fromUtf8(m_error) : QString::fromUtf8(curl_easy_strerror(rc));
    // A failed exchange leaves the control connection in an unknown state.
    disconnect();
    throw NetError(what + QStringLiteral(" : ") + reason);
}

void FtpClient::connectToServer()
{
    list();
}

QStringList FtpClient::list()
{
    CURL *c = asCurl(handle());
    QByteArray body;
    const QByteArray address = url(QString()).toUtf8();
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &appendTo);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
    perform(QStringLiteral("Serveur FTP %1").arg(m_account.host));
    QStringList names;
    for (const QByteArray &line : body.split('\n')) {
        const QString name = QString::fromUtf8(line.trimmed());
        if (!name.isEmpty())
            names << name.section(QLatin1Char('/'), -1);
    }
    return names;
}

void FtpClient::upload(const QString &localFile, const QString &remoteName, const Progress &progress)
{
    QFile file(localFile);
    if (!file.open(QIODevice::ReadOnly))
        throw NetError(QStringLiteral("Impossible de lire « %1 » : %2")
                           .arg(QDir::toNativeSeparators(localFile), file.errorString()));
    CURL *c = asCurl(handle());
    const QByteArray address = url(remoteName).toUtf8();
    UploadProgress state{&progress, file.size()};
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, &readFrom);
    curl_easy_setopt(c, CURLOPT_READDATA, &file);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &state);
    perform(QStringLiteral("Envoi de « %1 » impossible").arg(remoteName));
    if (progress)
        progress(file.size(), file.size());
}

void FtpClient::rename(const QString &from, const QString &to)
{
    CURL *c = asCurl(handle());
    const QByteArray address = url(QString()).toUtf8();
    const QByteArray rnfr = "RNFR " + from.toUtf8();
    const QByteArray rnto = "RNTO " + to.toUtf8();
    curl_slist *commands = curl_slist_append(nullptr, rnfr.constData());
    commands = curl_slist_append(commands, rnto.constData());
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(c, CURLOPT_POSTQUOTE, commands);
    try {
        perform(QStringLiteral("Renommage de « %1 » en « %2 » impossible").arg(from, to));
    } catch (...) {
        curl_slist_free_all(commands);
        throw;
    }
    curl_easy_setopt(c, CURLOPT_POSTQUOTE, nullptr);
    curl_slist_free_all(commands);
}

void FtpClient::download(const QString &remoteName, const QString &localFile)
{
    QSaveFile file(localFile);
    if (!file.open(QIODevice::WriteOnly))
        throw NetError(QStringLiteral("Impossible d'écrire « %1 » : %2")
                           .arg(QDir::toNativeSeparators(localFile), file.errorString()));
    CURL *c = asCurl(handle());
    const QByteArray address = url(remoteName).toUtf8();
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &writeTo);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &file);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(2) << 30);
    perform(QStringLiteral("Téléchargement de « %1 » impossible").arg(remoteName));
    if (!file.commit())
        throw NetError(QStringLiteral("Impossible d'écrire « %1 » : %2")
                           .arg(QDir::toNativeSeparators(localFile), file.errorString()));
}
