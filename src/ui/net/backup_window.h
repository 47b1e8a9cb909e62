#pragma once

#include "net/backup_session.h"

#include <QDialog>
#include <QEventLoop>
#include <QThread>

#include <exception>
#include <functional>
#include <optional>
#include <type_traits>

class FtpClient;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class SoapClient;

// Runs work on a worker thread while the calling thread keeps processing its
// events (the window repaints, progress arrives); returns its result or
// rethrows its exception. The work must not touch widgets or the database
// connections of the calling thread.
template <typename F> auto runInBackground(F work) -> std::invoke_result_t<F>
{
    using R = std::invoke_result_t<F>;
    std::exception_ptr error;
    std::conditional_t<std::is_void_v<R>, bool, std::optional<R>> result{};
    QEventLoop loop;
    QThread *thread = QThread::create([&] {
        try {
            if constexpr (std::is_void_v<R>)
                work();
            else
                result = work();
        } catch (...) {
            error = std::current_exception();
        }
    });
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;
    if (error)
        std::rethrow_exception(error);
    if constexpr (!std::is_void_v<R>)
        return std::move(*result);
}

// "Services Web": back the data up to the FTP server, restore one of the
// user's recent backups, publish the planning on the web service, and choose
// the backup at every shut-down. Network work runs off the window thread with
// the buttons disabled; every wait is bounded.
class TFormSauvegarde : public QDialog
{
    Q_OBJECT

public:
    explicit TFormSauvegarde(QWidget *parent = nullptr);

    // Shows the window modally; true when it restored a backup over the data
    // directory (every view must then be refilled). The caller closes its
    // connections before and reopens them after (ui/app/feature_wiring.cpp).
    bool runAndTellRestored();

    void ImporterIdentifiants();
    void SauvegarderIdentifiants();
    void EnableControls(bool enabled);

    void TesterClick();
    void ValiderClick();
    // Fills the list of the user's five most recent backups.
    void listerSauvegardes();

    bool restoredSinceShown() const { return m_restored; }
    bool busy() const { return m_busy; }

    QLineEdit *emailEdit() const { return m_email; }
    QLineEdit *passwordEdit() const { return m_password; }
    QCheckBox *backupBox() const { return m_backup; }
    QCheckBox *restoreBox() const { return m_restore; }
    QComboBox *backupList() const { return m_backups; }
    QCheckBox *planningBox() const { return m_planning; }
    QCheckBox *automaticBox() const { return m_automatic; }
    QPlainTextEdit *progressLog() const { return m_log; }
    QPushButton *testerButton() const { return m_tester; }
    QPushButton *validerButton() const { return m_valider; }
    QPushButton *retourButton() const { return m_retour; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void append(const QString &line);
    void sauvegarderDonnees(FtpClient &ftp, SoapClient &soap, const QString &user);
    void restaurerSauvegarde(FtpClient &ftp);
    void mettreAJourPlanning(FtpClient &ftp, SoapClient &soap, const QString &user);
    // Uploads a file of the data directory, with progress in the window title.
    // A failure is written to the progress log and reported by false.
    bool Download(const QString &localFile, const QString &remoteName, FtpClient &ftp);

    QLineEdit *m_email;
    QLineEdit *m_password;
    QPushButton *m_tester;
    QCheckBox *m_backup;
    QCheckBox *m_restore;
    QComboBox *m_backups;
    QCheckBox *m_planning;
    QCheckBox *m_automatic;
    QPlainTextEdit *m_log;
    QPushButton *m_valider;
    QPushButton *m_retour;
    QString m_dateMaJPlanning;
    bool m_busy = false;
    bool m_restored = false;
};

// The shut-down backup with a small progress window; returns once it is done
// or the budget is spent. Failures are told in a box.
void sauvegardeFermeture(QWidget *parent, int seconds = ShutdownBackup::defaultSeconds);
