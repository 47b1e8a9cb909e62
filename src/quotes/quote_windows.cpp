#include "quotes/quote_windows.h"

#include "app/main_window.h"
#include "clients/client_card_links.h"
#include "net/mail_calls.h"
#include "quotes/quote_form.h"
#include "quotes/quote_list_window.h"

#include <QAction>

QuoteWindows::QuoteWindows(TForm1 *mainWindow)
    : QObject(mainWindow), m_form(new TFormDevis(mainWindow)), m_list(new TFormListeDevis(m_form, mainWindow))
{
    setObjectName(QStringLiteral("quoteWindows"));
    m_form->setEmailSender([this](int numero) { MailCalls::envoyerDevis(numero, m_form); });
    m_list->setEmailSender([this](int numero) { MailCalls::envoyerDevis(numero, m_list); });
}

QuoteWindows *QuoteWindows::install(TForm1 *mainWindow)
{
    auto *windows = new QuoteWindows(mainWindow);
    const MainMenus &menus = mainWindow->menus();
    TFormDevis *form = windows->m_form;
    TFormListeDevis *list = windows->m_list;
    connect(menus.listeDevis, &QAction::triggered, windows, [list] {
        list->setWindowState(list->windowState() | Qt::WindowMaximized);
        list->exec();
    });
    menus.listeDevis->setEnabled(true);
    connect(menus.nouveauDevis, &QAction::triggered, windows, [form] {
        form->setMode(QString());
        form->exec();
    });
    menus.nouveauDevis->setEnabled(true);

    ClientCardLinks &links = ClientCardLinks::instance();
    links.nouveauDevis = [form](QWidget *, int client) {
        form->setMode(QString());
        form->setClient(client);
        form->exec();
    };
    links.ouvrirDevis = [form](QWidget *, int devis, bool modification) {
        form->setMode(modification ? QStringLiteral("modification") : QStringLiteral("visualisation"));
        if (form->afficheFacture(devis))
            form->exec();
        else
            form->setMode(QString());
    };
    return windows;
}
