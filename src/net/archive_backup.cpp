#include "net/archive_backup.h"

#include "common/paths.h"
#include "data/data_module.h"
#include "data/database_copy.h"
#include "net/archive_snapshot.h"
#include "settings/ini_file.h"

#include <QFile>
#include <QFileInfo>

namespace BackupArchive {

QString databaseEntryName()
{
    return QStringLiteral("reserv2.mdb");
}

QList<ArchiveSource> dataFiles(const Options &options)
{
    QList<ArchiveSource> files;
    const auto add = [&files](const QString &name, bool needsContent) {
        const QFileInfo info(Paths::dataPath(name));
        if (info.isFile() && (!needsContent || info.size() > 0))
            files << ArchiveSource{name, info.absoluteFilePath()};
    };
    add(QStringLiteral("config.ini"), false);
    if (options.withTemplates) {
        add(QStringLiteral("emailDevis.txt"), false);
        add(QStringLiteral("emailFacture.txt"), false);
    }
    // The raw count: 0 means no room description at all.
    const int rooms = IniFile().readInteger(QStringLiteral("Chambres"), QStringLiteral("nombre"), 15);
    for (int room = 1; room <= rooms; ++room)
        add(QStringLiteral("description/%1.txt").arg(room), true);
    add(QStringLiteral("logo.jpg"), true);
    return files;
}

QList<ArchiveEntry> create(const QString &archivePath, const Options &options)
{
    const QString snapshot = Paths::dataPath(databaseEntryName());
    struct RemoveSnapshot
    {
        QString path;
        ~RemoveSnapshot() { QFile::remove(path); }
    } cleanup{snapshot};
    if (DataModule::isPostgresql()) {
        // The archive carries an SQLite file whichever engine holds the hotel.
        try {
            DatabaseCopy::writeSnapshot(snapshot);
        } catch (const KestrovaError &e) {
            throw ArchiveError(QStringLiteral("Copie de la base de données impossible : ") + e.text());
        }
    } else {
        DatabaseSnapshot::take(DataModule::databasePath(), snapshot);
    }
    QList<ArchiveSource> sources{{databaseEntryName(), snapshot}};
    sources << dataFiles(options);
    return Archive::pack(archivePath, sources);
}

} // namespace BackupArchive
