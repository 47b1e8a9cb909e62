#pragma once

#include <QDialog>
#include <QString>

#include <atomic>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QThread;

// The e-mail window: sends an invoice or a quote with its PDF, or a free
// message to a client, and records each message that went out in the history.
// Callers prepare it with one of the preparing operations, then show it
// modally (exec()); the sending runs off the window thread with progress, and
// a failure leaves the window open and prepared so that "Valider" can be
// pressed again.
class TMAJ : public QDialog
{
    Q_OBJECT

public:
    explicit TMAJ(QWidget *parent = nullptr);
    ~TMAJ() override;

    // The window of the process, created on first use and kept, so that the
    // message field keeps its text from one use to the next.
    static TMAJ &instance();

    // The common part: returns the window to idle, then prepares kind
    // "facture" or "devis" (text = recipient address) or "email" (text = the
    // client's address). No kind: idle only.
    void preparerEnvoi(const QString &kind = QString(), const QString &text = QString());
    // kind "facture" or "devis": the document's PDF (facture.pdf / devis.pdf of
    // the data directory) has been written by the caller.
    void preparerEnvoiDocument(const QString &kind, const QString &adresse, int numeroDocument, int idClient);
    // kind "email": a free message to the client's address; the first field
    // then holds the subject.
    void preparerEmail(const QString &kind, const QString &adresse, int idClient);

    // True when the relay's host can be resolved and a connection opened.
    bool EstConnecter() const;

    QString modeEnvoi() const { return m_modeEnvoi; }
    bool isSending() const { return m_worker != nullptr; }

    // For tests and for callers that look at the widgets.
    QLineEdit *premierChamp() const { return m_first; }
    QPlainTextEdit *champMessage() const { return m_message; }
    QLabel *pieceJointe() const { return m_attachment; }
    QPushButton *boutonValider() const { return m_valider; }
    QPushButton *boutonAnnuler() const { return m_annuler; }

signals:
    // After a message went out and its history row was written.
    void emailEnvoye();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ValiderClick();
    void AnnulerClick();
    void sendingFinished(const QString &error);
    void setSending(bool sending);
    QString attachmentPath() const;

    QLabel *m_firstLabel = nullptr;
    QLineEdit *m_first = nullptr;
    QLabel *m_attachment = nullptr;
    QLabel *m_messageLabel = nullptr;
    QPlainTextEdit *m_message = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_valider = nullptr;
    QPushButton *m_annuler = nullptr;

    QString m_modeEnvoi;
    QString m_destinataire; // the client's address of a free message
    int m_idClient = 0;
    int m_numeroDocument = 0;
    QString m_objet;
    QString m_expediteur;

    QThread *m_worker = nullptr;
    std::shared_ptr<std::atomic_bool> m_abort;
};
