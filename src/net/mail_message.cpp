#include "net/mail_message.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QUuid>

namespace {

const QByteArray kCrlf("\r\n");

bool isPlainAscii(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

QByteArray header(const QByteArray &name, const QByteArray &value)
{
    return name + ": " + value + kCrlf;
}

QByteArray base64Lines(const QByteArray &bytes)
{
    const QByteArray b64 = bytes.toBase64();
    QByteArray out;
    out.reserve(b64.size() + b64.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < b64.size(); i += 76)
        out += b64.mid(i, 76) + kCrlf;
    return out;
}

QByteArray newBoundary(const char *tag)
{
    // "=_" can appear neither in quoted-printable nor in base64 output.
    return QByteArray("=_kestrova_") + tag + '_' +
           QByteArray::number(QRandomGenerator::global()->generate64(), 16);
}

QByteArray textPart(const QByteArray &type, const QString &body)
{
    return "Content-Type: " + type + "; charset=UTF-8" + kCrlf +
           "Content-Transfer-Encoding: quoted-printable" + kCrlf + kCrlf +
           MailMessage::quotedPrintable(body.toUtf8()) + kCrlf;
}

QByteArray addressHeader(const QString &address)
{
    // Addresses are checked before a message is built; this keeps a stray line
    // break from ever starting a header of its own.
    QString a = address.trimmed();
    a.remove(QLatin1Char('\r'));
    a.remove(QLatin1Char('\n'));
    return a.toUtf8();
}

} // namespace

QString MailMessage::plainNotice()
{
    return QStringLiteral("Ce message est un message HTML. Configurez votre client de courrier "
                          "électroniquepour le visionner de manière appropriée");
}

QStringList MailMessage::linesOf(const QString &text)
{
    if (text.isEmpty())
        return {};
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (t.endsWith(QLatin1Char('\n')))
        t.chop(1);
    return t.split(QLatin1Char('\n'));
}

QString MailMessage::escapeHtml(const QString &text)
{
    return text.toHtmlEscaped();
}

QByteArray MailMessage::quotedPrintable(const QByteArray &utf8Text)
{
    // Lines are ended by CRLF; other bytes outside printable ASCII, "=" and
    // blanks at the end of a line are encoded; soft breaks keep lines ≤ 76.
    QByteArray text = utf8Text;
    text.replace("\r\n", "\n");
    const QList<QByteArray> lines = text.split('\n');
    QByteArray out;
    static const char hex[] = "0123456789ABCDEF";
    for (qsizetype li = 0; li < lines.size(); ++li) {
        const QByteArray &line = lines.at(li);
        QByteArray current;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const auto c = static_cast<unsigned char>(line.at(i));
            const bool last = i == line.size() - 1;
            QByteArray piece;
            if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last))
                piece = QByteArray(1, char(c));
            else
                piece = QByteArray("=") + hex[c >> 4] + hex[c & 15];
            if (current.size() + piece.size() > 75) {
                out += current + "=" + kCrlf;
                current.clear();
            }
            current += piece;
        }
        out += current;
        if (li != lines.size() - 1)
            out += kCrlf;
    }
    return out;
}

QByteArray MailMessage::encodeHeaderText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (isPlainAscii(t) && t.size() <= 900)
        return t.toLatin1();
    // Encoded words of at most 45 bytes of UTF-8 each (75 characters encoded),
    // never splitting a character, one per folded line.
    QList<QByteArray> words;
    QByteArray chunk;
    for (qsizetype i = 0; i < t.size(); ++i) {
        qsizetype n = 1;
        if (t.at(i).isHighSurrogate() && i + 1 < t.size())
            n = 2;
        const QByteArray c = t.mid(i, n).toUtf8();
        i += n - 1;
        if (chunk.size() + c.size() > 45) {
            words << chunk;
            chunk.clear();
        }
        chunk += c;
    }
    if (!chunk.isEmpty())
        words << chunk;
    QByteArray out;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i > 0)
            out += kCrlf + ' ';
        out += "=?UTF-8?B?" + words.at(i).toBase64() + "?=";
    }
    return out;
}

QByteArray MailMessage::formatDate(const QDateTime &date)
{
    const QLocale c = QLocale::c();
    const int offset = date.offsetFromUtc() / 60;
    const int a = offset < 0 ? -offset : offset;
    return c.toString(date, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")).toLatin1() +
           (offset < 0 ? '-' : '+') + QByteArray::number(a / 60).rightJustified(2, '0') +
           QByteArray::number(a % 60).rightJustified(2, '0');
}

QByteArray MailMessage::newMessageId(const QString &sender)
{
    QString domain = sender.section(QLatin1Char('@'), 1).trimmed();
    if (domain.isEmpty() || !isPlainAscii(domain) || domain.contains(QLatin1Char('>')) ||
        domain.contains(QLatin1Char(' ')))
        domain = QStringLiteral("kestrova.invalid");
    return QUuid::createUuid().toByteArray(QUuid::Id128) + '.' +
           QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + '@' + domain.toLatin1();
}

QByteArray MailMessage::build(const QDateTime &date, const QByteArray &messageId) const
{
    QString plain = plainNotice() + QLatin1Char('\n');
    QString html;
    for (const QString &line : lines) {
        plain += line + QLatin1String("\n<br>\n");
        html += escapeHtml(line) + QLatin1String("\n<br>\n");
    }

    const QByteArray alternative = newBoundary("alt");
    QByteArray body = "--" + alternative + kCrlf + textPart("text/plain", plain) + "--" + alternative +
                      kCrlf + textPart("text/html", html) + "--" + alternative + "--" + kCrlf;
    QByteArray contentType = "multipart/alternative; boundary=\"" + alternative + '"';

    if (!attachmentName.isEmpty()) {
        const QByteArray mixed = newBoundary("mix");
        const QByteArray name = encodeHeaderText(attachmentName);
        body = "--" + mixed + kCrlf + "Content-Type: " + contentType + kCrlf + kCrlf + body + kCrlf + "--" +
               mixed + kCrlf + "Content-Type: application/pdf; name=\"" + name + '"' + kCrlf +
               "Content-Transfer-Encoding: base64" + kCrlf + "Content-Disposition: attachment; filename=\"" +
               name + '"' + kCrlf + kCrlf + base64Lines(attachment) + "--" + mixed + "--" + kCrlf;
        contentType = "multipart/mixed; boundary=\"" + mixed + '"';
    }

    QByteArray out;
    out += header("Date", formatDate(date));
    out += header("From", addressHeader(from));
    out += header("Reply-To", addressHeader(replyTo));
    out += header("To", addressHeader(to));
    out += header("Subject", encodeHeaderText(subject));
    out += header("Message-ID", '<' + messageId + '>');
    out += header("MIME-Version", "1.0");
    out += header("Content-Type", contentType);
    out += kCrlf;
    out += body;
    return out;
}
