#pragma once

#include "net/archive_format.h"

#include <QList>
#include <QString>

// What a backup of the data directory holds, and the making of its archive:
// the database (as a consistent snapshot named "reserv2.mdb"), config.ini,
// the e-mail templates when asked, the room descriptions that are not empty
// and the logo when it is not empty.
namespace BackupArchive {

struct Options
{
    bool withTemplates = true; // the window's backup and `archive pack`; not the shut-down one
};

// The files of the data directory to pack after the database snapshot, in
// archive order. Reads [Chambres] nombre (default 15) for the descriptions.
QList<ArchiveSource> dataFiles(const Options &options);

// Takes the snapshot of reserv.mdb into "reserv2.mdb", writes the archive at
// archivePath and deletes "reserv2.mdb" again. Throws ArchiveError.
QList<ArchiveEntry> create(const QString &archivePath, const Options &options = {});

// The name of the database snapshot inside an archive.
QString databaseEntryName();

} // namespace BackupArchive
