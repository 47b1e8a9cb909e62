#include "net/ical_publish.h"

#include "net/ftp_client.h"
#include "net/soap_client.h"

#include <QFileInfo>

namespace IcalPublish {

QString remoteName(const QString &userNumber, const QString &localFileName)
{
    return QStringLiteral("Calendrier-%1-%2").arg(userNumber, localFileName);
}

QStringList publier(const ServicesConfig &config, const QString &login, const QString &password,
                    const QStringList &files, const Progress &progress)
{
    auto say = [&](const QString &line) {
        if (progress)
            progress(line);
    };
    if (login.isEmpty() || password.isEmpty())
        throw NetError(QStringLiteral("Veuillez saisir vos identifiants de connexion dans la fenêtre « Services "
                                      "Web » (Fichier > Services web) avant de publier les calendriers."));
    SoapClient soap(config.webService);
    const QString user = soap.VerifUtilisateur(login, password, QStringLiteral("Planning")).trimmed();
    if (!BackupNames::isNumber(user))
        throw NetError(refusalMessage());
    FtpClient ftp(config.ftp);
    ftp.connectToServer();
    QStringList published;
    for (const QString &file : files) {
        const QString name = remoteName(user, QFileInfo(file).fileName());
        const QString temporary = name + QStringLiteral(".envoi");
        say(QStringLiteral("Envoi de %1...").arg(name));
        ftp.upload(file, temporary);
        ftp.rename(temporary, name);
        published << name;
    }
    ftp.disconnect();
    say(QStringLiteral("%1 calendrier(s) publié(s).").arg(published.size()));
    return published;
}

} // namespace IcalPublish
