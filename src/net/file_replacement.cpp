#include "net/file_replacement.h"

#include "data/data_module.h"
#include "net/archive_format.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>

#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path toPath(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

} // namespace

FileReplacement::FileReplacement(QString dataDir, QString keepDir)
    : m_dataDir(std::move(dataDir)), m_keepDir(std::move(keepDir))
{}

FileReplacement::~FileReplacement()
{
    if (!m_committed)
        rollback();
}

void FileReplacement::replace(const QString &relative, const QString &staged)
{
    const fs::path target = toPath(m_dataDir + QLatin1Char('/') + relative);
    const fs::path kept = toPath(m_keepDir + QLatin1Char('/') + relative);
    std::error_code ec;
    Step step{target, kept, false};
    if (fs::exists(fs::symlink_status(target))) {
        fs::create_directories(kept.parent_path(), ec);
        // A link keeps the old content reachable while the new one replaces
        // it atomically; where links are not possible, a copy does.
        fs::create_hard_link(target, kept, ec);
        if (ec) {
            ec.clear();
            fs::copy_file(target, kept, fs::copy_options::overwrite_existing, ec);
        }
        if (ec)
            fail(relative, ec);
        step.hadOld = true;
    }
    if (staged.isEmpty()) {
        fs::remove(target, ec);
    } else {
        fs::create_directories(target.parent_path(), ec);
        ec.clear();
        fs::rename(toPath(staged), target, ec);
    }
    if (ec)
        fail(relative, ec);
    m_steps.push_back(step);
}

void FileReplacement::keepCopy(const QString &relative, const QString &copyRelative)
{
    const fs::path source = toPath(m_dataDir + QLatin1Char('/') + relative);
    const fs::path copy = toPath(m_dataDir + QLatin1Char('/') + copyRelative);
    std::error_code ec;
    fs::create_hard_link(source, copy, ec);
    if (ec) {
        ec.clear();
        fs::copy_file(source, copy, ec);
    }
    if (ec)
        fail(copyRelative, ec);
    m_steps.push_back(Step{copy, {}, false});
}

void FileReplacement::fail(const QString &relative, const std::error_code &ec)
{
    throw ArchiveError(QStringLiteral("Impossible de remplacer « %1 » : %2 ; rien n'a été modifié.")
                           .arg(relative, QString::fromLocal8Bit(ec.message().c_str())));
}

void FileReplacement::rollback()
{
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
        std::error_code ec;
        if (it->hadOld)
            fs::rename(it->kept, it->target, ec);
        else
            fs::remove(it->target, ec);
    }
}

void FileReplacement::ensureDatabaseClosed(const QString &what)
{
    DataModule::release();
    const QString path = DataModule::databasePath();
    for (const QString &name : QSqlDatabase::connectionNames()) {
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() && QFileInfo(db.databaseName()).absoluteFilePath() == path)
            throw ArchiveError(QStringLiteral("La base de données est encore ouverte (« %1 ») : %2.").arg(name, what));
    }
}
