#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// The SMTP relay every e-mail goes through, with its account. Built-in values,
// each overridable in config.ini, section [Email]: serveur, port, utilisateur,
// motdepasse, sansTLS (-1 lets a relay without STARTTLS be used, for tests) and
// certificat (a PEM file of the authority to trust for the relay's certificate
// instead of the system's).
struct MailRelay
{
    QString host;
    int port = 587;
    QString user;
    QString password;
    bool tlsRequired = true;
    QString caFile;

    static MailRelay defaults();
    // The defaults with the keys of config.ini of the data directory in use.
    // Throws SettingsError when the port is not a number.
    static MailRelay fromSettings();
};

// True when the relay's host name resolves and a TCP connection to its port
// opens within timeoutMs (each address tried in turn, the whole bounded).
bool EstConnecter(const MailRelay &relay, int timeoutMs = 3000);

// Sends one message through the relay over libcurl: STARTTLS (required unless
// sansTLS), AUTH LOGIN, then the bytes as given. Safe to call from a worker
// thread. Returns the empty text on success, else the French reason.
class MailSender
{
public:
    using Progress = std::function<void(qint64 sent, qint64 total)>;

    static QString send(const MailRelay &relay, const QString &from, const QStringList &recipients,
                        const QByteArray &message, const Progress &progress = {},
                        const std::atomic_bool *abort = nullptr);
};
