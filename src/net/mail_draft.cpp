#include "net/mail_draft.h"

#include "common/errors.h"
#include "common/paths.h"
#include "settings/ini_file.h"

#include <QFile>
#include <QSaveFile>

namespace {

const QString kFacture = QStringLiteral("facture");
const QString kDevis = QStringLiteral("devis");
const QString kEmail = QStringLiteral("email");

} // namespace

QString MailSettings::sender()
{
    return IniFile().readString(QStringLiteral("Hotel"), QStringLiteral("email")).trimmed();
}

QString MailSettings::subjectFor(const QString &kind)
{
    if (kind == kFacture)
        return IniFile().readString(QStringLiteral("Hotel"), QStringLiteral("objetFacture"),
                                    QStringLiteral("Votre facture"));
    if (kind == kDevis)
        return IniFile().readString(QStringLiteral("Hotel"), QStringLiteral("objetDevis"),
                                    QStringLiteral("Votre devis"));
    return {};
}

QString MailSettings::templateFile(const QString &kind)
{
    if (kind == kFacture)
        return QStringLiteral("emailFacture.txt");
    if (kind == kDevis)
        return QStringLiteral("emailDevis.txt");
    return {};
}

std::optional<QString> MailSettings::readTemplate(const QString &kind)
{
    const QString name = templateFile(kind);
    if (name.isEmpty())
        return std::nullopt;
    QFile f(Paths::dataPath(name));
    if (!f.exists() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Files written on older installations are Windows-1252.
    QString text = IniFile::decode(f.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

void MailSettings::writeTemplate(const QString &kind, const QString &text)
{
    const QString name = templateFile(kind);
    QSaveFile f(Paths::dataPath(name));
    if (name.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit())
        throw KestrovaError(QStringLiteral("Impossible d'écrire le modèle d'email « %1 ».").arg(name));
}

QString MailSettings::attachmentName(const QString &kind)
{
    if (kind == kFacture)
        return QStringLiteral("facture.pdf");
    if (kind == kDevis)
        return QStringLiteral("devis.pdf");
    return {};
}

QString MailSettings::writeDemoTemplates()
{
    writeTemplate(kFacture, QStringLiteral("Bonjour,\n\nVeuillez trouver ci-joint votre facture.\n"
                                           "Nous vous remercions de votre séjour et espérons vous revoir "
                                           "bientôt.\n\nCordialement,\nLa réception\n"));
    writeTemplate(kDevis,
                  QStringLiteral("Bonjour,\n\nVeuillez trouver ci-joint notre devis pour votre séjour.\n"
                                 "Il reste valable un mois ; n'hésitez pas à nous appeler pour toute "
                                 "question.\n\nCordialement,\nLa réception\n"));
    return QStringLiteral("modèles d'email emailFacture.txt et emailDevis.txt");
}

bool isMailAddress(const QString &address)
{
    const QString a = address.trimmed();
    const qsizetype at = a.lastIndexOf(QLatin1Char('@'));
    if (at <= 0 || at == a.size() - 1 || a.size() > 254)
        return false;
    for (const QChar c : a) {
        const char16_t u = c.unicode();
        if (u <= 0x20 || u >= 0x7f)
            return false;
        if (QStringLiteral("<>()[],;:\"\\").contains(c))
            return false;
    }
    return !a.left(at).contains(QLatin1Char('@')) && !a.mid(at + 1).startsWith(QLatin1Char('.'));
}

QString MailDraft::problem() const
{
    if (kind == kEmail) {
        if (subject.trimmed().isEmpty())
            return QStringLiteral("Veuillez indiquer l'objet de votre email !");
        if (recipient.trimmed().isEmpty())
            return QStringLiteral("Ce client n'a pas d'adresse email : renseignez-la sur sa fiche.");
    } else if (recipient.trimmed().isEmpty()) {
        return QStringLiteral("Veuillez indiquer votre adresse email !");
    }
    if (!isMailAddress(recipient))
        return QStringLiteral("« %1 » n'est pas une adresse email valide.").arg(recipient.trimmed());
    if (sender.trimmed().isEmpty())
        return QStringLiteral("Renseignez l'adresse email de l'hôtel dans Personnalisation : "
                              "sans elle, aucun email ne peut partir.");
    if (!isMailAddress(sender))
        return QStringLiteral("L'adresse email de l'hôtel « %1 » n'est pas valide : corrigez-la dans "
                              "Personnalisation.")
            .arg(sender.trimmed());
    return {};
}

MailMessage MailDraft::message() const
{
    MailMessage m;
    m.from = sender.trimmed();
    m.replyTo = sender.trimmed();
    m.to = recipient.trimmed();
    m.subject = subject;
    m.lines = MailMessage::linesOf(text);
    if (kind == kFacture || kind == kDevis) {
        QFile f(attachmentPath);
        if (!f.open(QIODevice::ReadOnly))
            throw KestrovaError(
                QStringLiteral("Le document « %1 » est introuvable : l'email n'est pas parti.")
                    .arg(attachmentPath));
        m.attachment = f.readAll();
        m.attachmentName = MailSettings::attachmentName(kind);
    }
    return m;
}

QString deliverMail(const MailDraft &draft, const MailRelay &relay, const MailSender::Progress &progress,
                    const std::atomic_bool *abort)
{
    const QString why = draft.problem();
    if (!why.isEmpty())
        return why;
    if (!EstConnecter(relay))
        return QStringLiteral("Vous devez être connecté à internet !");
    QByteArray bytes;
    try {
        bytes = draft.message().build(QDateTime::currentDateTime(), MailMessage::newMessageId(draft.sender));
    } catch (const KestrovaError &e) {
        return e.text();
    }
    return MailSender::send(relay, draft.sender, {draft.recipient.trimmed()}, bytes, progress, abort);
}
