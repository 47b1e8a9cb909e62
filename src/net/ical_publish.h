#pragma once

#include "net/backup_session.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Publishing the rooms' feeds on the on-line services' FTP server, where
// booking sites read them. The account is the one of the backups
// ([Sauvegarde] email and password, verified for "Planning"); the user number
// it gives names the files, so that hotels sharing the server never meet.
namespace IcalPublish {

// "Calendrier-U-chambre-N.ics" for the local file "chambre-N.ics".
QString remoteName(const QString &userNumber, const QString &localFileName);

// One line per step, for a progress log.
using Progress = std::function<void(const QString &line)>;

// Uploads each file under a temporary name, then renames it over the
// published one. Returns the published names. Throws NetError (French) when
// the account is refused or a transfer fails; files already renamed stay
// published, the others keep their previous version.
QStringList publier(const ServicesConfig &config, const QString &login, const QString &password,
                    const QStringList &files, const Progress &progress = {});

} // namespace IcalPublish
