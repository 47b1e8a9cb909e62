#include "ui/clients/client_card.h"

#include "catalogue/text_grid_model.h"
#include "clients/current_client.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "common/format.h"
#include "data/reservation.h"
#include "data/sql.h"

#include <QAction>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

struct Column
{
    const char *title;
    int width; // 0: hidden, holds data
};

const QList<QList<Column>> &tabColumns()
{
    static const QList<QList<Column>> columns = {
        {{"N°", 0}, {"Du", 70}, {"Au", 70}, {"Chambre", 340}, {"Statut", 101}, {"IdChambre", 0},
         {"Nb Adultes", 70}, {"Nb Enfants", 70}},
        {{"N°", 50}, {"Date", 100}, {"Client", 290}, {"Paiement", 200}, {"Montant TTC", 71}},
        {{"N°", 40}, {"Date", 80}, {"Du", 80}, {"Au", 80}, {"Client", 0}, {"Remise", 80}, {"Acompte", 80},
         {"Montant HT", 80}, {"Montant TVA", 80}, {"Montant TTC", 80}},
        {{"N°", 0}, {"Le", 100}, {"Objet", 621}},
    };
    return columns;
}

const char *const kTabTitles[] = {"Réservations", "Factures", "Devis", "Emails"};

TextGrid titledGrid(int tab)
{
    const QList<Column> &columns = tabColumns()[tab];
    TextGrid grid(1, int(columns.size()));
    for (int c = 0; c < columns.size(); ++c)
        grid.setCell(0, c, QString::fromUtf8(columns[c].title));
    return grid;
}

} // namespace

TFormFicheClient::TFormFicheClient(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Fiche client "));
    setObjectName(QStringLiteral("TFormFicheClient"));
    auto *layout = new QVBoxLayout(this);
    m_menuBar = new QMenuBar(this);
    layout->setMenuBar(m_menuBar);

    auto *top = new QHBoxLayout;
    auto *general = new QGroupBox(QStringLiteral("Informations générales"), this);
    buildFields(general);
    top->addWidget(general);
    auto *extra = new QGroupBox(QStringLiteral("Informations complémentaires"), this);
    auto *extraLayout = new QVBoxLayout(extra);
    m_informations = new QPlainTextEdit(extra);
    extraLayout->addWidget(m_informations);
    top->addWidget(extra, 1);
    layout->addLayout(top);

    buildTabs();
    layout->addWidget(m_tabs, 1);
    buildMenus();
    resize(1000, 640);
}

void TFormFicheClient::buildFields(QWidget *box)
{
    auto *grid = new QGridLayout(box);
    m_particulier = new QRadioButton(QStringLiteral("Particulier"), box);
    m_entreprise = new QRadioButton(QStringLiteral("Entreprise"), box);
    auto *kinds = new QButtonGroup(box);
    kinds->addButton(m_particulier);
    kinds->addButton(m_entreprise);
    m_particulier->setChecked(true);
    m_company = new QLineEdit(box);
    m_company->setObjectName(QStringLiteral("nomEts"));
    m_company->setMaxLength(200);
    auto *kindRow = new QHBoxLayout;
    kindRow->addWidget(m_particulier);
    kindRow->addWidget(m_entreprise);
    kindRow->addWidget(m_company, 1);
    grid->addLayout(kindRow, 0, 0, 1, 4);
    connect(m_particulier, &QRadioButton::toggled, this, &TFormFicheClient::showCompany);

    auto edit = [box](QLineEdit *&e, int maxLength) {
        e = new QLineEdit(box);
        if (maxLength > 0)
            e->setMaxLength(maxLength);
        return e;
    };
    auto label = [box](const char *text) { return new QLabel(QString::fromUtf8(text), box); };
    grid->addWidget(label("Nom : "), 1, 0);
    grid->addWidget(edit(m_nom, 100), 1, 1);
    grid->addWidget(label("Prénom : "), 2, 0);
    grid->addWidget(edit(m_prenom, 100), 2, 1);
    grid->addWidget(label("Adresse : "), 3, 0);
    grid->addWidget(edit(m_adresse1, 250), 3, 1);
    grid->addWidget(edit(m_adresse2, 250), 4, 1);
    grid->addWidget(label("CP :  "), 5, 0);
    grid->addWidget(edit(m_cp, 10), 5, 1);
    grid->addWidget(label("Ville : "), 6, 0);
    grid->addWidget(edit(m_ville, 250), 6, 1);
    grid->addWidget(label("Tel : "), 1, 2);
    grid->addWidget(edit(m_tel, 25), 1, 3);
    grid->addWidget(label("Fax : "), 2, 2);
    grid->addWidget(edit(m_fax, 25), 2, 3);
    grid->addWidget(label("Email : "), 3, 2);
    grid->addWidget(edit(m_email, 200), 3, 3);
    m_email->setMinimumWidth(200);
    m_sirenLabel = label("SIREN : ");
    grid->addWidget(m_sirenLabel, 4, 2);
    grid->addWidget(edit(m_siren, 20), 4, 3);
    m_siren->setObjectName(QStringLiteral("siren"));
    m_tvaLabel = label("TVA intracom. : ");
    grid->addWidget(m_tvaLabel, 5, 2);
    grid->addWidget(edit(m_tvaIntra, 20), 5, 3);
    m_tvaIntra->setObjectName(QStringLiteral("tvaIntra"));
    showCompany();
}

