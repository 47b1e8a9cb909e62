#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// One e-mail as it goes out: the text in two alternatives (plain and HTML) and
// an optional PDF attachment, written as RFC 5322 / MIME bytes with CRLF lines.
//
// Structure: multipart/mixed holding a multipart/alternative (text/plain, then
// text/html) and the attachment; without an attachment the multipart/
// alternative alone. Both text parts carry each message line followed by a
// line "<br>"; the plain part starts with a notice line, the HTML part escapes
// "<", ">", "&" and quotes so that typed text is never read as markup. Text
// parts are UTF-8 quoted-printable, the attachment base64, and non-ASCII
// header text an RFC 2047 encoded word.
class MailMessage
{
public:
    QString from;
    QString replyTo;
    QString to;
    QString subject;
    QStringList lines;      // the message lines, as typed
    QByteArray attachment;  // the file's bytes; none when attachmentName is empty
    QString attachmentName; // "facture.pdf"

    // The first line of the plain part.
    static QString plainNotice();

    // The whole message. messageId is given without angle brackets.
    QByteArray build(const QDateTime &date, const QByteArray &messageId) const;
    // A new message identifier "<random>@<domain of the sender>", without brackets.
    static QByteArray newMessageId(const QString &sender);

    // Header text: itself when plain ASCII, else folded RFC 2047 encoded words.
    static QByteArray encodeHeaderText(const QString &text);
    // RFC 5322 date: "Tue, 08 Dec 2026 21:40:00 +0100".
    static QByteArray formatDate(const QDateTime &date);
    static QByteArray quotedPrintable(const QByteArray &utf8Text);
    static QString escapeHtml(const QString &text);

    // The lines of a text field: "\r\n" and "\n" split it; a final line break
    // adds no empty line, and an empty text has no lines.
    static QStringList linesOf(const QString &text);
};
