#include "ui/net/backup_window.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "common/paths.h"
#include "data/data_module.h"
#include "data/log.h"
#include "net/archive_backup.h"
#include "net/archive_restore.h"
#include "net/soap_client.h"
#include "planning/planning_refreshers.h"
#include "planning/view_freshness.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Services Web");

QLabel *centred(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TFormSauvegarde::TFormSauvegarde(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormSauvegarde"));
    setWindowTitle(kTitle);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    auto *headline = centred(
        QStringLiteral("Sauvegarder votre planning de réservation sur un serveur externe sécurisé"), this);
    QFont bold = headline->font();
    bold.setBold(true);
    headline->setFont(bold);
    layout->addWidget(headline);
    layout->addWidget(centred(QStringLiteral("C'est une garantie de sécurité de vos informations"), this));

    auto *identifiers = new QGroupBox(QStringLiteral("Identifiants de connexion"), this);
    auto *idLayout = new QGridLayout(identifiers);
    m_email = new QLineEdit(identifiers);
    m_email->setObjectName(QStringLiteral("Email"));
    m_password = new QLineEdit(identifiers);
    m_password->setObjectName(QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    m_tester = new QPushButton(QStringLiteral("Tester"), identifiers);
    m_tester->setObjectName(QStringLiteral("Tester"));
    idLayout->addWidget(new QLabel(QStringLiteral("Email"), identifiers), 0, 0);
    idLayout->addWidget(m_email, 0, 1);
    idLayout->addWidget(new QLabel(QStringLiteral("Password"), identifiers), 1, 0);
    idLayout->addWidget(m_password, 1, 1);
    idLayout->addWidget(m_tester, 0, 2, 2, 1, Qt::AlignVCenter);
    layout->addWidget(identifiers);

    auto *actions = new QGroupBox(QStringLiteral("Actions"), this);
    auto *actionLayout = new QVBoxLayout(actions);
    m_backup = new QCheckBox(QStringLiteral("Sauvegarder vos données"), actions);
    m_backup->setObjectName(QStringLiteral("CheckSauvegarde"));
    m_restore = new QCheckBox(QStringLiteral("Restaurer la sauvegarde du"), actions);
    m_restore->setObjectName(QStringLiteral("CheckRestauration"));
    m_backups = new QComboBox(actions);
    m_backups->setObjectName(QStringLiteral("ListeSauvegardes"));
    m_backups->setMinimumContentsLength(18);
    m_planning = new QCheckBox(QStringLiteral("Mettre à jour le planning Internet"), actions);
    m_planning->setObjectName(QStringLiteral("CheckPlanning"));
    auto *restoreRow = new QHBoxLayout;
    restoreRow->addWidget(m_restore);
    restoreRow->addWidget(m_backups, 1);
    actionLayout->addWidget(m_backup);
    actionLayout->addLayout(restoreRow);
    actionLayout->addWidget(m_planning);
    layout->addWidget(actions);

    auto *automation = new QGroupBox(QStringLiteral("Automatisation"), this);
    auto *autoLayout = new QVBoxLayout(automation);
    m_automatic =
        new QCheckBox(QStringLiteral("Sauvegarder vos données à la fermeture du logiciel"), automation);
    m_automatic->setObjectName(QStringLiteral("CheckAuto"));
    autoLayout->addWidget(m_automatic);
    layout->addWidget(automation);

    auto *infos = new QGroupBox(QStringLiteral("Infomations"), this);
    auto *infoLayout = new QVBoxLayout(infos);
    m_log = new QPlainTextEdit(infos);
    m_log->setObjectName(QStringLiteral("Infomations"));
    m_log->setReadOnly(true);
    m_log->setMinimumHeight(110);
    infoLayout->addWidget(m_log);
    layout->addWidget(infos, 1);

    auto *buttons = new QHBoxLayout;
    m_valider = new QPushButton(QStringLiteral("Valider"), this);
    m_valider->setObjectName(QStringLiteral("Valider"));
    m_retour = new QPushButton(QStringLiteral("Retour"), this);
    m_retour->setObjectName(QStringLiteral("Retour"));
    buttons->addStretch(1);
    buttons->addWidget(m_valider);
    buttons->addWidget(m_retour);
    layout->addLayout(buttons);
    resize(600, 520);

    connect(m_tester, &QPushButton::clicked, this, &TFormSauvegarde::TesterClick);
    connect(m_valider, &QPushButton::clicked, this, &TFormSauvegarde::ValiderClick);
    connect(m_retour, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_restore, &QCheckBox::toggled, this, [this](bool checked) {
        if (checked)
            listerSauvegardes();
        else
            m_backups->setEnabled(false);
    });
}

bool TFormSauvegarde::runAndTellRestored()
{
    m_restored = false;
    exec();
    return m_restored;
}

void TFormSauvegarde::showEvent(QShowEvent *event)
{
    ImporterIdentifiants();
    for (QCheckBox *box : {m_backup, m_restore, m_planning})
        box->setChecked(false);
    m_backups->clear();
    m_backups->setEnabled(false);
    setWindowTitle(kTitle);
    QDialog::showEvent(event);
}

void TFormSauvegarde::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TFormSauvegarde::done(int result)
{
    if (m_busy)
        return; // the buttons are disabled; the window closes once the work is over
    m_log->clear();
    SauvegarderIdentifiants();
    QDialog::done(result);
}

void TFormSauvegarde::ImporterIdentifiants()
{
    try {
        const BackupIdentifiers ids = BackupIdentifiers::read();
        m_email->setText(ids.email);
        m_password->setText(ids.password);
        m_automatic->setChecked(ids.automatic);
        m_dateMaJPlanning = ids.dateMaJPlanning;
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
    }
}

void TFormSauvegarde::SauvegarderIdentifiants()
{
    BackupIdentifiers ids;
    ids.email = m_email->text();
    ids.password = m_password->text();
    ids.automatic = m_automatic->isChecked();
    ids.dateMaJPlanning = m_dateMaJPlanning;
    try {
        ids.write();
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
    }
}

void TFormSauvegarde::EnableControls(bool enabled)
{
    m_tester->setEnabled(enabled);
    m_valider->setEnabled(enabled);
    m_retour->setEnabled(enabled);
}

void TFormSauvegarde::append(const QString &line)
{
    m_log->appendPlainText(line);
}

void TFormSauvegarde::TesterClick()
{
    const QString login = m_email->text();
    const QString password = m_password->text();
    if (login.isEmpty() || password.isEmpty()) {
        Dialogs::warning(QStringLiteral("Veuillez saisir vos identifiants de connexion"));
        return;
    }
    EnableControls(false);
    m_busy = true;
    try {
        const ServicesConfig config = ServicesConfig::read();
        const QString user = runInBackground([&] {
            SoapClient soap(config.webService);
            return soap.VerifUtilisateur(login, password, QStringLiteral("Sauvegarde"));
        });
        m_busy = false;
        if (BackupNames::isNumber(user))
            Dialogs::information(QStringLiteral("Identifiants corrects"));
        else
            Dialogs::error(refusalMessage());
    } catch (const KestrovaError &e) {
        m_busy = false;
        Dialogs::error(e.text());
    }
    EnableControls(true);
}

void TFormSauvegarde::listerSauvegardes()
{
    EnableControls(false);
    m_busy = true;
    m_backups->clear();
    QList<BackupNames::Listed> listed;
    bool ok = false;
    try {
        const ServicesConfig config = ServicesConfig::read();
        const QString login = m_email->text();
        const QString password = m_password->text();
        listed = runInBackground([&] {
            FtpClient ftp(config.ftp);
            ftp.connectToServer();
            SoapClient soap(config.webService);
            const QString user =
                soap.VerifUtilisateur(login, password, QStringLiteral("Sauvegarde")).trimmed();
            if (!BackupNames::isNumber(user))
                throw NetError(refusalMessage());
            return BackupNames::recentBackups(ftp.list(), user);
        });
        ok = true;
    } catch (const KestrovaError &) {
    }
    m_busy = false;
    for (const BackupNames::Listed &l : std::as_const(listed))
        m_backups->addItem(l.text, l.remoteName);
    m_backups->setEnabled(m_restore->isChecked() && !listed.isEmpty());
    EnableControls(true);
    if (!ok)
        Dialogs::error(QStringLiteral("erreur lors de la récupération des sauvegardes"));
}

bool TFormSauvegarde::Download(const QString &localFile, const QString &remoteName, FtpClient &ftp)
{
    setWindowTitle(QStringLiteral("Transfert de la base de données en cours ..."));
    QPointer<TFormSauvegarde> self(this);
    try {
        runInBackground([&] {
            ftp.upload(localFile, remoteName, [self](qint64 sent, qint64 total) {
                QMetaObject::invokeMethod(
                    self,
                    [self, sent, total] {
                        if (self)
                            self->setWindowTitle(
                                QStringLiteral("Transfert de la base de données en cours ... %1/%2 octets")
                                    .arg(sent)
                                    .arg(total));
                    },
                    Qt::QueuedConnection);
            });
        });
    } catch (const NetError &e) {
        append(QStringLiteral("Echec lors du transfert"));
        m_log->appendPlainText(QStringLiteral("    (") + e.text() + QLatin1Char(')'));
        QCoreApplication::processEvents(); // progress still queued must not overwrite the title
        setWindowTitle(kTitle);
        return false;
    }
    QCoreApplication::processEvents();
    setWindowTitle(QStringLiteral("Transfert Terminé"));
    return true;
}

void TFormSauvegarde::sauvegarderDonnees(FtpClient &ftp, SoapClient &soap, const QString &user)
{
    const QString login = m_email->text();
    const QString password = m_password->text();
    append(QStringLiteral("1/3 : Sauvegarde des informations clients..."));
    const QString backup = runInBackground([&] { return soap.CreerSauvegarde(login, password).trimmed(); });
    if (!BackupNames::isNumber(backup))
        throw NetError(QStringLiteral("numéro de sauvegarde invalide « %1 »").arg(backup.left(40)));
    const QString local = Paths::dataPath(BackupNames::localArchive(backup));
    append(QStringLiteral("2/3 : Sauvegarde du planning de reservations..."));
    runInBackground([&] { BackupArchive::create(local, BackupArchive::Options{true}); });
    append(QStringLiteral("3/3 : Sauvegarde de la configuration du logiciel..."));
    bool sent = true;
    if (QFile::exists(Paths::dataPath(QStringLiteral("config.ini"))))
        sent = Download(Paths::dataPath(QStringLiteral("config.ini")), BackupNames::remoteConfig(user), ftp);
    sent = Download(local, BackupNames::remoteArchive(QDate::currentDate(), backup, user), ftp) && sent;
    QFile::remove(local);
    if (sent)
        append(QStringLiteral("Sauvegarde Effectuée"));
}

void TFormSauvegarde::restaurerSauvegarde(FtpClient &ftp)
{
    const QString remote = m_backups->currentData().toString();
    if (remote.isEmpty())
        throw ArchiveError(QStringLiteral("aucune sauvegarde choisie dans la liste."));
    // The download lands beside the data, never over it.
    QTemporaryDir staging(Paths::dataPath(QStringLiteral(".telechargement-XXXXXX")));
    if (!staging.isValid())
        throw ArchiveError(staging.errorString());
    const QString archive = staging.filePath(QStringLiteral("sauvegarde.zip"));
    runInBackground([&] { ftp.download(remote, archive); });
    DataModule::release();
    ArchiveRestore::restore(archive);
    m_restored = true;
    Dialogs::information(QStringLiteral("Restauration effectuée, veuillez redémarrer le logiciel"));
}

void TFormSauvegarde::mettreAJourPlanning(FtpClient &ftp, SoapClient &soap, const QString &user)
{
    append(QStringLiteral("Mise à jour du planning en cours..."));
    QString planning, clients, services, details;
    {
        const Log log;
        planning = log.exporterReservations();
        clients = log.exporterClients();
        services = log.exporterPrestations();
        details = log.exporterReservPrestations();
    }
    DataModule::release();
    const QString login = m_email->text();
    const QString password = m_password->text();
    runInBackground([&] { soap.MaJServeur(login, password, planning, clients, services, details); });
    if (QFile::exists(Paths::dataPath(QStringLiteral("config.ini"))))
        Download(Paths::dataPath(QStringLiteral("config.ini")), BackupNames::remoteConfig(user), ftp);
    m_dateMaJPlanning = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    append(QStringLiteral("Mise à jour du planning effectué"));
}

void TFormSauvegarde::ValiderClick()
{
    EnableControls(false);
    m_busy = true;
    const auto finish = [this] {
        m_busy = false;
        EnableControls(true);
    };
    ServicesConfig config;
    try {
        config = ServicesConfig::read();
    } catch (const KestrovaError &e) {
        finish();
        Dialogs::error(e.text());
        return;
    }
    FtpClient ftp(config.ftp);
    SoapClient soap(config.webService);
    const QString login = m_email->text();
    const QString password = m_password->text();
    const auto verify = [&](const QString &authorisation) {
        return runInBackground(
            [&] { return soap.VerifUtilisateur(login, password, authorisation).trimmed(); });
    };

    // A server that cannot be reached stops everything with its own explanation.
    QString user;
    try {
        runInBackground([&] { ftp.connectToServer(); });
        user = verify(QStringLiteral("Sauvegarde"));
    } catch (const KestrovaError &e) {
        finish();
        Dialogs::error(e.text());
        return;
    }

    if (!BackupNames::isNumber(user)) {
        Dialogs::error(refusalMessage());
    } else {
        try {
            if (m_backup->isChecked())
                sauvegarderDonnees(ftp, soap, user);
        } catch (const KestrovaError &e) {
            append(e.text());
            Dialogs::error(refusalMessage());
        }
        if (m_restore->isChecked()) {
            try {
                restaurerSauvegarde(ftp);
            } catch (const KestrovaError &e) {
                // The user must know that nothing was touched, and why.
                append(e.text());
                Dialogs::error(
                    QStringLiteral("La restauration a échoué : %1\nVos fichiers n'ont pas été modifiés.")
                        .arg(e.text()));
            }
        }
    }

    QString planningUser;
    try {
        planningUser = verify(QStringLiteral("Planning"));
    } catch (const KestrovaError &e) {
        ftp.disconnect();
        finish();
        Dialogs::error(e.text());
        return;
    }
    if (!BackupNames::isNumber(planningUser)) {
        Dialogs::error(refusalMessage());
    } else if (m_planning->isChecked()) {
        try {
            mettreAJourPlanning(ftp, soap, planningUser);
        } catch (const KestrovaError &e) {
            append(e.text());
            Dialogs::error(refusalMessage());
        }
    }
    ftp.disconnect();
    finish();
}

void sauvegardeFermeture(QWidget *parent, int seconds)
{
    BackupIdentifiers ids;
    ServicesConfig config;
    try {
        ids = BackupIdentifiers::read();
        config = ServicesConfig::read();
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return;
    }

    QDialog progressWindow(parent);
    progressWindow.setObjectName(QStringLiteral("sauvegardeFermeture"));
    progressWindow.setWindowTitle(QStringLiteral("Sauvegarde à la fermeture"));
    progressWindow.setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(&progressWindow);
    auto *label =
        new QLabel(QStringLiteral("Sauvegarde de vos données avant la fermeture..."), &progressWindow);
    auto *bar = new QProgressBar(&progressWindow);
    bar->setRange(0, 100);
    layout->addWidget(label);
    layout->addWidget(bar);
    progressWindow.resize(460, 90);
    progressWindow.show();

    QPointer<QDialog> window(&progressWindow);
    const QDeadlineTimer deadline{std::chrono::seconds(seconds)};
    const ShutdownBackup::Result result = runInBackground([&] {
        return ShutdownBackup::run(config, ids.email, ids.password, deadline,
                                   [=](const QString &step, int percent) {
                                       QMetaObject::invokeMethod(
                                           window,
                                           [=] {
                                               if (!window)
                                                   return;
                                               label->setText(step);
                                               bar->setValue(percent);
                                           },
                                           Qt::QueuedConnection);
                                   });
    });
    progressWindow.hide();
    if (result.outcome != ShutdownBackup::Outcome::Done)
        Dialogs::error(result.message);
}
