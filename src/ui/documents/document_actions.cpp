#include "ui/documents/document_actions.h"

#include "catalogue/user_action.h"
#include "common/dialogs.h"
#include "invoices/facture.h"
#include "quotes/devis.h"
#include "ui/net/mail_calls.h"

void DocumentActions::imprimer(int numero) const
{
    if (!numero)
        return;
    runUserAction([&] {
        if (m_kind == Kind::Facture)
            Facture().imprimerFacture(numero);
        else
            Devis().imprimerDevis(numero);
    });
}

void DocumentActions::genererPdf(int numero) const
{
    if (!numero)
        return;
    runUserAction([&] {
        if (m_kind == Kind::Facture)
            Facture().genererPdfFacture(numero, true);
        else
            Devis().genererPdfDevis(numero, true);
    });
}

bool DocumentActions::supprimer(int numero) const
{
    const bool facture = m_kind == Kind::Facture;
    if (!numero || !Dialogs::question(facture ? QStringLiteral("Comfirmez-vous la suppression de cette facture ?")
                                              : QStringLiteral("Comfirmez-vous la suppression de ce devis ?"),
                                      false))
        return false;
    bool deleted = false;
    runUserAction([&] { deleted = facture ? Facture().supprimerFacture(numero) : Devis().supprimerDevis(numero); });
    if (deleted)
        Dialogs::information(facture ? QStringLiteral("Facture supprimée") : QStringLiteral("Devis supprimé"));
    return true;
}

void DocumentActions::envoyerParEmail(int numero) const
{
    if (numero && m_emailSender)
        m_emailSender(numero);
}

void DocumentActions::apresCreation(int numero, bool imprimerApres, bool envoyerApres) const
{
    if (imprimerApres)
        imprimer(numero);
    if (envoyerApres)
        envoyerParEmail(numero);
}

std::function<void(int)> DocumentActions::emailSender(Kind kind, QWidget *parent)
{
    if (kind == Kind::Facture)
        return [parent](int numero) { MailCalls::envoyerFacture(numero, parent); };
    return [parent](int numero) { MailCalls::envoyerDevis(numero, parent); };
}
