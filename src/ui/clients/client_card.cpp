#include "ui/clients/client_card.h"
#include "ui/clients/client_rights_menu.h"

#include "clients/current_client.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "common/format.h"
#include "data/reservation.h"
#include "data/sql.h"
#include "ui/clients/client_card_fields.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFormFicheClient::TFormFicheClient(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Fiche client "));
    setObjectName(QStringLiteral("TFormFicheClient"));
    auto *layout = new QVBoxLayout(this);
    m_menuBar = new QMenuBar(this);
    layout->setMenuBar(m_menuBar);

    m_fields = new ClientCardFields(this);
    layout->addWidget(m_fields);
    m_tabs = new ClientCardTabs(this);
    layout->addWidget(m_tabs, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_save = new QPushButton(QStringLiteral("Enregistrer"), this);
    m_save->setObjectName(QStringLiteral("boutonEnregistrer"));
    m_cancel = new QPushButton(QStringLiteral("Annuler"), this);
    m_cancel->setObjectName(QStringLiteral("boutonAnnuler"));
    for (QPushButton *b : {m_save, m_cancel}) {
        // Enter in a field types on; it does not press a button.
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(m_save, &QPushButton::clicked, this, [this] { EnregistrerClick(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { AnnulerClick(); });
    connectTabs();
    buildMenus();
    resize(1000, 640);
}

void TFormFicheClient::connectTabs()
{
    connect(m_tabs, &ClientCardTabs::currentRowChanged, this, [this](int tab) {
        if (tab == Reservations && !currentNumber(Reservations).isEmpty()) {
            m_lastReservation = currentId(Reservations);
            m_lastRoom = m_tabs->currentCell(Reservations, 5).toInt();
        }
        appliquerActivation();
    });
    connect(grid(Reservations), &QTableView::doubleClicked, this, [this] { ModifierReservationClick(); });
    connect(grid(Devis), &QTableView::doubleClicked, this, [this] { DevisClick(QStringLiteral("Modifier")); });
    connect(m_tabs, &ClientCardTabs::modeReglementChosen, this, &TFormFicheClient::ModeReglementClick);
    connect(m_tabs, &ClientCardTabs::invoiceForStayRequested, this, &TFormFicheClient::NouvelleFactureClick);
}

void TFormFicheClient::buildMenus()
{
    auto add = [this](QMenu *menu, const QString &text, auto slot) {
        QAction *a = menu->addAction(text);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu *fichier = m_menuBar->addMenu(QStringLiteral("Fichier"));
    add(fichier, QStringLiteral("Enregistrer"), [this] { EnregistrerClick(); });
    add(fichier, QStringLiteral("Annuler"), [this] { AnnulerClick(); });
    add(fichier, QStringLiteral("Retour"), [this] { RetourClick(); });
    QMenu *client = m_menuBar->addMenu(QStringLiteral("Client"));
    add(client, QStringLiteral("Supprimer"), [this] { SupprimerClientClick(); });
    ClientRightsMenu::ajouter(client, this);

    QMenu *resa = m_menuBar->addMenu(QStringLiteral("Réservations"));
    add(resa, QStringLiteral("Ajouter "), [this] { NouvelleReservationClick(); });
    add(resa, QStringLiteral("Modifier"), [this] { ModifierReservationClick(); });
    add(resa, QStringLiteral("Supprimer"), [this] { SupprimerReservationClick(); });
    connect(resa, &QMenu::aboutToShow, this, &TFormFicheClient::appliquerActivation);

    const QStringList documentEntries = {QStringLiteral("Ajouter"),          QStringLiteral("Visualiser"),
                                         QStringLiteral("Imprimer"),         QStringLiteral("Générer le PDF"),
                                         QStringLiteral("Envoyer par email"), QStringLiteral("Modifier"),
                                         QStringLiteral("Supprimer")};
    QMenu *factures = m_menuBar->addMenu(QStringLiteral("Factures"));
    for (const QString &entry : documentEntries)
        add(factures, entry, [this, entry] { FactureClick(entry); });
    connect(factures, &QMenu::aboutToShow, this, &TFormFicheClient::appliquerActivation);
    QMenu *devis = m_menuBar->addMenu(QStringLiteral("Devis"));
    for (const QString &entry : documentEntries)
        add(devis, entry, [this, entry] { DevisClick(entry); });
    QMenu *emails = m_menuBar->addMenu(QStringLiteral("Emails"));
    add(emails, QStringLiteral("Nouvel Email"), [this] { NouvelEmailClick(); });
    add(emails, QStringLiteral("Supprimer"), [this] { SupprimerEmailClick(); });
}

QMenu *TFormFicheClient::menu(const QString &title) const
{
    for (QAction *a : m_menuBar->actions())
        if (a->text() == title)
            return a->menu();
    return nullptr;
}

QAction *TFormFicheClient::action(const QString &menuTitle, const QString &entry) const
{
    if (QMenu *m = menu(menuTitle))
        for (QAction *a : m->actions())
            if (a->text() == entry)
                return a;
    return nullptr;
}

QLineEdit *TFormFicheClient::companyEdit() const
{
    return m_fields->companyEdit();
}

QLineEdit *TFormFicheClient::nomEdit() const
{
    return m_fields->nomEdit();
}

QLineEdit *TFormFicheClient::emailEdit() const
{
    return m_fields->emailEdit();
}

QRadioButton *TFormFicheClient::particulier() const
{
    return m_fields->particulier();
}

QRadioButton *TFormFicheClient::entreprise() const
{
    return m_fields->entreprise();
}

bool TFormFicheClient::isNewCard() const
{
    return m_newCard;
}

void TFormFicheClient::setMode(bool newCard)
{
    m_newCard = newCard;
    for (const char *title : {"Client", "Réservations", "Factures", "Devis", "Emails"})
        menu(QString::fromUtf8(title))->menuAction()->setVisible(!newCard);
    action(QStringLiteral("Fichier"), QStringLiteral("Retour"))->setVisible(!newCard);
}

bool TFormFicheClient::hasChanges() const
{
    return !(m_fields->fields() == m_unchanged);
}

void TFormFicheClient::markUnchanged()
{
    m_unchanged = m_fields->fields();
}

bool TFormFicheClient::confirmerFermeture()
{
    if (!hasChanges())
        return true;
    switch (Dialogs::questionOuiNonAnnuler(QStringLiteral("Enregistrer les modifications de la fiche ?"))) {
    case Dialogs::Answer::Yes:
        // A card that cannot be saved stays open with what was typed.
        return enregistrerClient();
    case Dialogs::Answer::No:
        return true;
    case Dialogs::Answer::Cancel:
        break;
    }
    return false;
}

void TFormFicheClient::reject()
{
    if (confirmerFermeture())
        QDialog::reject();
}

void TFormFicheClient::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    afficherClient(CurrentClient::id());
}

bool TFormFicheClient::run(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
}

void TFormFicheClient::afficherClient(int id)
{
    m_fields->setFields(ClientRecord());
    m_id = 0;
    m_lastRoom = 0;
    m_lastReservation = 0;
    if (id > 0) {
        std::optional<ClientRecord> client;
        run([&] { client = Client().lire(id); });
        if (client) {
            m_fields->setFields(*client);
            m_id = client->id;
        }
    }
    setMode(id == -1);
    markUnchanged();
    afficherFactures();
    afficherReservations();
    afficherDevis();
    afficherEmails();
}

void TFormFicheClient::fillTab(Tab tab)
{
    m_tabs->fill(tab, m_id);
    appliquerActivation();
}

void TFormFicheClient::afficherReservations()
{
    fillTab(Reservations);
}

void TFormFicheClient::afficherFactures()
{
    fillTab(Factures);
}

void TFormFicheClient::afficherDevis()
{
    fillTab(Devis);
}

void TFormFicheClient::afficherEmails()
{
    fillTab(Emails);
}

void TFormFicheClient::selectRow(Tab tab, int row)
{
    m_tabs->selectRow(tab, row);
}

void TFormFicheClient::appliquerActivation()
{
    const ClientCardLinks &l = ClientCardLinks::instance();
    auto set = [this](const char *menuTitle, const QString &entry, bool linked, bool needsRow, Tab tab) {
        if (QAction *a = action(QString::fromUtf8(menuTitle), entry))
            a->setEnabled(linked && (!needsRow || !currentNumber(tab).isEmpty()));
    };
    set("Réservations", QStringLiteral("Ajouter "), bool(l.nouvelleReservation), false, Reservations);
    set("Réservations", QStringLiteral("Modifier"), bool(l.modifierReservation), true, Reservations);
    set("Réservations", QStringLiteral("Supprimer"), true, true, Reservations);

    set("Factures", QStringLiteral("Ajouter"), bool(l.nouvelleFacture), false, Factures);
    set("Factures", QStringLiteral("Visualiser"), bool(l.ouvrirFacture), true, Factures);
    set("Factures", QStringLiteral("Modifier"), bool(l.ouvrirFacture), true, Factures);
    set("Factures", QStringLiteral("Imprimer"), bool(l.imprimerFacture), true, Factures);
    set("Factures", QStringLiteral("Générer le PDF"), bool(l.pdfFacture), true, Factures);
    set("Factures", QStringLiteral("Envoyer par email"), bool(l.envoyerFacture), true, Factures);
    set("Factures", QStringLiteral("Supprimer"), bool(l.supprimerFacture), true, Factures);

    set("Devis", QStringLiteral("Ajouter"), bool(l.nouveauDevis), false, Devis);
    set("Devis", QStringLiteral("Visualiser"), bool(l.ouvrirDevis), true, Devis);
    set("Devis", QStringLiteral("Modifier"), bool(l.ouvrirDevis), true, Devis);
    set("Devis", QStringLiteral("Imprimer"), bool(l.imprimerDevis), true, Devis);
    set("Devis", QStringLiteral("Générer le PDF"), bool(l.pdfDevis), true, Devis);
    set("Devis", QStringLiteral("Envoyer par email"), bool(l.envoyerDevis), true, Devis);
    set("Devis", QStringLiteral("Supprimer"), bool(l.supprimerDevis), true, Devis);

    set("Emails", QStringLiteral("Nouvel Email"), bool(l.nouvelEmail), false, Emails);
    set("Emails", QStringLiteral("Supprimer"), bool(l.supprimerEmail), true, Emails);
}

bool TFormFicheClient::enregistrerClient()
{
    ClientRecord c = m_fields->fields();
    c.id = m_id;
    return run([&] {
        Client client;
        const QSqlDatabase db = DataModule::shared();
        Transaction transaction(db);
        if (c.id <= 0)
            c.id = client.creerClient();
        client.enregistrerFiche(c);
        transaction.commit();
        // Only a stored row becomes the card's: a failed first save creates nothing.
        m_id = c.id;
        CurrentClient::set(m_id);
        markUnchanged();
    });
}

bool TFormFicheClient::supprimerClient(int id)
{
    if (id <= 0)
        return false;
    if (id == Client::defaultClient) {
        Dialogs::warning(QStringLiteral("La fiche de l'hôtel ne peut pas être supprimée : "
                                        "les réservations faites sans client lui sont rattachées."));
        return false;
    }
    if (!Dialogs::question(QStringLiteral("Comfirmez-vous la suppression de la fiche du client ?"), false))
        return false;
    try {
        return Client().supprimerClient(id);
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
}

int TFormFicheClient::ouvrir(QWidget *parent, int id)
{
    TFormFicheClient card(parent);
    CurrentClient::set(id);
    card.exec();
    return card.clientId();
}

void TFormFicheClient::EnregistrerClick()
{
    if (!enregistrerClient())
        return;
    setMode(false);
    appliquerActivation();
}

void TFormFicheClient::AnnulerClick()
{
    reject();
}

void TFormFicheClient::RetourClick()
{
    if (confirmerFermeture())
        accept();
}

void TFormFicheClient::SupprimerClientClick()
{
    if (!supprimerClient(m_id))
        return; // "Non" keeps the card and its edits
    m_id = 0;
    CurrentClient::set(0);
    QDialog::reject(); // nothing left to save
}

void TFormFicheClient::NouvelleReservationClick()
{
    if (const auto &link = ClientCardLinks::instance().nouvelleReservation) {
        link(this, m_id);
        afficherReservations();
    }
}

void TFormFicheClient::ModifierReservationClick()
{
    const auto &link = ClientCardLinks::instance().modifierReservation;
    if (!link || currentNumber(Reservations).isEmpty())
        return;
    link(this, currentId(Reservations), m_id);
    afficherReservations();
}

void TFormFicheClient::SupprimerReservationClick()
{
    if (currentNumber(Reservations).isEmpty())
        return;
    if (!Dialogs::question(QStringLiteral("Comfirmez-vous la suppression de cette réservation ?"), false))
        return;
    const int stay = currentId(Reservations);
    run([stay] { Reservation().supprimerReservation(stay); });
    afficherReservations();
}

void TFormFicheClient::NouvelleFactureClick()
{
    const auto &link = ClientCardLinks::instance().nouvelleFacture;
    if (!link || !enregistrerClient())
        return;
    ClientCardLinks::NouvelleFacture facture;
    facture.client = m_id;
    facture.chambre = m_lastRoom;
    if (!currentNumber(Reservations).isEmpty()) {
        facture.reservation = currentId(Reservations);
        facture.du = Format::parseDate(m_tabs->currentCell(Reservations, 1));
        const QString au = m_tabs->currentCell(Reservations, 2);
        // A stay of one night has no "Au" of its own.
        facture.au = au.isEmpty() ? facture.du : Format::parseDate(au);
    }
    link(this, facture);
    afficherFactures();
}

void TFormFicheClient::FactureClick(const QString &what)
{
    if (what == QLatin1String("Ajouter")) {
        NouvelleFactureClick();
        return;
    }
    if (currentNumber(Factures).isEmpty())
        return;
    const int n = currentId(Factures);
    const ClientCardLinks &l = ClientCardLinks::instance();
    if (what == QLatin1String("Visualiser") && l.ouvrirFacture) {
        l.ouvrirFacture(this, n, false);
    } else if (what == QLatin1String("Modifier") && l.ouvrirFacture) {
        l.ouvrirFacture(this, n, true);
        afficherFactures();
    } else if (what == QLatin1String("Imprimer") && l.imprimerFacture) {
        run([&] { l.imprimerFacture(n); });
    } else if (what == QLatin1String("Générer le PDF") && l.pdfFacture) {
        run([&] { l.pdfFacture(n, true); });
    } else if (what == QLatin1String("Envoyer par email") && l.envoyerFacture) {
        l.envoyerFacture(this, n);
        afficherEmails();
    } else if (what == QLatin1String("Supprimer") && l.supprimerFacture) {
        if (!Dialogs::question(QStringLiteral("Comfirmez-vous la suppression de cette facture ?"), false))
            return;
        run([&] { l.supprimerFacture(n); });
        afficherFactures();
    }
}

void TFormFicheClient::ModeReglementClick(const QString &mode)
{
    const auto &link = ClientCardLinks::instance().changerModeReglement;
    if (!link || currentNumber(Factures).isEmpty())
        return;
    const int n = currentId(Factures);
    run([&] { link(n, mode); });
    afficherFactures();
}

void TFormFicheClient::DevisClick(const QString &what)
{
    const ClientCardLinks &l = ClientCardLinks::instance();
    if (what == QLatin1String("Ajouter")) {
        if (l.nouveauDevis) {
            l.nouveauDevis(this, m_id);
            afficherDevis();
        }
        return;
    }
    if (currentNumber(Devis).isEmpty())
        return;
    const int n = currentId(Devis);
    if (what == QLatin1String("Visualiser") && l.ouvrirDevis) {
        l.ouvrirDevis(this, n, false);
    } else if (what == QLatin1String("Modifier") && l.ouvrirDevis) {
        l.ouvrirDevis(this, n, true);
        afficherDevis();
    } else if (what == QLatin1String("Imprimer") && l.imprimerDevis) {
        run([&] { l.imprimerDevis(n); });
    } else if (what == QLatin1String("Générer le PDF") && l.pdfDevis) {
        run([&] { l.pdfDevis(n, true); });
    } else if (what == QLatin1String("Envoyer par email") && l.envoyerDevis) {
        l.envoyerDevis(this, n, emailEdit()->text(), m_id);
        afficherEmails();
    } else if (what == QLatin1String("Supprimer") && l.supprimerDevis) {
        if (!Dialogs::question(QStringLiteral("Comfirmez-vous la suppression de ce devis ?"), false))
            return;
        bool deleted = false;
        run([&] { deleted = l.supprimerDevis(n); });
        if (deleted)
            Dialogs::information(QStringLiteral("Devis supprimé"));
        afficherDevis();
    }
}

void TFormFicheClient::NouvelEmailClick()
{
    const auto &link = ClientCardLinks::instance().nouvelEmail;
    if (!link)
        return;
    if (emailEdit()->text().isEmpty()) {
        Dialogs::information(QStringLiteral("Veuillez renseigner l'email du client"));
        return;
    }
    link(this, emailEdit()->text(), m_id);
    afficherEmails();
}

void TFormFicheClient::SupprimerEmailClick()
{
    const auto &link = ClientCardLinks::instance().supprimerEmail;
    if (!link || currentNumber(Emails).isEmpty())
        return;
    if (!Dialogs::question(QStringLiteral("Comfirmez-vous la suppression de cet email ?"), false))
        return;
    const int n = currentId(Emails);
    bool deleted = false;
    run([&] { deleted = link(n); });
    if (deleted)
        Dialogs::information(QStringLiteral("Email supprimé"));
    afficherEmails();
}
