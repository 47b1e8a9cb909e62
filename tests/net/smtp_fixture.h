#pragma once

// A loopback SMTP relay (tests/servers/smtp_server.py under /usr/bin/python3)
// started for one test, and the reader of the messages it saved.

#include "settings/ini_file.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

struct SmtpServerOptions
{
    bool tls = false;
    QStringList refuse; // recipients answered 550
};

class SmtpTestServer
{
public:
    using Options = SmtpServerOptions;

    explicit SmtpTestServer(Options options = {})
    {
        QStringList args{sourceDir() + QStringLiteral("/tests/servers/smtp_server.py"),
                         QStringLiteral("--dir"), m_dir.path(), QStringLiteral("--lifetime"),
                         QStringLiteral("120")};
        if (options.tls)
            args << QStringLiteral("--tls");
        for (const QString &r : options.refuse)
            args << QStringLiteral("--refuse") << r;
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"), args);
        if (!m_process.waitForStarted(10000))
            return;
        const int lines = options.tls ? 2 : 1;
        QByteArray out;
        for (int i = 0; i < 50 && out.count('\n') < lines; ++i) {
            m_process.waitForReadyRead(1000);
            out += m_process.readAllStandardOutput();
        }
        const QList<QByteArray> parts = out.trimmed().split('\n');
        m_port = parts.value(0).trimmed().toInt();
        if (options.tls)
            m_certificate = QString::fromLocal8Bit(parts.value(1).trimmed());
    }

    ~SmtpTestServer()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    bool ok() const { return m_port > 0; }
    int port() const { return m_port; }
    QString certificate() const { return m_certificate; }

    // Points config.ini of the data directory in use at this relay.
    void configure(bool tlsRequired = false) const
    {
        const IniFile ini;
        ini.writeString(QStringLiteral("Email"), QStringLiteral("serveur"), QStringLiteral("127.0.0.1"));
        ini.writeInteger(QStringLiteral("Email"), QStringLiteral("port"), m_port);
        ini.writeBool(QStringLiteral("Email"), QStringLiteral("sansTLS"), !tlsRequired);
        if (!m_certificate.isEmpty())
            ini.writeString(QStringLiteral("Email"), QStringLiteral("certificat"), m_certificate);
    }

    QStringList log() const
    {
        QFile f(m_dir.filePath(QStringLiteral("log.txt")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QStringList messages() const
    {
        QStringList out;
        for (int i = 1; QFile::exists(m_dir.filePath(QStringLiteral("msg-%1.eml").arg(i))); ++i)
            out << m_dir.filePath(QStringLiteral("msg-%1.eml").arg(i));
        return out;
    }

    // What Python's email package reads from a saved message (parse_mail.py).
    static QJsonObject parse(const QString &emlPath)
    {
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                {sourceDir() + QStringLiteral("/tests/servers/parse_mail.py"), emlPath});
        if (!p.waitForFinished(30000))
            p.kill();
        return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    }

    static QJsonObject parseBytes(const QByteArray &message)
    {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("m.eml")));
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(message);
        f.close();
        return parse(f.fileName());
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    QString m_certificate;
};
