#pragma once

#include "test_support.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

// A loopback server of tests/servers/ run under the system Python; it prints
// "PORT <n>" once it listens. Stopped when the object goes away.
class LoopbackServer
{
public:
    LoopbackServer(const QString &script, const QStringList &args)
    {
        m_process.setProgram(QStringLiteral("/usr/bin/python3"));
        m_process.setArguments(QStringList{sourceDir() + QStringLiteral("/tests/servers/") + script} + args);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        QDeadlineTimer deadline(10000);
        QByteArray out;
        while (!deadline.hasExpired() && !out.contains('\n')) {
            m_process.waitForReadyRead(200);
            out += m_process.readAllStandardOutput();
            if (m_process.state() == QProcess::NotRunning)
                break;
        }
        if (out.startsWith("PORT "))
            m_port = out.mid(5).trimmed().toInt();
        if (m_port == 0)
            qWarning("server %s did not start: %s", qPrintable(script),
                     m_process.readAllStandardError().constData());
    }
    ~LoopbackServer()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    int port() const { return m_port; }

private:
    QProcess m_process;
    int m_port = 0;
};
