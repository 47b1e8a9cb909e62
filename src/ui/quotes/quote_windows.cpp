#include "ui/quotes/quote_windows.h"

#include "clients/client_card_links.h"
#include "ui/documents/document_actions.h"
#include "ui/quotes/quote_form.h"
#include "ui/quotes/quote_list_window.h"


QuoteWindows::QuoteWindows(QWidget *mainWindow)
    : QObject(mainWindow), m_form(new TFormDevis(mainWindow)), m_list(new TFormListeDevis(m_form, mainWindow))
{
    setObjectName(QStringLiteral("quoteWindows"));
    m_form->setEmailSender(DocumentActions::emailSender(DocumentActions::Kind::Devis, m_form));
    m_list->setEmailSender(DocumentActions::emailSender(DocumentActions::Kind::Devis, m_list));
}

void QuoteWindows::linkClientCard()
{
    TFormDevis *form = m_form;
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
}
