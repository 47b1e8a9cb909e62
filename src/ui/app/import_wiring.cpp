#include "ui/app/feature_wiring.h"

#include "commands/startup.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "planning/planning_refreshers.h"
#include "planning/view_freshness.h"
#include "ui/app/main_window.h"
#include "ui/import/import_window.h"

#include <QAction>
#include <QMenu>

namespace FeatureWiring {

void installImport(TForm1 *mainWindow)
{
    auto *window = new ImportWindow(mainWindow);
    const MainMenus &menus = mainWindow->menus();
    auto *entry = new QAction(QStringLiteral("I&mporter les données de l'ancien logiciel…"), mainWindow);
    entry->setObjectName(QStringLiteral("actionImporterAncien"));
    menus.fichier->insertAction(menus.servicesWeb, entry);
    QObject::connect(entry, &QAction::triggered, window, [window, mainWindow] {
        // The database may be replaced: nothing may hold it open meanwhile.
        mainWindow->refreshers()->cancelAll();
        DataModule::closeConnection(TForm1::connectionName());
        DataModule::release();
        const bool imported = window->runAndTellImported();
        try {
            ViewFreshness::markStale();
            if (imported)
                mainWindow->personnalidation();
            mainWindow->rafraichirVues();
        } catch (const KestrovaError &e) {
            Dialogs::error(e.text());
        }
    });
}

} // namespace FeatureWiring
