#include "net/mail_calls.h"

#include "common/dialogs.h"
#include "net/mail_window.h"

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
    Q_UNUSED(kind);
    Q_UNUSED(numero);
    Q_UNUSED(parent);
    // Wired to the documents' PDF writer as soon as it is available.
    Dialogs::error(QStringLiteral("L'envoi des documents par email n'est pas encore disponible."));
    return false;
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