void TFormFicheClient::buildTabs()
{
    m_tabs = new QTabWidget(this);
    for (int t = 0; t < TabCount; ++t) {
        auto *view = new QTableView(m_tabs);
        auto *model = new TextGridModel(view);
        model->setGrid(titledGrid(t));
        view->setModel(model);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->verticalHeader()->hide();
        view->verticalHeader()->setDefaultSectionSize(22);
        const QList<Column> &columns = tabColumns()[t];
        // The widths are those of the classic layout, widened where this font
        // would cut a date or a title.
        const QFontMetrics metrics(view->font());
        const int dateWidth = metrics.horizontalAdvance(QStringLiteral("00/00/0000")) + 14;
        for (int c = 0; c < columns.size(); ++c) {
            const QString title = QString::fromUtf8(columns[c].title);
            if (columns[c].width == 0) {
                view->setColumnHidden(c, true);
                continue;
            }
            int width = std::max(columns[c].width, metrics.horizontalAdvance(title) + 16);
            if (QStringList{QStringLiteral("Du"), QStringLiteral("Au"), QStringLiteral("Date"), QStringLiteral("Le")}
                    .contains(title))
                width = std::max(width, dateWidth);
            view->setColumnWidth(c, width);
        }
        m_views[t] = view;
        m_models[t] = model;
        m_tabs->addTab(view, QString::fromUtf8(kTabTitles[t]));
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this, t](const QModelIndex &) {
            if (t == Reservations && !currentNumber(Reservations).isEmpty()) {
                m_lastReservation = currentId(Reservations);
                m_lastRoom = m_models[Reservations]->cell(m_views[Reservations]->currentIndex().row() + 1, 5).toInt();
            }
            appliquerActivation();
        });
    }
    m_views[Reservations]->setObjectName(QStringLiteral("grilleReservations"));
    m_views[Factures]->setObjectName(QStringLiteral("grilleFactures"));
    m_views[Devis]->setObjectName(QStringLiteral("grilleDevis"));
    m_views[Emails]->setObjectName(QStringLiteral("grilleEmails"));

    connect(m_views[Reservations], &QTableView::doubleClicked, this, [this] { ModifierReservationClick(); });
    connect(m_views[Devis], &QTableView::doubleClicked, this, [this] { DevisClick(QStringLiteral("Modifier")); });

    m_invoiceContext = new QMenu(this);
    const QList<QPair<QString, QString>> modes = {{QStringLiteral("Payé par Chèque"), QStringLiteral("Chèque")},
                                                  {QStringLiteral("Payé par Espèces"), QStringLiteral("Espèces")},
                                                  {QStringLiteral("Payé par CB"), QStringLiteral("CB")},
                                                  {QStringLiteral("Payé par Virement"), QStringLiteral("Virement")},
                                                  {QStringLiteral("Non Payé"), QStringLiteral("Non payé")}};
    for (const auto &[entry, mode] : modes)
        m_invoiceContext->addAction(entry, this, [this, m = mode] { ModeReglementClick(m); });
    m_views[Factures]->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_views[Factures], &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        for (QAction *a : m_invoiceContext->actions())
            a->setEnabled(bool(ClientCardLinks::instance().changerModeReglement) &&
                          !currentNumber(Factures).isEmpty());
        m_invoiceContext->popup(m_views[Factures]->viewport()->mapToGlobal(p));
    });

    m_stayContext = new QMenu(this);
    m_stayContext->addAction(QStringLiteral("Créer la facture associée"), this, [this] { NouvelleFactureClick(); });
    m_views[Reservations]->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_views[Reservations], &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        m_stayContext->actions().first()->setEnabled(bool(ClientCardLinks::instance().nouvelleFacture));
        m_stayContext->popup(m_views[Reservations]->viewport()->mapToGlobal(p));
    });
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

void TFormFicheClient::showCompany()
{
    const bool company = m_entreprise->isChecked();
    m_company->setVisible(company);
    for (QWidget *w : {static_cast<QWidget *>(m_siren), static_cast<QWidget *>(m_tvaIntra), m_sirenLabel, m_tvaLabel})
        if (w)
            w->setVisible(company);
}

bool TFormFicheClient::isNewCard() const
{
    return action(QStringLiteral("Fichier"), QStringLiteral("Enregistrer"))->isVisible();
}

