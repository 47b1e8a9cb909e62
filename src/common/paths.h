#pragma once

#include <QString>

// Where the program keeps its files. The data directory is chosen once at start
// and becomes the working directory, so relative names ("config.ini") work too.
namespace Paths {

// The choice, in order: an explicit directory (--dir), the KESTROVA_DIR variable,
// the executable's directory when it already holds reserv.mdb or config.ini
// (portable use), else ~/.local/share/Kestrova.
QString chooseDataDir(const QString &explicitDir, const QString &envDir, const QString &executableDir,
                      const QString &homeDir);

// Creates the directory when missing and makes it the working directory.
// Returns false (with a French message in *error) when that is impossible.
bool useDataDir(const QString &dir, QString *error);

// The data directory in use (the working directory), without trailing separator.
QString dataDir();
// A file of the data directory: dataPath("reserv.mdb").
QString dataPath(const QString &name);

} // namespace Paths
