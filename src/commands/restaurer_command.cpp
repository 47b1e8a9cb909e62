#include "commands/commands.h"
#include "common/errors.h"
#include "data/instance_lock.h"
#include "net/archive_restore.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

QString commandLinePath(const QString &name);

// `kestrova restaurer FICHIER`: puts a local backup archive in place of the
// data directory's files, with the checks of the window's restore; nothing
// changes when the archive is refused.
int runRestaurer(const QString &dataDir, const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() != 1) {
        err << "restaurer : indiquez le fichier de l'archive à restaurer.\n";
        return 2;
    }
    // The program must not be writing the files being replaced.
    InstanceLock lock;
    QString error;
    if (!lock.acquire(&error)) {
        err << "restaurer : " << error << "\n";
        return 1;
    }
    try {
        const QStringList restored = ArchiveRestore::restore(commandLinePath(args.first()));
        out << "Restauration effectuée dans « " << QDir::toNativeSeparators(dataDir)
            << " » : " << restored.join(QStringLiteral(", ")) << ".\n";
    } catch (const KestrovaError &e) {
        err << "restaurer : " << e.text() << "\n";
        return 1;
    }
    return 0;
}
