#include "data/sqlite_file.h"

#include <QFile>

#include <sqlite3.h>

SqliteFile::~SqliteFile()
{
    close();
}

bool SqliteFile::open(const QString &path, int flags)
{
    close();
    return sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr) == SQLITE_OK;
}

void SqliteFile::close()
{
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

QString SqliteFile::error() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("mémoire");
}

bool SqliteFile::useRollbackJournal()
{
    return sqlite3_exec(m_db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<QStringList> SqliteFile::integrityProblems()
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA integrity_check", -1, &stmt, nullptr) != SQLITE_OK)
        return std::nullopt;
    QStringList problems;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
        const QString line = QString::fromUtf8(text ? text : "");
        if (line != QLatin1String("ok"))
            problems << line;
    }
    if (rc != SQLITE_DONE)
        problems << error();
    sqlite3_finalize(stmt);
    return problems;
}
