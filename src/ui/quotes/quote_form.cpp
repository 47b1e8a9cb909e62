#include "ui/quotes/quote_form.h"

#include "catalogue/user_action.h"
#include "ui/clients/client_list_window.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "common/format.h"
#include "ui/documents/client_address_box.h"
#include "ui/documents/document_amounts_panel.h"
#include "data/document_entry.h"
#include "documents/document_lines.h"
#include "ui/documents/document_lines_grid.h"
#include "ui/documents/stay_dates_fields.h"
#include "data/prestation.h"
#include "quotes/devis.h"
#include "quotes/stored_devis.h"
#include "settings/settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormDevis::TFormDevis(QWidget *parent)
    : QDialog(parent), m_address(new ClientAddressBox(this)), m_dates(new StayDatesFields(QStringLiteral("Au"), this)),
      m_rooms(new QComboBox(this)), m_lines(new DocumentLinesGrid(this)), m_comment(new QPlainTextEdit(this)),
      m_amounts(new DocumentAmountsPanel(this)),
      m_print(new QCheckBox(QStringLiteral("Imprimer le devis après enregistrement"), this)),
      m_email(new QCheckBox(QStringLiteral("Envoyer le devis par email après enregistrement"), this)),
      m_save(new QPushButton(QStringLiteral("Enregistrer le devis"), this)),
      m_back(new QPushButton(QStringLiteral("Retour"), this)),
      m_clientPicker([](QWidget *p) { return TFormClient::choisirClient(p); })
{
    setObjectName(QStringLiteral("FormDevis"));
    setWindowTitle(QStringLiteral("Devis"));
    resize(560, 640);

    m_rooms->setObjectName(QStringLiteral("ComboChambres"));
    m_comment->setObjectName(QStringLiteral("Commentaires"));
    m_comment->setTabChangesFocus(true);
    m_comment->setMaximumHeight(m_comment->fontMetrics().lineSpacing() * 4 + 12);
    m_address->setMaximumHeight(m_address->fontMetrics().lineSpacing() * 7 + 30);
    m_amounts->attach(m_lines);
    m_email->setEnabled(false);
    m_save->setObjectName(QStringLiteral("BtnEnregistrer"));
    m_back->setObjectName(QStringLiteral("BtnRetour"));
    m_save->setAutoDefault(false);
    m_back->setAutoDefault(false);
    m_lines->setAddGuard([this] { return addAllowed(); });
    m_lines->setInitialQuantity([this](int service) { return quantiteInitiale(service); });

    auto *bar = new QMenuBar(this);
    QMenu *fichier = bar->addMenu(QStringLiteral("Fichier"));
    m_saveAction = fichier->addAction(QStringLiteral("Enregistrer le devis"), this, [this] {
        if (enregistrer())
            accept();
    });
    m_saveAction->setObjectName(QStringLiteral("actionEnregistrer"));
    fichier->addAction(QStringLiteral("Fermer sans enregistrer"), this, &QDialog::reject)
        ->setObjectName(QStringLiteral("actionFermer"));
    QMenu *client = bar->addMenu(QStringLiteral("Client"));
    client->addAction(QStringLiteral("Sélectionner un client"), this, &TFormDevis::selectionnerClient)
        ->setObjectName(QStringLiteral("actionSelectionnerClient"));
    // The grid's own entries hide in "visualisation"; these stay, as the menu
    // bar always offers them (a line changed there is shown, never stored).
    QMenu *prestations = bar->addMenu(QStringLiteral("Prestations"));
    prestations->addAction(QStringLiteral("Ajouter"), m_lines, &DocumentLinesGrid::AjoutPrestation)
        ->setObjectName(QStringLiteral("actionAjouterLigne"));
    m_modifierLigne = prestations->addAction(QStringLiteral("Modifier"), m_lines, &DocumentLinesGrid::MajPrestation);
    m_modifierLigne->setObjectName(QStringLiteral("actionModifierLigne"));
    m_supprimerLigne =
        prestations->addAction(QStringLiteral("Supprimer"), m_lines, &DocumentLinesGrid::SuppPrestation);
    m_supprimerLigne->setObjectName(QStringLiteral("actionSupprimerLigne"));
    m_modifierLigne->setEnabled(false);
    m_supprimerLigne->setEnabled(false);
    connect(m_lines, &DocumentLinesGrid::selectedLineChanged, this, [this](int row) {
        m_modifierLigne->setEnabled(row >= 0);
        m_supprimerLigne->setEnabled(row >= 0);
    });

    auto *roomRow = new QHBoxLayout;
    roomRow->addWidget(m_dates);
    roomRow->addStretch();
    roomRow->addWidget(m_rooms);
    auto *checks = new QVBoxLayout;
    checks->addWidget(m_print);
    checks->addWidget(m_email);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_back);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(m_address);
    layout->addLayout(roomRow);
    layout->addWidget(new QLabel(QStringLiteral("Détails du devis"), this));
    layout->addWidget(m_lines, 1);
    layout->addWidget(new QLabel(QStringLiteral("Commentaires"), this));
    layout->addWidget(m_comment);
    layout->addWidget(m_amounts);
    layout->addLayout(checks);
    layout->addLayout(buttons);

    connect(m_save, &QPushButton::clicked, m_saveAction, &QAction::trigger);
    connect(m_back, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_rooms, &QComboBox::activated, this, &TFormDevis::roomChosen);
    setMode(QString());
}

