#include "commands/commands.h"
#include "common/errors.h"
#include "data/database_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

QString commandLinePath(const QString &name);

namespace {

int usage(QTextStream &err)
{
    err << "base : indiquez « copier FICHIER » (une base SQLite) ou « copier postgresql » "
           "[--hote H] [--port P] [--base B] [--utilisateur U].\n";
    return 2;
}

} // namespace

// `kestrova base copier VERS`: copies the whole hotel of the data directory
// into an empty database of either engine, each table checked on both sides.
// VERS is the path of an SQLite file (created when missing) or `postgresql`.
int runBase(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() < 2 || args.first() != QLatin1String("copier"))
        return usage(err);
    const QString to = args.at(1);
    if (args.size() != 2)
        return usage(err);
    const QString path = commandLinePath(to);
    const bool existed = QFileInfo::exists(path);
    try {
        CopyConnection source = CopyConnection::hotel();
        if (QFileInfo(path).absoluteFilePath() == QFileInfo(source.db().databaseName()).absoluteFilePath())
            throw KestrovaError(QStringLiteral("La base de destination est celle de l'hôtel : rien n'a été copié."));
        DatabaseCopy::Report report;
        {
            CopyConnection target = CopyConnection::sqliteFile(path);
            try {
                report = DatabaseCopy::copy(source.db(), target.db(), DatabaseCopy::Mode::EmptyTarget);
            } catch (const KestrovaError &) {
                if (!existed) {
                    target.db().close();
                    QFile::remove(path);
                }
                throw;
            }
            out << "Copie de " << source.description() << " vers " << target.description() << " :\n";
        }
        out << report.text() << "\n";
        out << "Copie terminée : " << report.tables.size() << " tables vérifiées.\n";
    } catch (const KestrovaError &e) {
        err << "base copier : " << e.text() << "\n";
        return 1;
    }
    return 0;
}
