#include "ui/invoices/invoice_windows.h"

#include "clients/client_card_links.h"
#include "invoices/facture.h"
#include "ui/documents/document_actions.h"
#include "ui/invoices/invoice_form.h"
#include "ui/invoices/invoice_list_window.h"
#include "ui/net/mail_calls.h"


InvoiceWindows::InvoiceWindows(QWidget *mainWindow)
    : QObject(mainWindow), m_form(new TForm4(mainWindow)), m_list(new TForm6(m_form, mainWindow))
{
    setObjectName(QStringLiteral("invoiceWindows"));
    m_form->setEmailSender(DocumentActions::emailSender(DocumentActions::Kind::Facture, m_form));
    m_list->setEmailSender(DocumentActions::emailSender(DocumentActions::Kind::Facture, m_list));
}

void InvoiceWindows::linkClientCard()
{
    ClientCardLinks &links = ClientCardLinks::instance();
    links.listeFactures = [](int client, TextGrid &grid) {
        Facture().listeFactures(grid, QString(), 0, QString::number(client));
    };
    links.nouvelleFacture = [this](QWidget *, const ClientCardLinks::NouvelleFacture &f) {
        m_form->setMode(QString());
        m_form->nouvelleFacture();
        m_form->getInfosClient(f.client);
        if (f.chambre > 0)
            m_form->setNumeroChambre(f.chambre);
        // The stay's lines and dates (first night, day of departure) come with it.
        if (f.reservation > 0)
            m_form->getPrestations(f.reservation);
        m_form->exec();
    };
    links.ouvrirFacture = [this](QWidget *, int facture, bool modification) {
        m_form->setMode(modification ? QStringLiteral("modification") : QStringLiteral("visualisation"));
        if (m_form->afficheFacture(facture))
            m_form->exec();
        else
            m_form->setMode(QString());
    };
    links.imprimerFacture = [](int facture) { Facture().imprimerFacture(facture); };
    links.pdfFacture = [](int facture, bool ouvrir) { Facture().genererPdfFacture(facture, ouvrir); };
    links.envoyerFacture = [](QWidget *parent, int facture) { MailCalls::envoyerFacture(facture, parent); };
    links.supprimerFacture = [](int facture) { Facture().supprimerFacture(facture); };
    links.changerModeReglement = [this](int facture, const QString &mode) {
        m_list->changerModeReglement(facture, mode);
    };
}

void InvoiceWindows::editerFactureReservation(int client, int room, int reservation)
{
    m_form->setMode(QString());
    m_form->nouvelleFacture();
    m_form->getInfosClient(client);
    m_form->setNumeroChambre(room);
    m_form->getPrestations(reservation);
    m_form->exec();
}
