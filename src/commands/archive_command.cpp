#include "commands/commands.h"
#include "common/errors.h"
#include "net/archive_backup.h"
#include "net/archive_format.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

// `kestrova archive pack|list|unpack`: the backup archive without the network,
// for a backup to a disk or a USB stick and for scripts. `pack` writes the
// same archive as the backup of the "Services Web" window.

// A relative name is taken from where the command was started, not from the
// data directory the program has moved into.
QString commandLinePath(const QString &name)
{
    if (QFileInfo(name).isAbsolute())
        return name;
    const QString started = qEnvironmentVariable("PWD");
    if (!started.isEmpty() && QFileInfo(started).isAbsolute() && QFileInfo(started).isDir())
        return QDir(started).absoluteFilePath(name);
    return QFileInfo(name).absoluteFilePath();
}

int runArchive(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString action = args.value(0);
    const int expected = action == QLatin1String("unpack") ? 3 : 2;
    if (action != QLatin1String("pack") && action != QLatin1String("list") &&
        action != QLatin1String("unpack")) {
        err << "archive : indiquez pack, list ou unpack, puis le fichier de l'archive.\n";
        return 2;
    }
    if (args.size() != expected) {
        if (action == QLatin1String("unpack"))
            err << "archive unpack : indiquez l'archive et le dossier où extraire ses fichiers.\n";
        else
            err << "archive " << action << " : indiquez un seul fichier d'archive.\n";
        return 2;
    }
    const QString file = commandLinePath(args.at(1));
    try {
        if (action == QLatin1String("pack")) {
            const QList<ArchiveEntry> entries = BackupArchive::create(file);
            out << "Archive « " << QDir::toNativeSeparators(file) << " » créée : " << entries.size()
                << " fichier(s).\n";
        } else if (action == QLatin1String("list")) {
            for (const ArchiveEntry &e : Archive::list(file))
                out << e.relativePath() << '\t' << e.size << '\n';
        } else {
            const QString target = commandLinePath(args.at(2));
            const QList<ArchiveEntry> entries = Archive::unpack(file, target);
            out << entries.size() << " fichier(s) extrait(s) dans « " << QDir::toNativeSeparators(target)
                << " ».\n";
        }
    } catch (const KestrovaError &e) {
        err << "archive " << action << " : " << e.text() << "\n";
        return 1;
    }
    return 0;
}
