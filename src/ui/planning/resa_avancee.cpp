#include "ui/planning/resa_avancee.h"

#include "catalogue/text_grid_model.h"
#include "ui/clients/client_card.h"
#include "ui/clients/client_list_window.h"
#include "clients/current_client.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "data/client.h"
#include "data/data_module.h"
#include "planning/advanced_reservation.h"
#include "ui/planning/available_rooms_filler.h"
#include "ui/planning/client_form.h"
#include "ui/planning/client_list_page.h"
#include "ui/planning/digit_filter.h"
#include "ui/planning/stay_services_grid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Dates are chosen with the calendar only: typed keys would let a half-typed
// date reach the free-room search.
class NoTyping : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key != Qt::Key_Tab && key != Qt::Key_Backtab && key != Qt::Key_Escape &&
                key != Qt::Key_Return && key != Qt::Key_Enter)
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

QDateEdit *dateEdit(QWidget *parent, const char *name)
{
    auto *edit = new QDateEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    auto *filter = new NoTyping(edit);
    edit->installEventFilter(filter);
    if (QLineEdit *line = edit->findChild<QLineEdit *>())
        line->installEventFilter(filter);
    return edit;
}

} // namespace

TResaAvancee::TResaAvancee(QWidget *parent, int refreshDelayMs) : QDialog(parent)
{
    setObjectName(QStringLiteral("TResaAvancee"));
    setWindowTitle(QStringLiteral("Ajout d'une réservation"));

    auto *bar = new QMenuBar(this);
    auto *columns = new QHBoxLayout;
    columns->addWidget(buildReservationGroup());
    columns->addWidget(buildClientGroup(), 1);
    auto *buttons = new QHBoxLayout;
    m_valider = new QPushButton(QStringLiteral("Valider"), this);
    m_valider->setObjectName(QStringLiteral("Valider"));
    m_annuler = new QPushButton(QStringLiteral("Annuler"), this);
    m_annuler->setObjectName(QStringLiteral("Annuler"));
    buttons->addStretch(1);
    buttons->addWidget(m_valider);
    buttons->addWidget(m_annuler);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    buildMenus(bar);

    m_filler = new AvailableRoomsFiller(m_rooms, this, refreshDelayMs);
    connect(m_valider, &QPushButton::clicked, this, &TResaAvancee::ValiderClick);
    connect(m_annuler, &QPushButton::clicked, this, &QDialog::reject);
    // A free-room list still waiting is of no use once the window is closed.
    connect(this, &QDialog::finished, m_filler->refresher(), &DelayedRefresher::cancel);
    connect(m_debut, &QDateEdit::dateChanged, this, &TResaAvancee::DateChange);
    connect(m_fin, &QDateEdit::dateChanged, this, &TResaAvancee::DateChange);
    showRefreshing();
}

TResaAvancee::~TResaAvancee()
{
    DataModule::closeConnection(connectionName());
}

QWidget *TResaAvancee::buildReservationGroup()
{
    auto *column = new QWidget(this);
    column->setFixedWidth(305);
    auto *group = new QGroupBox(QStringLiteral("Réservation"), column);
    m_debut = dateEdit(group, "DateDebut");
    m_fin = dateEdit(group, "DateFin");
    m_rooms = new QComboBox(group);
    m_rooms->setObjectName(QStringLiteral("ComboBoxChambre"));
    m_states = new QComboBox(group);
    m_states->setObjectName(QStringLiteral("ComboBoxEtat"));
    m_states->addItems({QStringLiteral("Réservé"), QStringLiteral("Acompte"), QStringLiteral("Payé")});
    m_adultes = new QLineEdit(QStringLiteral("1"), group);
    m_adultes->setObjectName(QStringLiteral("NbAdultes"));
    m_enfants = new QLineEdit(QStringLiteral("0"), group);
    m_enfants->setObjectName(QStringLiteral("NbEnfants"));
    DigitFilter::install(m_adultes, 4);
    DigitFilter::install(m_enfants, 4);
    m_adultes->setMaximumWidth(60);
    m_enfants->setMaximumWidth(60);

    auto *fin = new QHBoxLayout;
    fin->addWidget(m_fin, 1);
    fin->addWidget(new QLabel(QStringLiteral("(compris)"), group));
    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("Début "), m_debut);
    form->addRow(QStringLiteral("Fin "), fin);
    form->addRow(QStringLiteral("Chambre :"), m_rooms);
    form->addRow(QStringLiteral("Etat :"), m_states);
    form->addRow(QStringLiteral("Nb adultes :"), m_adultes);
    form->addRow(QStringLiteral("Nb enfants :"), m_enfants);

    auto *dailyGroup = new QGroupBox(QStringLiteral("Prestations quotidiennes"), column);
    m_daily = new StayServicesGrid(dailyGroup);
    (new QVBoxLayout(dailyGroup))->addWidget(m_daily);

    auto *oneOffGroup = new QGroupBox(QStringLiteral("Prestations ponctuelles"), column);
    m_oneOff = new TextGridModel(this);
    m_oneOffView = new QTableView(oneOffGroup);
    m_oneOffView->setObjectName(QStringLiteral("StringGridPonctuelles"));
    m_oneOffView->setModel(m_oneOff);
    m_oneOffView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_oneOffView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_oneOffView->verticalHeader()->hide();
    m_oneOffView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    (new QVBoxLayout(oneOffGroup))->addWidget(m_oneOffView);
    TextGrid oneOff(2, 3);
    oneOff.setRow(0, {QString(), QStringLiteral("Prestation"), QStringLiteral("Date")});
    m_oneOff->setGrid(oneOff);
    m_oneOffView->setColumnHidden(0, true);
    m_oneOffView->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);
    layout->addWidget(dailyGroup, 1);
    layout->addWidget(oneOffGroup, 1);
    return column;
}

