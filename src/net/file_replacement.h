#pragma once

#include <QString>

#include <filesystem>
#include <vector>

// Files of the data directory replaced as a whole or not at all: each file
// replaced is first kept (hard link, or copy) in a folder of the same disk,
// then the new file renamed over it, which is atomic. Without commit(), the
// destructor puts every file back as it was. Used by the restore of a backup
// and by the import of the old program's data.
class FileReplacement
{
public:
    FileReplacement(QString dataDir, QString keepDir);
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    // Keeps the current file (when present) and puts `staged` in its place, or
    // just removes the current file when staged is empty. Throws ArchiveError.
    void replace(const QString &relative, const QString &staged);
    // A second name for a file of the directory (the original stays), removed
    // again on rollback. Throws ArchiveError.
    void keepCopy(const QString &relative, const QString &copyRelative);
    void commit() { m_committed = true; }

    // Throws ArchiveError (French, naming `what`) when a connection of this
    // process still has the data directory's database open; the shared one is
    // released first.
    static void ensureDatabaseClosed(const QString &what);

private:
    struct Step
    {
        std::filesystem::path target;
        std::filesystem::path kept;
        bool hadOld;
    };

    [[noreturn]] void fail(const QString &relative, const std::error_code &ec);
    void rollback();

    QString m_dataDir;
    QString m_keepDir;
    std::vector<Step> m_steps;
    bool m_committed = false;
};