QAction *TFormDevis::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void TFormDevis::setMode(const QString &text)
{
    m_mode = text == QLatin1String("visualisation")  ? Mode::Visualisation
             : text == QLatin1String("modification") ? Mode::Modification
                                                      : Mode::Ajout;
    const bool view = m_mode == Mode::Visualisation;
    m_numero = 0;
    setWindowTitle(QStringLiteral("Devis"));
    m_address->setClientId(-1);
    m_address->setAddress(QString());
    m_comment->clear();
    m_dates->clear();
    m_lines->clearLines();
    m_amounts->clear();
    m_print->setChecked(false);
    m_email->setChecked(false);
    m_room = 0;
    remplirChambres();
    m_lines->setRoom(0);

    m_save->setVisible(!view);
    m_save->setEnabled(true);
    m_save->setText(m_mode == Mode::Modification ? QStringLiteral("Modifier le devis")
                                                 : QStringLiteral("Enregistrer le devis"));
    // A shown quote must never be stored again as a new one.
    m_saveAction->setEnabled(!view);
    m_back->setMinimumWidth(view ? 195 : 75);
    m_print->setVisible(m_mode == Mode::Ajout);
    m_email->setVisible(m_mode == Mode::Ajout);
    m_address->setReadOnly(view);
    m_dates->setReadOnly(view);
    m_amounts->setEditable(!view);
    m_lines->setReadOnly(view);
}

void TFormDevis::remplirChambres()
{
    int count = 15;
    try {
        count = Settings::roomCount(15);
    } catch (const KestrovaError &) {
        // An unreadable count keeps the usual 15 rooms.
    }
    const QSignalBlocker block(m_rooms);
    m_rooms->clear();
    m_rooms->addItem(QStringLiteral("Chambres"));
    m_rooms->addItems(Settings::roomNames(count));
    m_rooms->setCurrentIndex(m_room >= 0 && m_room < m_rooms->count() ? m_room : 0);
}

int TFormDevis::chambre() const
{
    return qMax(0, m_rooms->currentIndex());
}

void TFormDevis::setChambre(int index)
{
    if (index < 0 || index >= m_rooms->count())
        return;
    m_rooms->setCurrentIndex(index);
    roomChosen(index);
}

void TFormDevis::roomChosen(int index)
{
    m_room = index;
    m_lines->setRoom(index);
    MajListePrestations();
}

void TFormDevis::MajListePrestations()
{
    m_lines->setRoom(chambre());
    m_lines->MajListePrestations();
}

bool TFormDevis::addAllowed()
{
    if (m_mode == Mode::Visualisation || m_lines->selectedLine() >= 0)
        return false;
    if (chambre() == 0) {
        Dialogs::information(QStringLiteral("Veuillez sélectionner une chambre"));
        return false;
    }
    return true;
}

int TFormDevis::quantiteInitiale(int service) const
{
    // A service added to every reserved night ("Nuitée") is counted once per
    // night of the dates entered.
    const QDate debut = m_dates->debut();
    const QDate fin = m_dates->fin();
    const qint64 nights = debut.isValid() && fin.isValid() ? debut.daysTo(fin) : 0;
    if (nights < 1)
        return 1;
    bool nightly = false;
    runUserAction([&] { nightly = Prestation().estAjoutAuto(service, chambre()); });
    return nightly ? int(qMin<qint64>(nights, 9999)) : 1;
}

void TFormDevis::getInfosClient(int idClient)
{
    m_address->getInfosClient(idClient);
}

int TFormDevis::clientId() const
{
    return m_address->clientId();
}

