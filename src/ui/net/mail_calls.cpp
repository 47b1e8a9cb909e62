#include "ui/net/mail_calls.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "net/mail_documents.h"
#include "ui/net/mail_window.h"

namespace {

bool showPrepared(QWidget *parent)
{
    TMAJ &window = TMAJ::instance();
    bool sent = false;
    const auto c = QObject::connect(&window, &TMAJ::emailEnvoye, [&sent] { sent = true; });
    Q_UNUSED(parent);
    window.exec();
    QObject::disconnect(c);
    return sent;
}

bool envoyerDocument(const QString &kind, int numero, QWidget *parent)
{
    MailDocument document;
    try {
        document = MailDocument::prepare(kind, numero);
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
    TMAJ::instance().preparerEnvoiDocument(kind, document.adresse, numero, document.idClient);
    return showPrepared(parent);
}

} // namespace

bool MailCalls::envoyerFacture(int numero, QWidget *parent)
{
    return envoyerDocument(QStringLiteral("facture"), numero, parent);
}

bool MailCalls::envoyerDevis(int numero, QWidget *parent)
{
    return envoyerDocument(QStringLiteral("devis"), numero, parent);
}

bool MailCalls::envoyerEmailClient(int idClient, const QString &adresse, QWidget *parent)
{
    TMAJ::instance().preparerEmail(QStringLiteral("email"), adresse, idClient);
    return showPrepared(parent);
}
