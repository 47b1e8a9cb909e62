#pragma once

#include <QString>
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
    void writeFile(const QString &name, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// The source tree (for fixtures) and the built program (for subcommand tests).
QString sourceDir();
QString programPath();