bool TFormDevis::afficheFacture(int numero)
{
    StoredDevis devis;
    if (!runUserAction([&] { devis = StoredDevis::lire(numero); }))
        return false;
    if (!devis.found) {
        Dialogs::error(QStringLiteral("Le devis N°%1 n'existe pas.").arg(numero));
        return false;
    }
    m_numero = numero;
    setWindowTitle(QStringLiteral("Devis N°") + QString::number(numero));
    m_address->setClientId(devis.idClient);
    m_address->setAddress(devis.adresse);
    m_dates->setDates(devis.sejourDebut, devis.sejourFin);
    m_comment->setPlainText(devis.commentaires);
    m_room = devis.idChambre;
    m_rooms->setCurrentIndex(m_room >= 0 && m_room < m_rooms->count() ? m_room : 0);
    m_lines->setRoom(devis.idChambre);
    m_lines->setGrid(devis.lignes);
    m_amounts->setAmounts(devis.remise, devis.acompte, devis.totalHt, devis.totalTva, devis.totalTtc);
    m_save->setEnabled(devis.modifiable);
    return true;
}

void TFormDevis::CalculerFacture()
{
    m_amounts->CalculerFacture();
}

void TFormDevis::selectionnerClient()
{
    if (!m_clientPicker)
        return;
    if (const int chosen = m_clientPicker(this); chosen > 0)
        setClient(chosen);
}

void TFormDevis::setClientPicker(std::function<int(QWidget *)> picker)
{
    m_clientPicker = std::move(picker);
}

void TFormDevis::setEmailSender(std::function<void(int)> sender)
{
    m_actions.setEmailSender(std::move(sender));
    m_email->setEnabled(m_actions.canEmail());
}

void TFormDevis::fillEntry(DocumentEntry &entry) const
{
    entry.idClient = clientId();
    entry.adresse = m_address->address();
    entry.idChambre = chambre();
    QString comment = m_comment->toPlainText();
    comment.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    entry.commentaires = comment;
    entry.remise = m_amounts->remise()->text();
    entry.acompte = m_amounts->acompte()->text();
    // A date that does not read is stored as the no-date marker.
    entry.sejourDebut = m_dates->debut().isValid() ? m_dates->debut() : Devis::sansDate();
    entry.sejourFin = m_dates->fin().isValid() ? m_dates->fin() : Devis::sansDate();
    entry.totalHt = m_amounts->totalHt()->text();
    entry.totalTva = m_amounts->totalTva()->text();
    entry.totalTtc = m_amounts->totalTtc()->text();
}

bool TFormDevis::enregistrer()
{
    if (m_mode == Mode::Visualisation)
        return false;
    if (const QString problem = m_amounts->verifier(); !problem.isEmpty()) {
        Dialogs::error(problem);
        return false;
    }
    return m_mode == Mode::Ajout ? creer() : modifier();
}

bool TFormDevis::creer()
{
    if (Format::parseAmount(m_amounts->totalTtc()->text()) <= 0) {
        Dialogs::warning(QStringLiteral("Le devis est vide : rien n'a été enregistré."));
        return false;
    }
    if (clientId() <= 0) {
        if (!Dialogs::question(QStringLiteral("Ce devis n'a pas de client. Voulez-vous sélectionner un client ?"),
                               true))
            return false;
        selectionnerClient();
        if (clientId() <= 0) {
            Dialogs::warning(QStringLiteral("Aucun client n'est choisi : le devis n'a pas été enregistré."));
            return false;
        }
    }
    DocumentEntry entry;
    fillEntry(entry);
    entry.date = QDate::currentDate();
    int numero = 0;
    try {
        numero = Devis().creerDevis(entry, m_lines->grid());
    } catch (const KestrovaError &e) {
        Dialogs::error(QStringLiteral("Le devis n'a pas été enregistré.\n") + e.text());
        return false;
    }
    m_numero = numero;
    Dialogs::information(QStringLiteral("Devis N°") + QString::number(numero) + QStringLiteral(" créé avec succès"));
    m_actions.apresCreation(numero, m_print->isChecked(), m_email->isChecked());
    return true;
}

bool TFormDevis::modifier()
{
    DocumentEntry entry;
    fillEntry(entry);
    try {
        Devis().modifierDevis(m_numero, entry, m_lines->grid());
    } catch (const KestrovaError &e) {
        Dialogs::error(QStringLiteral("Le devis n'a pas été modifié.\n") + e.text());
        return false;
    }
    return true;
}

void TFormDevis::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    remplirChambres();
}

void TFormDevis::reject()
{
    setMode(QString());
    QDialog::reject();
}
