#include "commands/startup.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "common/paths.h"
#include "data/data_module.h"
#include "data/database_file.h"
#include "import/jet_file.h"
#include "import/legacy_import.h"

#include <QCoreApplication>
#include <QDir>

namespace {

LegacyImport::Progress &importProgress()
{
    static LegacyImport::Progress progress;
    return progress;
}

// A hotel that put the program in the old program's folder (or its old data in
// ours) finds its reserv.mdb in Access format: it is offered the import rather
// than refused as damaged. Non changes nothing.
void offerImport(const QString &path)
{
    if (!Dialogs::question(QStringLiteral("Ce fichier vient de l'ancien logiciel. Voulez-vous importer ses données ?")))
        throw KestrovaError(QStringLiteral("Les données de l'ancien logiciel n'ont pas été importées ; le fichier "
                                           "« %1 » n'a pas été modifié.")
                                .arg(QDir::toNativeSeparators(path)));
    const LegacyImport::Progress &progress = importProgress();
    LegacyImport::Report report = LegacyImport::analyse(path, LegacyImport::roomCountFor(path, false), progress);
    if (!report.refused.isEmpty() &&
        !Dialogs::question(report.text() + QStringLiteral("\n\nCes lignes ne peuvent pas être importées. Importer "
                                                          "les autres données ?")))
        throw KestrovaError(QStringLiteral("Rien n'a été importé ; le fichier « %1 » n'a pas été modifié.")
                                .arg(QDir::toNativeSeparators(path)));
    LegacyImport::Options options;
    options.atStartup = true;
    LegacyImport::run(path, report, options, progress);
    Dialogs::information(QStringLiteral("Les données de l'ancien logiciel ont été importées.\n\n") + report.text());
}

} // namespace

QString Startup::enterDataDir(const QString &explicitDir)
{
    const QString dir = Paths::chooseDataDir(explicitDir, qEnvironmentVariable("KESTROVA_DIR"),
                                             QCoreApplication::applicationDirPath(), QDir::homePath());
    QString error;
    if (!Paths::useDataDir(dir, &error))
        throw KestrovaError(error);
    return Paths::dataDir();
}

Schema::Report Startup::openDatabase(const QString &connectionName)
{
    QString error;
    if (!m_lock.acquire(&error))
        throw KestrovaError(error);
    const QString path = DataModule::databasePath();
    if (!DataModule::isPostgresql() && JetFile::isJetFile(path))
        offerImport(path);
    return DatabaseFile::prepare(connectionName);
}

void Startup::setImportProgress(std::function<void(int, const QString &)> progress)
{
    importProgress() = std::move(progress);
}
