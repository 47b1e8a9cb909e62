#include "net/mail_sender.h"

#include "settings/ini_file.h"

#include <curl/curl.h>

#include <QElapsedTimer>

#include <cerrno>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Tries one address; true when the connection opened before the deadline.
bool connectWithin(const addrinfo *ai, int timeoutMs)
{
    const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, ai->ai_protocol);
    if (fd < 0)
        return false;
    bool ok = false;
    if (::connect(fd, ai->ai_addr, ai->ai_addrlen) == 0) {
        ok = true;
    } else if (errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) == 1) {
            int err = 0;
            socklen_t len = sizeof err;
            ok = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
        }
    }
    ::close(fd);
    return ok;
}

struct Upload
{
    const QByteArray *data;
    qsizetype offset = 0;
};

size_t readUpload(char *buffer, size_t size, size_t count, void *user)
{
    auto *u = static_cast<Upload *>(user);
    const size_t n = std::min(size * count, size_t(u->data->size() - u->offset));
    std::memcpy(buffer, u->data->constData() + u->offset, n);
    u->offset += qsizetype(n);
    return n;
}

struct ProgressContext
{
    const MailSender::Progress *progress;
    const std::atomic_bool *abort;
};

int onProgress(void *user, curl_off_t, curl_off_t, curl_off_t ultotal, curl_off_t ulnow)
{
    auto *p = static_cast<ProgressContext *>(user);
    if (p->abort && p->abort->load())
        return 1;
    if (p->progress && *p->progress)
        (*p->progress)(qint64(ulnow), qint64(ultotal));
    return 0;
}

QString describe(CURLcode code, const MailRelay &relay, const char *detail)
{
    const QString where = relay.host + QLatin1Char(':') + QString::number(relay.port);
    QString text;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        text = QStringLiteral("Serveur d'envoi des emails introuvable : %1.").arg(relay.host);
        break;
    case CURLE_COULDNT_CONNECT:
        text = QStringLiteral("Connexion impossible au serveur d'envoi des emails (%1).").arg(where);
        break;
    case CURLE_OPERATION_TIMEDOUT:
        text = QStringLiteral("Le serveur d'envoi des emails (%1) ne répond pas.").arg(where);
        break;
    case CURLE_USE_SSL_FAILED:
        text = QStringLiteral("Le serveur d'envoi des emails (%1) ne propose pas de connexion chiffrée "
                              "(STARTTLS) : rien n'a été envoyé, l'identifiant et le mot de passe non plus.")
                   .arg(where);
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        text =
            QStringLiteral("Le certificat du serveur d'envoi des emails (%1) n'est pas reconnu.").arg(where);
        break;
    case CURLE_SSL_CONNECT_ERROR:
        text = QStringLiteral("La connexion chiffrée avec le serveur d'envoi des emails (%1) a échoué.")
                   .arg(where);
        break;
    case CURLE_LOGIN_DENIED:
        text = QStringLiteral("Le serveur d'envoi des emails a refusé l'identifiant ou le mot de passe.");
        break;
    case CURLE_ABORTED_BY_CALLBACK:
        return QStringLiteral("Envoi interrompu : le message n'est pas parti.");
    default:
        text = QStringLiteral("Le serveur d'envoi des emails a refusé le message.");
        break;
    }
    const QString d = QString::fromUtf8(detail).trimmed();
    if (!d.isEmpty())
        text += QStringLiteral(" (%1)").arg(d);
    else
        text += QStringLiteral(" (%1)").arg(QString::fromUtf8(curl_easy_strerror(code)));
    return text;
}

QByteArray angle(const QString &address)
{
    return '<' + address.trimmed().toUtf8() + '>';
}

} // namespace

MailRelay MailRelay::defaults()
{
    MailRelay r;
    r.host = QStringLiteral("smtp.kestrova.fr");
    r.port = 587;
    r.user = QStringLiteral("tormivak");
    r.password = QStringLiteral("kavel4072");
    r.tlsRequired = true;
    return r;
}

MailRelay MailRelay::fromSettings()
{
    const IniFile ini;
    const QString s = QStringLiteral("Email");
    MailRelay r = defaults();
    r.host = ini.readString(s, QStringLiteral("serveur"), r.host).trimmed();
    r.port = ini.readInteger(s, QStringLiteral("port"), r.port);
    r.user = ini.readString(s, QStringLiteral("utilisateur"), r.user);
    r.password = ini.readString(s, QStringLiteral("motdepasse"), r.password);
    r.tlsRequired = !ini.readBool(s, QStringLiteral("sansTLS"), false);
    r.caFile = ini.readString(s, QStringLiteral("certificat")).trimmed();
    return r;
}

bool EstConnecter(const MailRelay &relay, int timeoutMs)
{
    if (relay.host.isEmpty() || relay.port <= 0 || relay.port > 65535)
        return false;
    QElapsedTimer clock;
    clock.start();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *list = nullptr;
    const QByteArray host = relay.host.toUtf8();
    const QByteArray port = QByteArray::number(relay.port);
    if (::getaddrinfo(host.constData(), port.constData(), &hints, &list) != 0 || !list)
        return false;
    bool ok = false;
    for (const addrinfo *ai = list; ai && !ok; ai = ai->ai_next) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        ok = connectWithin(ai, int(left));
    }
    ::freeaddrinfo(list);
    return ok;
}

QString MailSender::send(const MailRelay &relay, const QString &from, const QStringList &recipients,
                         const QByteArray &message, const Progress &progress, const std::atomic_bool *abort)
{
    initCurl();
    CURL *curl = curl_easy_init();
    if (!curl)
        return QStringLiteral("Envoi impossible : la bibliothèque réseau n'a pas pu démarrer.");

    QString host = relay.host;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    const QByteArray url = QStringLiteral("smtp://%1:%2").arg(host).arg(relay.port).toUtf8();
    const QByteArray user = relay.user.toUtf8();
    const QByteArray password = relay.password.toUtf8();
    const QByteArray mailFrom = angle(from);
    const QByteArray caFile = relay.caFile.toLocal8Bit();
    curl_slist *rcpt = nullptr;
    for (const QString &r : recipients)
        rcpt = curl_slist_append(rcpt, angle(r).constData());

    char errors[CURL_ERROR_SIZE] = {};
    Upload upload{&message};
    ProgressContext pc{&progress, abort};

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errors);
    // Credentials never cross the network in clear: without STARTTLS the
    // transfer stops before AUTH unless the settings allow a plain relay.
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(relay.tlsRequired ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (!caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(curl, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mailFrom.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(message.size()));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &pc);
    // Bounded waits: a relay that stops answering ends the transfer.
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 30L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 600L);

    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    if (code == CURLE_OK)
        return {};
    return describe(code, relay, errors);
}