void TFormFicheClient::setMode(bool newCard)
{
    for (const char *title : {"Client", "Réservations", "Factures", "Devis", "Emails"})
        menu(QString::fromUtf8(title))->menuAction()->setVisible(!newCard);
    action(QStringLiteral("Fichier"), QStringLiteral("Enregistrer"))->setVisible(newCard);
    action(QStringLiteral("Fichier"), QStringLiteral("Annuler"))->setVisible(newCard);
    action(QStringLiteral("Fichier"), QStringLiteral("Retour"))->setVisible(!newCard);
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

ClientRecord TFormFicheClient::fields() const
{
    ClientRecord c;
    c.id = m_id;
    c.type = m_entreprise->isChecked() ? 1 : 2;
    c.nomEts = m_company->text();
    c.nom = m_nom->text();
    c.prenom = m_prenom->text();
    c.tel = m_tel->text();
    c.fax = m_fax->text();
    c.email = m_email->text();
    c.adresse1 = m_adresse1->text();
    c.adresse2 = m_adresse2->text();
    c.codepostal = m_cp->text();
    c.ville = m_ville->text();
    c.informations = m_informations->toPlainText();
    c.siren = m_siren->text().trimmed();
    c.tvaIntra = m_tvaIntra->text().trimmed();
    return c;
}

void TFormFicheClient::setFields(const ClientRecord &c)
{
    // Both windows write `type` in their own coding; the company name tells
    // which kind the client is.
    if (c.isCompany())
        m_entreprise->setChecked(true);
    else
        m_particulier->setChecked(true);
    m_company->setText(c.nomEts);
    m_nom->setText(c.nom);
    m_prenom->setText(c.prenom);
    m_tel->setText(c.tel);
    m_fax->setText(c.fax);
    m_email->setText(c.email);
    m_adresse1->setText(c.adresse1);
    m_adresse2->setText(c.adresse2);
    m_cp->setText(c.codepostal);
    m_ville->setText(c.ville);
    m_informations->setPlainText(c.informations);
    m_siren->setText(c.siren);
    m_tvaIntra->setText(c.tvaIntra);
    showCompany();
}

void TFormFicheClient::afficherClient(int id)
{
    setFields(ClientRecord());
    m_id = 0;
    m_lastRoom = 0;
    m_lastReservation = 0;
    if (id > 0) {
        std::optional<ClientRecord> client;
        run([&] { client = Client().lire(id); });
        if (client) {
            setFields(*client);
            m_id = client->id;
        }
    }
    setMode(id == -1);
    afficherFactures();
    afficherReservations();
    afficherDevis();
    afficherEmails();
}

void TFormFicheClient::fillTab(Tab tab)
{
    TextGrid grid = titledGrid(tab);
    const ClientCardLinks &links = ClientCardLinks::instance();
    if (m_id > 0) {
        run([&] {
            switch (tab) {
            case Reservations:
                Reservation().listerReservationsClient(QString::number(m_id), grid);
                break;
            case Factures:
                if (links.listeFactures)
                    links.listeFactures(m_id, grid);
                break;
            case Devis:
                if (links.listeDevis)
                    links.listeDevis(m_id, grid);
                break;
            case Emails:
                if (links.listeEmails)
                    links.listeEmails(m_id, grid);
                break;
            default:
                break;
            }
        });
    }
    // The title row stays a title row: a grid without data keeps one empty row.
    while (grid.rowCount() > 2 && grid.isRowEmpty(grid.rowCount() - 1))
        grid.setRowCount(grid.rowCount() - 1);
    if (grid.rowCount() < 2)
        grid.setRowCount(2);
    m_models[tab]->setGrid(grid);
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

QString TFormFicheClient::currentNumber(Tab tab) const
{
    const QModelIndex current = m_views[tab]->currentIndex();
    if (!current.isValid())
        return {};
    return m_models[tab]->cell(current.row() + 1, 0).trimmed();
}

void TFormFicheClient::selectRow(Tab tab, int row)
{
    m_views[tab]->setCurrentIndex(m_models[tab]->index(row, 1));
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
    ClientRecord c = fields();
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
    // A card that cannot be saved stays open with what was typed.
    if (enregistrerClient())
        accept();
}

void TFormFicheClient::SupprimerClientClick()
{
    if (!supprimerClient(m_id))
        return; // "Non" keeps the card and its edits
    m_id = 0;
    CurrentClient::set(0);
    reject();
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
        const int row = m_views[Reservations]->currentIndex().row() + 1;
        facture.reservation = currentId(Reservations);
        facture.du = Format::parseDate(m_models[Reservations]->cell(row, 1));
        const QString au = m_models[Reservations]->cell(row, 2);
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
        l.envoyerDevis(this, n, m_email->text(), m_id);
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
    if (m_email->text().isEmpty()) {
        Dialogs::information(QStringLiteral("Veuillez renseigner l'email du client"));
        return;
    }
    link(this, m_email->text(), m_id);
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
