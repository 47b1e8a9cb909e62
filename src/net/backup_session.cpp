#include "net/backup_session.h"

#include "common/paths.h"
#include "net/archive_backup.h"
#include "net/soap_client.h"
#include "settings/ini_file.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace {
const QString kServices = QStringLiteral("Services");
const QString kSauvegarde = QStringLiteral("Sauvegarde");
} // namespace

QString refusalMessage()
{
    return QStringLiteral("Erreur : identifiants incorrects ou autorisations insufisantes");
}

ServicesConfig ServicesConfig::defaults()
{
    ServicesConfig c;
    c.ftp.host = QStringLiteral("sauvegarde.kestrova.fr");
    c.ftp.port = 21;
    c.ftp.user = QStringLiteral("wurnpal");
    c.ftp.password = QStringLiteral("8150ravo");
    c.webService = QStringLiteral("http://services.kestrova.fr");
    return c;
}

ServicesConfig ServicesConfig::read()
{
    const ServicesConfig d = defaults();
    const IniFile ini;
    ServicesConfig c;
    c.ftp.host = ini.readString(kServices, QStringLiteral("ftpServeur"), d.ftp.host).trimmed();
    c.ftp.port = ini.readInteger(kServices, QStringLiteral("ftpPort"), d.ftp.port);
    c.ftp.user = ini.readString(kServices, QStringLiteral("ftpUtilisateur"), d.ftp.user);
    c.ftp.password = ini.readString(kServices, QStringLiteral("ftpMotdepasse"), d.ftp.password);
    c.webService = ini.readString(kServices, QStringLiteral("webService"), d.webService).trimmed();
    return c;
}

BackupIdentifiers BackupIdentifiers::read()
{
    const IniFile ini;
    BackupIdentifiers ids;
    ids.email = ini.readString(kSauvegarde, QStringLiteral("email"));
    ids.password = ini.readString(kSauvegarde, QStringLiteral("password"));
    ids.automatic = ini.readBool(kSauvegarde, QStringLiteral("auto"), false);
    ids.dateMaJPlanning = ini.readString(kSauvegarde, QStringLiteral("dateMaJPlanning"));
    return ids;
}

void BackupIdentifiers::write() const
{
    const IniFile ini;
    ini.writeString(kSauvegarde, QStringLiteral("email"), email);
    ini.writeString(kSauvegarde, QStringLiteral("password"), password);
    ini.writeBool(kSauvegarde, QStringLiteral("auto"), automatic);
    ini.writeString(kSauvegarde, QStringLiteral("dateMaJPlanning"), dateMaJPlanning);
}

namespace BackupNames {

QString remoteArchive(const QDate &date, const QString &backupNumber, const QString &userNumber)
{
    return QStringLiteral("SauvegardeClients-%1-%2-%3-%4-%5.zip")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(backupNumber, userNumber);
}

QString remoteConfig(const QString &userNumber)
{
    return QStringLiteral("SauvegardeConfig-%1.ini").arg(userNumber);
}

QString localArchive(const QString &backupNumber)
{
    return QStringLiteral("sauvegarde-%1.zip").arg(backupNumber);
}

bool isNumber(const QString &answer)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,18}$"));
    return digits.match(answer.trimmed()).hasMatch();
}

QList<Listed> recentBackups(const QStringList &names, const QString &userNumber, int count)
{
    static const QRegularExpression pattern(
        QStringLiteral(
            "^SauvegardeClients-([0-9]{1,4})-([0-9]{1,2})-([0-9]{1,2})-([0-9]{1,18})-([0-9]{1,18})\\.zip$"),
        QRegularExpression::CaseInsensitiveOption);
    QList<Listed> found;
    for (const QString &name : names) {
        const auto m = pattern.match(name.trimmed());
        if (!m.hasMatch() || m.captured(5).toLongLong() != userNumber.trimmed().toLongLong())
            continue;
        Listed l;
        l.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!l.date.isValid())
            continue;
        l.number = m.captured(4).toLongLong();
        l.remoteName = name.trimmed();
        l.text =
            QStringLiteral("%1-%2-%3 N°%4").arg(m.captured(3), m.captured(2), m.captured(1), m.captured(4));
        found << l;
    }
    std::sort(found.begin(), found.end(), [](const Listed &a, const Listed &b) {
        return a.date != b.date ? a.date > b.date : a.number > b.number;
    });
    if (found.size() > count)
        found.resize(count);
    return found;
}

} // namespace BackupNames

namespace ShutdownBackup {

bool wanted()
{
    return IniFile().readBool(kSauvegarde, QStringLiteral("auto"), false);
}

Result run(const ServicesConfig &config, const QString &login, const QString &password,
           const QDeadlineTimer &deadline, const Progress &progress)
{
    const auto step = [&progress](const QString &text, int percent) {
        if (progress)
            progress(text, percent);
    };
    const auto timedOut = [] {
        return Result{Outcome::TimedOut,
                      QStringLiteral("La sauvegarde à la fermeture a été abandonnée : les serveurs n'ont pas "
                                     "répondu à temps. Vos données n'ont pas été envoyées.")};
    };
    FtpClient ftp(config.ftp);
    ftp.setDeadline(deadline);
    SoapClient soap(config.webService);
    soap.setDeadline(deadline);
    QString localArchive;
    try {
        step(QStringLiteral("Connexion au serveur de sauvegarde..."), 5);
        ftp.connectToServer();
        step(QStringLiteral("Vérification de vos identifiants..."), 15);
        const QString user = soap.VerifUtilisateur(login, password, QStringLiteral("Sauvegarde")).trimmed();
        if (!BackupNames::isNumber(user))
            return {Outcome::Refused, refusalMessage()};
        const QString backup = soap.CreerSauvegarde(login, password).trimmed();
        if (!BackupNames::isNumber(backup))
            return {Outcome::Refused, refusalMessage()};
        step(QStringLiteral("Préparation de la sauvegarde..."), 30);
        localArchive = Paths::dataPath(BackupNames::localArchive(backup));
        BackupArchive::create(localArchive, BackupArchive::Options{false});
        step(QStringLiteral("Transfert de la base de données en cours ..."), 40);
        Result result;
        try {
            ftp.upload(localArchive, BackupNames::remoteArchive(QDate::currentDate(), backup, user),
                       [&step](qint64 sent, qint64 total) {
                           step(QStringLiteral("Transfert de la base de données en cours ... %1/%2 octets")
                                    .arg(sent)
                                    .arg(total),
                                40 + int(total > 0 ? 59 * sent / total : 0));
                       });
            step(QStringLiteral("Transfert Terminé"), 100);
        } catch (const NetError &) {
            result = deadline.remainingTime() < 500
                         ? timedOut()
                         : Result{Outcome::TransferFailed, QStringLiteral("Echec lors du transfert")};
        }
        QFile::remove(localArchive);
        return result;
    } catch (const NetError &e) {
        if (!localArchive.isEmpty())
            QFile::remove(localArchive);
        // The transfer library stops a little before the deadline itself.
        if (deadline.remainingTime() < 500)
            return timedOut();
        return {Outcome::Failed, e.text()};
    } catch (const KestrovaError &) {
        if (!localArchive.isEmpty())
            QFile::remove(localArchive);
        return {Outcome::Failed, refusalMessage()};
    }
}

} // namespace ShutdownBackup