QWidget *TResaAvancee::buildClientGroup()
{
    m_clientGroup = new QGroupBox(QStringLiteral("Choix du client"), this);
    m_clientGroup->setObjectName(QStringLiteral("GroupBoxClient"));
    m_clientTabs = new QTabWidget(m_clientGroup);
    m_clientTabs->setObjectName(QStringLiteral("PageControlClient"));

    auto *listTab = new QWidget(m_clientTabs);
    m_listPage = new ClientListPage(listTab);
    // Clients are created in the other tab and deleted from the client list.
    m_listPage->button(ClientListPage::Insert)->hide();
    m_listPage->button(ClientListPage::Delete)->hide();
    m_voirModifier = new QPushButton(QStringLiteral("Voir / Modifier"), listTab);
    m_voirModifier->setObjectName(QStringLiteral("VoirModifier"));
    auto *listLayout = new QVBoxLayout(listTab);
    listLayout->addWidget(m_listPage, 1);
    listLayout->addWidget(m_voirModifier, 0, Qt::AlignLeft);

    m_newClient = new ClientForm(m_clientTabs);
    m_clientTabs->addTab(listTab, QStringLiteral("Liste Clients"));
    m_clientTabs->addTab(m_newClient, QStringLiteral("Nouveau Client"));

    connect(m_voirModifier, &QPushButton::clicked, this, &TResaAvancee::VoirModifierClick);
    connect(m_listPage, &ClientListPage::clientsChanged, this, [this] { reloadClients(); });

    (new QVBoxLayout(m_clientGroup))->addWidget(m_clientTabs);
    m_clientGroup->setMinimumWidth(310);
    return m_clientGroup;
}

void TResaAvancee::buildMenus(QMenuBar *bar)
{
    QMenu *fichier = bar->addMenu(QStringLiteral("Fichier"));
    fichier->addAction(QStringLiteral("Retour"), this, &QDialog::reject)
        ->setObjectName(QStringLiteral("actionRetour"));
    m_clientsMenu = bar->addMenu(QStringLiteral("Clients"));
    m_listeClients = m_clientsMenu->addAction(QStringLiteral("Liste des Clients"));
    m_listeClients->setObjectName(QStringLiteral("actionListeDesClients"));
    connect(m_listeClients, &QAction::triggered, this, &TResaAvancee::ListeDesClientsClick);
    QMenu *prestations = bar->addMenu(QStringLiteral("Prestations"));
    prestations->addAction(m_daily->ajouterAction());
    prestations->addAction(m_daily->modifierAction());
    prestations->addAction(m_daily->supprimerAction());
}

int TResaAvancee::setMode(bool modification, bool choixClient)
{
    prepare(modification, choixClient);
    return exec();
}

void TResaAvancee::presetClient(int idClient)
{
    CurrentClient::set(idClient);
}

int TResaAvancee::setClient(int idClient)
{
    presetClient(idClient);
    return setMode(false, false);
}

int TResaAvancee::afficheReservation(int idResa, int idClient)
{
    presetClient(idClient);
    m_idResa = idResa;
    return setMode(true, false);
}

void TResaAvancee::prepare(bool modification, bool choixClient)
{
    m_modification = modification;
    m_choixClient = choixClient;
    m_daily->clearServices();
    TextGrid oneOff = m_oneOff->grid();
    oneOff.setRowCount(2);
    oneOff.clearRow(1);
    m_oneOff->setGrid(oneOff);
    setWindowTitle(modification ? QStringLiteral("Modification de la réservation")
                                : QStringLiteral("Ajout d'une réservation"));
    m_clientGroup->setVisible(choixClient);
    m_clientsMenu->menuAction()->setVisible(choixClient);
    resize(choixClient ? 700 : 330, 620);
    FormShow();
}

