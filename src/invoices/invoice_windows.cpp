#include "invoices/invoice_windows.h"

#include "app/main_window.h"
#include "app/room_context_menu.h"
#include "invoices/invoice_form.h"
#include "invoices/invoice_list_window.h"
#include "net/mail_calls.h"

#include <QAction>

InvoiceWindows::InvoiceWindows(TForm1 *mainWindow)
    : QObject(mainWindow), m_main(mainWindow), m_form(new TForm4(mainWindow)), m_list(new TForm6(m_form, mainWindow))
{
    setObjectName(QStringLiteral("invoiceWindows"));
    m_form->setEmailSender([this](int numero) { MailCalls::envoyerFacture(numero, m_form); });
    m_list->setEmailSender([this](int numero) { MailCalls::envoyerFacture(numero, m_list); });
}

InvoiceWindows *InvoiceWindows::install(TForm1 *mainWindow)
{
    auto *windows = new InvoiceWindows(mainWindow);
    const MainMenus &menus = mainWindow->menus();
    connect(menus.listeFactures, &QAction::triggered, windows, [windows] {
        windows->m_list->setWindowState(windows->m_list->windowState() | Qt::WindowMaximized);
        windows->m_list->exec();
    });
    menus.listeFactures->setEnabled(true);
    connect(menus.editerFacture, &QAction::triggered, windows->m_form, &QDialog::exec);
    menus.editerFacture->setEnabled(true);
    QAction *editer = mainWindow->roomMenu()->editerFacture();
    connect(editer, &QAction::triggered, windows, &InvoiceWindows::editerFactureReservation);
    editer->setEnabled(true);
    return windows;
}

void InvoiceWindows::editerFactureReservation()
{
    if (!m_main->requireLoadedReservation())
        return;
    m_form->setMode(QString());
    m_form->nouvelleFacture();
    m_form->getInfosClient(m_main->loadedClientId());
    m_form->setNumeroChambre(m_main->currentRoom());
    m_form->getPrestations(m_main->currentReservationId());
    m_form->exec();
}
