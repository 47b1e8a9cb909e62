#include "ui/app/feature_wiring.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "planning/planning_refreshers.h"
#include "planning/view_freshness.h"
#include "ui/app/main_window.h"
#include "ui/app/room_context_menu.h"
#include "ui/invoices/invoice_form.h"
#include "ui/invoices/invoice_list_window.h"
#include "ui/invoices/invoice_windows.h"
#include "ui/ical/ical_window.h"
#include "ui/net/backup_window.h"
#include "ui/quotes/quote_form.h"
#include "ui/quotes/quote_list_window.h"
#include "ui/quotes/quote_windows.h"

#include <QAction>
#include <QMenu>

namespace FeatureWiring {

void installBackup(TForm1 *mainWindow)
{
    auto *window = new TFormSauvegarde(mainWindow);
    QAction *entry = mainWindow->menus().servicesWeb;
    QObject::connect(entry, &QAction::triggered, window, [window, mainWindow] {
        // The database file may be copied or replaced while the window is open:
        // no delayed fill may reopen it meanwhile.
        mainWindow->refreshers()->cancelAll();
        DataModule::closeConnection(TForm1::connectionName());
        DataModule::release();
        const bool restored = window->runAndTellRestored();
        try {
            // Fills cancelled above, or a restored database: every view is refilled.
            ViewFreshness::markStale();
            if (restored)
                mainWindow->personnalidation();
            mainWindow->rafraichirVues();
        } catch (const KestrovaError &e) {
            Dialogs::error(e.text());
        }
    });
    entry->setEnabled(true);
    mainWindow->setShutdownTask([mainWindow] {
        if (ShutdownBackup::wanted())
            sauvegardeFermeture(mainWindow);
    });
}

void installInvoices(TForm1 *mainWindow)
{
    auto *windows = new InvoiceWindows(mainWindow);
    const MainMenus &menus = mainWindow->menus();
    TForm6 *list = windows->invoiceList();
    QObject::connect(menus.listeFactures, &QAction::triggered, windows, [list] {
        list->setWindowState(list->windowState() | Qt::WindowMaximized);
        list->exec();
    });
    menus.listeFactures->setEnabled(true);
    QObject::connect(menus.editerFacture, &QAction::triggered, windows->invoiceForm(), &QDialog::exec);
    menus.editerFacture->setEnabled(true);
    QAction *editer = mainWindow->roomMenu()->editerFacture();
    QObject::connect(editer, &QAction::triggered, windows, [windows, mainWindow] {
        if (!mainWindow->requireLoadedReservation())
            return;
        windows->editerFactureReservation(mainWindow->loadedClientId(), mainWindow->currentRoom(),
                                          mainWindow->currentReservationId());
    });
    editer->setEnabled(true);
    windows->linkClientCard();
}

void installQuotes(TForm1 *mainWindow)
{
    auto *windows = new QuoteWindows(mainWindow);
    const MainMenus &menus = mainWindow->menus();
    TFormDevis *form = windows->quoteForm();
    TFormListeDevis *list = windows->quoteList();
    QObject::connect(menus.listeDevis, &QAction::triggered, windows, [list] {
        list->setWindowState(list->windowState() | Qt::WindowMaximized);
        list->exec();
    });
    menus.listeDevis->setEnabled(true);
    QObject::connect(menus.nouveauDevis, &QAction::triggered, windows, [form] {
        form->setMode(QString());
        form->exec();
    });
    menus.nouveauDevis->setEnabled(true);
    windows->linkClientCard();
}

void installCalendars(TForm1 *mainWindow)
{
    auto *window = new TFormCalendriers(mainWindow);
    QMenu *menu = mainWindow->menus().reservation;
    QAction *entry = menu->addAction(QStringLiteral("&Calendriers en ligne (iCal)"));
    entry->setObjectName(QStringLiteral("actionCalendriers"));
    QObject::connect(entry, &QAction::triggered, window, [window, mainWindow] {
        window->exec();
        if (!window->planningChanged())
            return;
        try {
            mainWindow->rafraichirVues();
        } catch (const KestrovaError &e) {
            Dialogs::error(e.text());
        }
    });
}

} // namespace FeatureWiring