void TResaAvancee::FormShow()
{
    Initialisation();
    // The client handed in by the caller is read once.
    m_client = qMax(0, CurrentClient::id());
    CurrentClient::set(0);
    if (m_choixClient) {
        reloadClients(m_client);
        if (m_client > 0)
            m_clientTabs->setCurrentIndex(ListeClients);
    }

    if (!m_modification) {
        requestRooms();
        return;
    }
    try {
        const AdvancedReservation::Stay stay = AdvancedReservation::charger(m_idResa);
        m_oldDebut = stay.debut;
        m_oldFin = stay.fin;
        m_oldRoom = stay.room;
        m_oldEtat = stay.etat;
        setDates(stay.debut, stay.fin);
        m_states->setCurrentIndex(m_states->findText(stay.etat));
        m_adultes->setText(QString::number(stay.adultes));
        m_enfants->setText(QString::number(stay.enfants));
        m_daily->setGrid(stay.daily);
        m_oneOff->setGrid(stay.oneOff);
        showRefreshing();
        AvailableRooms::Request request;
        request.first = stay.debut;
        request.last = stay.fin;
        request.mode = AvailableRooms::Mode::FirstDisplay;
        request.stayRoom = stay.room;
        m_filler->request(request);
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
    }
}

void TResaAvancee::reloadClients(int wanted)
{
    try {
        const QList<QSqlRecord> clients = Client::listeFenetrePrincipale(DataModule::connection(connectionName()));
        if (wanted > 0)
            m_listPage->setWantedClient(wanted);
        m_listPage->setClients(clients);
    } catch (const KestrovaError &) {
        // The list stays as it was; "Valider" then says no client is chosen.
    }
}

void TResaAvancee::ListeDesClientsClick()
{
    const int chosen = TFormClient::choisirClient(this);
    if (chosen <= 0)
        return;
    reloadClients(chosen);
    m_clientTabs->setCurrentIndex(ListeClients);
}

void TResaAvancee::VoirModifierClick()
{
    const int id = m_listPage->currentClientId();
    if (id <= 0)
        return;
    TFormFicheClient::ouvrir(this, id);
    CurrentClient::set(0);
    reloadClients(id);
}

void TResaAvancee::Initialisation()
{
    setDates(QDate::currentDate(), QDate::currentDate());
    showRefreshing();
    m_states->setCurrentIndex(0);
    m_clientTabs->setCurrentIndex(NouveauClient);
    m_newClient->clearFields();
    m_newClient->setKind(1);
}

void TResaAvancee::setDates(const QDate &debut, const QDate &fin)
{
    m_settingDates = true;
    m_debut->setDate(debut);
    m_fin->setDate(fin);
    m_settingDates = false;
}

void TResaAvancee::showRefreshing()
{
    m_rooms->clear();
    m_rooms->addItem(refreshingText());
    m_rooms->setEnabled(false);
}

void TResaAvancee::requestRooms()
{
    showRefreshing();
    AvailableRooms::Request request;
    request.first = m_debut->date();
    request.last = m_fin->date();
    if (m_modification) {
        request.mode = AvailableRooms::Mode::EditingDates;
        request.stayRoom = m_oldRoom;
        request.oldFirst = m_oldDebut;
        request.oldLast = m_oldFin;
    }
    m_filler->request(request);
}

void TResaAvancee::DateChange()
{
    if (m_settingDates)
        return;
    if (m_debut->date() > m_fin->date())
        setDates(m_debut->date(), m_debut->date());
    requestRooms();
}

void TResaAvancee::ValiderClick()
{
    AdvancedReservation::Request request;
    request.modification = m_modification;
    request.idResa = m_idResa;
    request.roomName = m_rooms->currentText();
    request.etat = m_states->currentText();
    request.debut = m_debut->date();
    request.fin = m_fin->date();
    request.today = QDate::currentDate();
    request.adultes = m_adultes->text();
    request.enfants = m_enfants->text();
    request.daily = m_daily->grid();
    request.oneOff = m_oneOff->grid();
    request.oldDebut = m_oldDebut;
    request.oldFin = m_oldFin;
    request.oldRoom = m_oldRoom;
    request.oldEtat = m_oldEtat;
    if (!m_choixClient) {
        request.clientId = m_client;
    } else if (m_clientTabs->currentIndex() == ListeClients) {
        request.clientId = m_listPage->currentClientId();
    } else {
        AdvancedReservation::NewClient client;
        client.entreprise = m_newClient->kind() == 2;
        client.nomEts = client.entreprise ? m_newClient->companyEdit()->text() : QString();
        client.nom = m_newClient->nomEdit()->text();
        client.prenom = m_newClient->prenomEdit()->text();
        client.tel = m_newClient->telEdit()->text();
        client.email = m_newClient->emailEdit()->text();
        client.fax = m_newClient->faxEdit()->text();
        request.newClient = client;
    }
    const AdvancedReservation::Outcome outcome = AdvancedReservation::valider(request);
    if (outcome.roomTaken)
        requestRooms(); // show what is free now
    if (!outcome.saved)
        return;
    if (request.newClient) {
        m_newClient->clearFields();
        m_newClient->setKind(1);
    }
    m_filler->refresher()->cancel();
    accept();
}
