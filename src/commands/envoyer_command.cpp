#include "commands/commands.h"
#include "commands/startup.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "data/email.h"
#include "net/mail_documents.h"
#include "net/mail_draft.h"

#include <QTextStream>

// `kestrova envoyer facture|devis N [--a ADRESSE]`: writes the document's PDF
// and sends it as the e-mail window's "Valider" does, with the template text,
// to the client's address unless --a gives another; the history row as in the
// window.
int runEnvoyer(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList rest;
    QString adresse;
    bool adresseGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--a")) {
            if (i + 1 >= args.size()) {
                err << "envoyer : indiquez l'adresse après --a.\n";
                return 2;
            }
            adresse = args.at(++i);
            adresseGiven = true;
        } else {
            rest << args.at(i);
        }
    }
    if (rest.size() != 2 ||
        (rest.at(0) != QLatin1String("facture") && rest.at(0) != QLatin1String("devis"))) {
        err << "envoyer : indiquez le document et son numéro (envoyer facture|devis N [--a ADRESSE]).\n";
        return 2;
    }
    const QString kind = rest.at(0);
    bool ok = false;
    const int numero = rest.at(1).toInt(&ok);
    if (!ok || numero <= 0) {
        err << "envoyer : « " << rest.at(1) << " » n'est pas un numéro de document.\n";
        return 2;
    }

    Startup startup;
    startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    try {
        const MailDocument document = MailDocument::prepare(kind, numero);
        MailDraft draft;
        draft.kind = kind;
        draft.sender = MailSettings::sender();
        draft.recipient = adresseGiven ? adresse : document.adresse;
        draft.subject = MailSettings::subjectFor(kind);
        draft.text = MailSettings::readTemplate(kind).value_or(QString());
        draft.attachmentPath = document.pdfPath;
        if (draft.recipient.trimmed().isEmpty()) {
            err << "envoyer : le client " << (kind == QLatin1String("facture") ? "de la facture" : "du devis")
                << " N° " << numero << " n'a pas d'adresse email ; indiquez-en une avec --a ADRESSE.\n";
            return 1;
        }
        const QString error = deliverMail(draft, MailRelay::fromSettings());
        if (!error.isEmpty()) {
            err << "envoyer : " << error << "\n";
            return 1;
        }
        Email().ajouterEmail(document.idClient, draft.subject, draft.text);
        out << "Email envoyé à " << draft.recipient.trimmed() << " : « " << draft.subject
            << " », pièce jointe " << MailSettings::attachmentName(kind) << ".\n";
    } catch (const KestrovaError &e) {
        err << "envoyer : " << e.text() << "\n";
        return 1;
    }
    return 0;
}
