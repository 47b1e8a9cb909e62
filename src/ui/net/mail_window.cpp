#include "ui/net/mail_window.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "common/paths.h"
#include "data/email.h"
#include "net/mail_draft.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const QString kFacture = QStringLiteral("facture");
const QString kDevis = QStringLiteral("devis");
const QString kEmail = QStringLiteral("email");
} // namespace

TMAJ::TMAJ(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TMAJ"));
    setWindowTitle(QStringLiteral("Mise à jour"));
    setModal(true);
    resize(560, 420);

    m_firstLabel = new QLabel(QStringLiteral("Destinataire"), this);
    m_first = new QLineEdit(this);
    m_first->setObjectName(QStringLiteral("premierChamp"));
    m_firstLabel->setBuddy(m_first);

    m_attachment = new QLabel(this);
    m_attachment->setObjectName(QStringLiteral("pieceJointe"));
    m_attachment->setToolTip(QStringLiteral("Double-cliquez pour ouvrir le document"));
    m_attachment->setCursor(Qt::PointingHandCursor);
    m_attachment->setStyleSheet(QStringLiteral("color: palette(link); text-decoration: underline;"));
    m_attachment->installEventFilter(this);
    m_attachment->hide();

    m_messageLabel = new QLabel(QStringLiteral("Commentaire (facultatif)"), this);
    m_message = new QPlainTextEdit(this);
    m_message->setObjectName(QStringLiteral("champMessage"));
    m_messageLabel->setBuddy(m_message);

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_status = new QLabel(this);
    m_status->hide();

    m_valider = new QPushButton(QStringLiteral("Valider"), this);
    m_valider->setObjectName(QStringLiteral("Valider"));
    m_valider->setDefault(true);
    m_valider->hide();
    m_annuler = new QPushButton(QStringLiteral("Annuler"), this);
    m_annuler->setObjectName(QStringLiteral("Annuler"));
    m_annuler->setAutoDefault(false);

    auto *fields = new QGridLayout;
    fields->addWidget(m_firstLabel, 0, 0);
    fields->addWidget(m_first, 0, 1);
    fields->addWidget(m_attachment, 1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(m_progress, 1);
    buttons->addStretch();
    buttons->addWidget(m_valider);
    buttons->addWidget(m_annuler);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_messageLabel);
    layout->addWidget(m_message, 1);
    layout->addLayout(buttons);

    connect(m_valider, &QPushButton::clicked, this, &TMAJ::ValiderClick);
    connect(m_annuler, &QPushButton::clicked, this, &TMAJ::AnnulerClick);
}

TMAJ::~TMAJ()
{
    if (m_worker) {
        // The transfer stops at its next progress call; curl's own time limits
        // bound the rest.
        m_abort->store(true);
        m_worker->wait();
        delete m_worker;
    }
}

TMAJ &TMAJ::instance()
{
    static QPointer<TMAJ> window;
    if (!window) {
        window = new TMAJ;
        if (QCoreApplication::instance())
            QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, window.data(),
                             &QObject::deleteLater);
    }
    return *window;
}

void TMAJ::preparerEnvoi(const QString &kind, const QString &text)
{
    m_modeEnvoi.clear();
    m_idClient = 0;
    m_valider->hide();

    if (kind == kFacture || kind == kDevis) {
        const bool facture = kind == kFacture;
        setWindowTitle(
            (facture ? QStringLiteral("Envoi de la facture n°") : QStringLiteral("Envoi du devis n°")) +
            QString::number(m_numeroDocument));
        m_attachment->setText(QStringLiteral("Pièce jointe : ") + MailSettings::attachmentName(kind));
        m_attachment->show();
        m_firstLabel->setText(QStringLiteral("Destinataire"));
        m_first->setText(text);
        m_destinataire.clear();
        m_modeEnvoi = kind;
        m_valider->show();
    } else if (kind == kEmail) {
        setWindowTitle(QStringLiteral("Envoi d'un email"));
        m_attachment->hide();
        m_destinataire = text;
        m_firstLabel->setText(QStringLiteral("Objet"));
        m_first->clear();
        m_message->clear();
        m_modeEnvoi = kind;
        m_valider->show();
    }
}

void TMAJ::preparerEnvoiDocument(const QString &kind, const QString &adresse, int numeroDocument,
                                 int idClient)
{
    m_numeroDocument = numeroDocument;
    preparerEnvoi(kind, adresse);
    m_idClient = idClient;
}

