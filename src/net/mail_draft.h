#pragma once

#include "net/mail_message.h"
#include "net/mail_sender.h"

#include <QString>

#include <atomic>
#include <optional>

// The settings and template files the e-mail window reads, each call reading
// the file again. Kinds: "facture", "devis", "email".
namespace MailSettings {

// [Hotel] email: sender and reply-to address of every e-mail (default empty).
QString sender();
// [Hotel] objetFacture ("Votre facture") or objetDevis ("Votre devis").
QString subjectFor(const QString &kind);
// "emailFacture.txt" / "emailDevis.txt"; empty for other kinds.
QString templateFile(const QString &kind);
// The template's whole text, or nothing when the file does not exist.
std::optional<QString> readTemplate(const QString &kind);
// Writes a template into the data directory; throws KestrovaError on failure.
void writeTemplate(const QString &kind, const QString &text);
// "facture.pdf" / "devis.pdf"; empty for a free message.
QString attachmentName(const QString &kind);

// `kestrova demo`: writes the two templates; returns the summary line.
QString writeDemoTemplates();

} // namespace MailSettings

// What one "Valider" sends.
struct MailDraft
{
    QString kind;
    QString sender;
    QString recipient;
    QString subject;
    QString text;           // the message field as typed
    QString attachmentPath; // the document's PDF for "facture" and "devis"

    // Why it cannot go out (French), or the empty text. Checked before any
    // connection: empty first field, missing sender, malformed addresses.
    QString problem() const;
    // Throws KestrovaError when the attachment cannot be read.
    MailMessage message() const;
};

// True for a plain address "local@domain" without blanks, brackets or line breaks.
bool isMailAddress(const QString &address);

// Sends a draft as the window does: problem() first, then the relay's
// reachability ("Vous devez être connecté à internet !"), then the message.
// Returns the empty text when it went out, else the French reason. Safe on a
// worker thread; nothing is recorded here.
QString deliverMail(const MailDraft &draft, const MailRelay &relay, const MailSender::Progress &progress = {},
                    const std::atomic_bool *abort = nullptr);
