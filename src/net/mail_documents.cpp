#include "net/mail_documents.h"

#include "common/errors.h"
#include "invoices/facture.h"
#include "quotes/devis.h"

MailDocument MailDocument::prepare(const QString &kind, int numero)
{
    MailDocument d;
    d.kind = kind;
    d.numero = numero;
    if (kind == QLatin1String("facture")) {
        Facture facture;
        if (!facture.existe(numero))
            throw KestrovaError(QStringLiteral("La facture N° %1 n'existe pas.").arg(numero));
        d.pdfPath = facture.genererPdfFacture(numero, false);
        d.adresse = facture.getEmailClient(numero);
        d.idClient = facture.getIdClient(numero);
    } else if (kind == QLatin1String("devis")) {
        Devis devis;
        if (!devis.existe(numero))
            throw KestrovaError(QStringLiteral("Le devis N° %1 n'existe pas.").arg(numero));
        d.pdfPath = devis.genererPdfDevis(numero, false);
        d.adresse = devis.getEmailClientDevis(numero);
        d.idClient = devis.getIdClientDevis(numero);
    } else {
        throw KestrovaError(QStringLiteral("Document inconnu « %1 » (facture ou devis).").arg(kind));
    }
    return d;
}