void TMAJ::preparerEmail(const QString &kind, const QString &adresse, int idClient)
{
    preparerEnvoi(kind, adresse);
    m_idClient = idClient;
}

bool TMAJ::EstConnecter() const
{
    try {
        return ::EstConnecter(MailRelay::fromSettings());
    } catch (const KestrovaError &) {
        return false;
    }
}

QString TMAJ::attachmentPath() const
{
    return Paths::dataPath(MailSettings::attachmentName(m_modeEnvoi));
}

void TMAJ::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_worker)
        return;
    m_expediteur = MailSettings::sender();
    if (m_modeEnvoi == kFacture || m_modeEnvoi == kDevis) {
        m_objet = MailSettings::subjectFor(m_modeEnvoi);
        // Without a template the field keeps the text of its previous use.
        if (const auto text = MailSettings::readTemplate(m_modeEnvoi))
            m_message->setPlainText(*text);
    }
    m_first->setFocus();
}

bool TMAJ::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_attachment && event->type() == QEvent::MouseButtonDblClick && !m_modeEnvoi.isEmpty() &&
        m_modeEnvoi != kEmail) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(attachmentPath()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TMAJ::ValiderClick()
{
    if (m_worker || m_modeEnvoi.isEmpty())
        return;

    MailDraft draft;
    draft.kind = m_modeEnvoi;
    // Read again: the address may have been set since the window was shown.
    m_expediteur = MailSettings::sender();
    draft.sender = m_expediteur;
    draft.text = m_message->toPlainText();
    if (m_modeEnvoi == kEmail) {
        draft.recipient = m_destinataire;
        draft.subject = m_first->text();
    } else {
        draft.recipient = m_first->text();
        draft.subject = m_objet;
        draft.attachmentPath = attachmentPath();
    }
    const QString why = draft.problem();
    if (!why.isEmpty()) {
        Dialogs::warning(why);
        return;
    }

    MailRelay relay;
    try {
        relay = MailRelay::fromSettings();
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return;
    }

    m_abort = std::make_shared<std::atomic_bool>(false);
    auto error = std::make_shared<QString>();
    auto abort = m_abort;
    // The destructor waits for the worker, so `this` outlives every call made
    // from it; updates posted after the window is gone are dropped with it.
    auto progress = [this](qint64 sent, qint64 total) {
        QMetaObject::invokeMethod(
            this,
            [this, sent, total] {
                if (total <= 0)
                    return;
                m_progress->setRange(0, 1000);
                m_progress->setValue(
                    int(qMin<qint64>(sent * 1000 / total, 1000))); // dot-stuffing may add bytes
            },
            Qt::QueuedConnection);
    };
    m_worker = QThread::create([draft, relay, error, abort, progress] {
        *error = deliverMail(draft, relay, progress, abort.get());
    });
    connect(m_worker, &QThread::finished, this, [this, error, draft] {
        m_worker->deleteLater();
        m_worker = nullptr;
        setSending(false);
        if (!error->isEmpty()) {
            // The window stays open and prepared: "Valider" can be pressed again.
            Dialogs::error(*error);
            return;
        }
        try {
            Email().ajouterEmail(m_idClient, draft.subject, draft.text);
        } catch (const KestrovaError &e) {
            Dialogs::error(
                QStringLiteral("L'email est parti mais n'a pas pu être inscrit dans l'historique : ") +
                e.text());
        }
        Dialogs::information(QStringLiteral("Votre email a bien été envoyé"));
        preparerEnvoi();
        emit emailEnvoye();
        accept();
    });
    setSending(true);
    m_worker->start();
}

void TMAJ::setSending(bool sending)
{
    m_valider->setEnabled(!sending);
    m_first->setReadOnly(sending);
    m_message->setReadOnly(sending);
    m_progress->setVisible(sending);
    m_status->setVisible(sending);
    if (sending) {
        m_progress->setRange(0, 0);
        m_status->setText(QStringLiteral("Envoi en cours…"));
    }
}

void TMAJ::AnnulerClick()
{
    if (m_worker) {
        // Stops the transfer; the window stays prepared for another try.
        m_abort->store(true);
        m_status->setText(QStringLiteral("Interruption de l'envoi…"));
        return;
    }
    preparerEnvoi();
    QDialog::reject();
}

void TMAJ::reject()
{
    AnnulerClick();
}

void TMAJ::closeEvent(QCloseEvent *event)
{
    if (m_worker) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
