#pragma once

#include <QString>
#include <QStringList>

// Putting a backup back in place of the data directory's files, safely: the
// archive is unpacked into a staging folder inside the data directory and
// every entry checked (names, sizes, complete streams), the database must
// open, pass its integrity check and take the schema routine; only then are
// config.ini, the e-mail templates, the logo and the descriptions replaced,
// and the database last, in one atomic rename. Files the backup does not hold
// among config.ini, the templates and the logo are removed, as a backup made
// without them means. On any failure every file is put back as it was.
namespace ArchiveRestore {

// Throws ArchiveError (French) with nothing changed. Every connection to the
// database must be closed first (DataModule::release() and the windows' own);
// an open one is refused. Returns the names restored.
QStringList restore(const QString &archivePath);

} // namespace ArchiveRestore
