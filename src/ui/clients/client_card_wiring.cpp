#include "ui/clients/client_card_wiring.h"

#include "clients/client_card_links.h"
#include "common/dialogs.h"
#include "data/email.h"
#include "invoices/facture.h"
#include "ui/net/mail_calls.h"
#include "quotes/devis.h"

namespace ClientCardWiring {

void install()
{
    ClientCardLinks &l = ClientCardLinks::instance();
    // The card's short invoice layout (any layout but 1), this client only.
    l.listeFactures = [](int client, TextGrid &g) { Facture().listeFactures(g, QString(), 0, QString::number(client)); };
    l.imprimerFacture = [](int n) { Facture().imprimerFacture(n); };
    l.pdfFacture = [](int n, bool ouvrir) { Facture().genererPdfFacture(n, ouvrir); };
    l.supprimerFacture = [](int n) { Facture().supprimerFacture(n); };
    l.changerModeReglement = [](int n, const QString &mode) {
        if (Facture().setModeReglement(n, mode))
            Dialogs::information(QStringLiteral("Facture mise à jour"));
    };
    l.envoyerFacture = [](QWidget *parent, int n) { MailCalls::envoyerFacture(n, parent); };

    l.listeDevis = [](int client, TextGrid &g) { Devis().listeDevisClient(client, g); };
    l.imprimerDevis = [](int n) { Devis().imprimerDevis(n); };
    l.pdfDevis = [](int n, bool ouvrir) { Devis().genererPdfDevis(n, ouvrir); };
    l.supprimerDevis = [](int n) { return Devis().supprimerDevis(n); };
    l.envoyerDevis = [](QWidget *parent, int n, const QString &, int) { MailCalls::envoyerDevis(n, parent); };

    l.listeEmails = [](int client, TextGrid &g) { Email().afficherEmailsClient(QString::number(client), g); };
    l.supprimerEmail = [](int n) { return Email().supprimerEmail(n); };
    l.nouvelEmail = [](QWidget *parent, const QString &email, int client) {
        MailCalls::envoyerEmailClient(client, email, parent);
    };

    // Invoice form (nouvelleFacture, ouvrirFacture), quote form (nouveauDevis,
    // ouvrirDevis) and advanced reservation form (nouvelleReservation,
    // modifierReservation) are linked where those windows are built.
}

} // namespace ClientCardWiring
