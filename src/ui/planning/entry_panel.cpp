#include "ui/planning/entry_panel.h"

#include "catalogue/user_action.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "ui/planning/client_form.h"
#include "ui/planning/client_list_page.h"
#include "ui/planning/client_tabs.h"
#include "ui/planning/digit_filter.h"
#include "planning/entry_report.h"
#include "planning/night_entry.h"
#include "planning/room_capacity.h"
#include "planning/room_description.h"
#include "ui/planning/services_grid_widget.h"
#include "planning/view_freshness.h"
#include "ui/planning/week_grid.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kReserve = QStringLiteral("Réservé");
const QString kPaye = QStringLiteral("Payé");
const QString kAcompte = QStringLiteral("Acompte");
const QString kLibre = QStringLiteral("Libre");

QLineEdit *digitEdit(QWidget *parent, const char *name, int maxDigits)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    DigitFilter::install(edit, maxDigits);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
    return edit;
}

} // namespace

EntryPanel::EntryPanel(WeekGrid *grid, QWidget *parent)
    : QWidget(parent), m_grid(grid), m_adultes(digitEdit(this, "nbAdultes", 4)),
      m_enfants(digitEdit(this, "nbEnfants", 4)), m_adultesMax(new QLabel(this)),
      m_enfantsMax(new QLabel(this)), m_acompte(digitEdit(this, "reglementAcompte", 4)),
      m_paye(digitEdit(this, "reglementPaye", 4)), m_innerTabs(new QTabWidget(this)),
      m_description(new QPlainTextEdit(this)), m_notes(new QPlainTextEdit(this)),
      m_services(new ServicesGridWidget(this)), m_clientTabs(new ClientTabs(this)),
      m_valider(new QPushButton(QStringLiteral("Valider"), this))
{
    setObjectName(QStringLiteral("entryPanel"));
    m_valider->setObjectName(QStringLiteral("Valider"));
    m_adultesMax->setObjectName(QStringLiteral("nbAdultesMax"));
    m_enfantsMax->setObjectName(QStringLiteral("nbEnfantsMax"));
    // The payment fields are never shown: they only carry what is stored.
    m_acompte->hide();
    m_paye->hide();
    m_adultesMax->hide();
    m_enfantsMax->hide();

    auto *right = new QVBoxLayout;
    right->addWidget(m_clientTabs, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_valider);
    right->addLayout(buttons);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildReservationGroup(), 11);
    layout->addLayout(right, 9);

    connect(m_valider, &QPushButton::clicked, this, &EntryPanel::ValiderClick);
    connect(m_grid, &WeekGrid::cellClicked, this, &EntryPanel::ListBoxClick);
    connect(m_grid, &WeekGrid::roomHeaderClicked, this, &EntryPanel::AfficheDescription);
    // A selection made any other way than a click (keyboard, room header)
    // loads its first night too: the fields must describe what "Valider" changes.
    connect(m_grid, &WeekGrid::daySelectionChanged, this,
            [this](int room, const QDate &first) { selectionChanged(room, first); });
    connect(m_clientTabs->listPage(), &ClientListPage::clientsChanged, this, &EntryPanel::clientsChanged);
    orderFocus();
}

void EntryPanel::orderFocus()
{
    // Tab moves through fields, not through the cells of a grid or a note.
    m_grid->setTabKeyNavigation(false);
    m_services->setTabKeyNavigation(false);
    m_clientTabs->listPage()->table()->setTabKeyNavigation(false);
    m_description->setTabChangesFocus(true);
    m_notes->setTabChangesFocus(true);

    // From the planning into the panel in reading order, "Valider" last.
    QList<QWidget *> chain{m_grid};
    for (QRadioButton *b : m_states)
        chain << b;
    chain << m_adultes << m_enfants << m_innerTabs->tabBar() << m_description << m_notes << m_services
          << m_clientTabs->tabBar();
    for (int i = 0; i < m_clientTabs->count(); ++i)
        for (QWidget *w : m_clientTabs->widget(i)->findChildren<QWidget *>())
            if ((w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QTabBar *>(w))
                chain << w;
    chain << m_valider;
    for (int i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

void EntryPanel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ValiderClick();
        break;
    case Qt::Key_Escape:
        m_grid->setFocus(Qt::ShortcutFocusReason);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

QWidget *EntryPanel::buildReservationGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Informations sur la réservation"), this);
    group->setObjectName(QStringLiteral("reservationGroup"));

    auto *states = new QButtonGroup(group);
    auto *stateRow = new QHBoxLayout;
    for (const QString &caption : {kReserve, kPaye, kAcompte, kLibre}) {
        auto *button = new QRadioButton(caption, group);
        button->setObjectName(QStringLiteral("etat") + caption);
        states->addButton(button);
        stateRow->addWidget(button);
        m_states << button;
        connect(button, &QRadioButton::clicked, this, [this, caption] { stateClicked(caption); });
    }
    stateRow->addStretch(1);

    auto *counts = new QHBoxLayout;
    counts->addWidget(new QLabel(QStringLiteral("Nb adultes :"), group));
    counts->addWidget(m_adultes);
    counts->addWidget(m_adultesMax);
    counts->addSpacing(24);
    counts->addWidget(new QLabel(QStringLiteral("Nb enfants :"), group));
    counts->addWidget(m_enfants);
    counts->addWidget(m_enfantsMax);
    counts->addWidget(m_acompte);
    counts->addWidget(m_paye);
    counts->addStretch(1);

    m_innerTabs->setObjectName(QStringLiteral("PageControl1"));
    m_description->setObjectName(QStringLiteral("MemoDescription"));
    m_description->setReadOnly(true);
    m_notes->setObjectName(QStringLiteral("MemoClient"));
    m_innerTabs->addTab(m_description, QStringLiteral("Chambre"));
    m_innerTabs->addTab(m_notes, QStringLiteral("Client"));
    m_innerTabs->addTab(m_services, QStringLiteral("Prestations"));

    auto *layout = new QVBoxLayout(group);
    layout->addLayout(stateRow);
    layout->addLayout(counts);
    layout->addWidget(m_innerTabs, 1);
    return group;
}

QRadioButton *EntryPanel::stateButton(const QString &caption) const
{
    for (QRadioButton *b : m_states)
        if (b->text() == caption)
            return b;
    return nullptr;
}

QString EntryPanel::etat() const
{
    for (QRadioButton *b : m_states)
        if (b->isChecked())
            return b->text() == kLibre ? QString() : b->text();
    return {};
}

void EntryPanel::setEtat(const QString &etat)
{
    const QString caption = etat.isEmpty() ? kLibre : etat;
    QRadioButton *chosen = stateButton(caption);
    if (chosen) {
        chosen->setChecked(true);
        stateClicked(caption);
        return;
    }
    // A state the panel does not know: no option is chosen.
    QButtonGroup *group = m_states.first()->group();
    group->setExclusive(false);
    for (QRadioButton *b : m_states)
        b->setChecked(false);
    group->setExclusive(true);
}

void EntryPanel::stateClicked(const QString &etat)
{
    if (etat == kPaye || etat == kAcompte) {
        m_acompte->setText(QStringLiteral("00"));
        m_paye->setText(QStringLiteral("00"));
    }
}

int EntryPanel::ChambreSelect() const
{
    return m_grid->selectedRoom();
}

void EntryPanel::AfficheDescription(int room)
{
    m_description->setPlainText(RoomDescription::text(room));
}

void EntryPanel::setClients(const QList<QSqlRecord> &clients)
{
    m_clients = clients;
    m_clientTabs->listPage()->setClients(clients);
}

void EntryPanel::showMaxima(int room)
{
    const IniFile ini;
    const QString section = QStringLiteral("Chambre") + QString::number(room);
    const QStringList maxima =
        ini.readStrings({{section, QStringLiteral("NbPersMax")}, {section, QStringLiteral("NbEnfantsMax")}},
                        {QString(), QString()});
    for (int i = 0; i < 2; ++i) {
        QLabel *label = i == 0 ? m_adultesMax : m_enfantsMax;
        const QString value = maxima.value(i).trimmed();
        label->setText(QStringLiteral("/ ") + value);
        label->setVisible(!value.isEmpty());
    }
}

void EntryPanel::ListBoxClick(int room, int day)
{
    ClientForm *infos = m_clientTabs->infosForm();
    infos->clearFields();
    m_adultes->clear();
    m_enfants->clear();
    m_notes->clear();
    m_room = room;
    m_services->setRoom(room);
    m_services->clearServices();
    AfficheDescription(room);
    showMaxima(room);

    const QList<int> days = m_grid->selectedRoom() == room ? m_grid->selectedDays() : QList<int>();
    m_loadedRoom = room;
    m_loadedDay = m_grid->dayDate(days.isEmpty() ? day : days.first());
    loadNight(room, m_loadedDay);
}

void EntryPanel::selectionChanged(int room, const QDate &first)
{
    // A click loads when the button is released; the keyboard and the room
    // header load here.
    if (room == 0 || !first.isValid() || m_grid->isDragging() ||
        (room == m_loadedRoom && first == m_loadedDay))
        return;
    const QList<int> days = m_grid->selectedDays();
    if (!days.isEmpty())
        ListBoxClick(room, days.first());
}

void EntryPanel::report(const QString &text)
{
    m_report = text;
    emit reported(text);
}

QString EntryPanel::clientName(int id) const
{
    for (const QSqlRecord &r : m_clients)
        if (r.value(QStringLiteral("id")).toInt() == id)
            return EntryReport::clientName(r.value(QStringLiteral("nom")).toString(),
                                           r.value(QStringLiteral("prenom")).toString(),
                                           r.value(QStringLiteral("nom_ets")).toString());
    return {};
}

void EntryPanel::loadNight(int room, const QDate &day)
{
    std::optional<NightEntry::LoadedNight> night;
    if (!runUserAction([&] { night = NightEntry().charger(room, day); }))
        return;
    ClientForm *infos = m_clientTabs->infosForm();
    if (!night) {
        setEtat(QString());
        infos->setKind(0);
        infos->clearFields();
        m_clientTabs->setCurrentIndex(ClientTabs::Nouveau);
        emit reservationCleared();
        return;
    }

    const int clientId = night->info.isNull() ? 0 : night->info.toInt();
    if (!night->nbpers.isNull())
        m_adultes->setText(night->nbpers.toString());
    if (!night->nbenfants.isNull())
        m_enfants->setText(night->nbenfants.toString());
    if (!night->etat.isEmpty()) {
        m_clientTabs->setCurrentIndex(ClientTabs::Infos);
        setEtat(night->etat);
    }
    if (night->clientFound) {
        EntryClient client = night->client;
        // The card and the panel code `type` differently and stored files hold
        // both: the company name says which kind the client is. The panel
        // writes its own coding back (1 a private person, 2 a company).
        client.type = client.nomEts.trimmed().isEmpty() ? 1 : 2;
        infos->setClient(client);
    } else {
        infos->setKind(0);
    }
    infos->setClientId(clientId);
    const QString reglement = night->reglement.isNull() ? QStringLiteral("00") : night->reglement.toString();
    if (night->etat == kAcompte)
        m_acompte->setText(reglement);
    else if (night->etat == kPaye)
        m_paye->setText(reglement);
    if (night->informations.isNull()) {
        m_innerTabs->setCurrentIndex(ChambreTab);
    } else {
        m_notes->setPlainText(night->informations.toString());
        m_innerTabs->setCurrentIndex(m_notes->toPlainText().isEmpty() ? ChambreTab : ClientTab);
    }

    m_reservationId = night->id;
    TextGrid services;
    if (runUserAction([&] { NightEntry().chargerPrestations(night->id, room, services); }))
        m_services->setGrid(services);
    emit reservationLoaded(m_reservationId, clientId);
}

void EntryPanel::ValiderClick()
{
    ViewFreshness::setMonthlyUpToDate(false);
    const int room = ChambreSelect();
    if (room == 0) {
        report(EntryReport::nothingSelected());
        return;
    }
    // More guests than the room takes is asked about before anything else.
    QString capacity;
    if (!etat().isEmpty() &&
        !runUserAction([&] { capacity = RoomCapacity::question(room, m_adultes->text(), m_enfants->text()); }))
        return;
    if (!capacity.isEmpty() && !Dialogs::question(capacity, false)) {
        report(EntryReport::nothingSaved());
        return;
    }

    NightEntry::Request request;
    request.room = room;
    request.monday = m_grid->monday();
    request.days = m_grid->selectedDays();
    request.etat = etat();
    request.adultes = m_adultes->text();
    request.enfants = m_enfants->text();
    request.acompte = m_acompte->text();
    request.paye = m_paye->text();
    request.services = m_services->grid();
    switch (m_clientTabs->currentIndex()) {
    case ClientTabs::Infos:
        request.source = NightEntry::ClientSource::Infos;
        request.client = m_clientTabs->infosForm()->client();
        request.client.informations = m_notes->toPlainText();
        break;
    case ClientTabs::Nouveau:
        request.source = NightEntry::ClientSource::Nouveau;
        request.client = m_clientTabs->newForm()->client();
        request.client.informations = m_notes->toPlainText();
        break;
    default: {
        ClientListPage *list = m_clientTabs->listPage();
        // A client typed into the list and not posted yet is the one meant.
        if (list->state() != ClientListPage::State::Browse && !list->post()) {
            report(EntryReport::nothingSaved());
            emit roomSaved(room);
            return;
        }
        request.source = NightEntry::ClientSource::Liste;
        request.client.id = list->currentClientId();
        break;
    }
    }

    try {
        const NightEntry::Outcome outcome = NightEntry().valider(request);
        if (outcome.clientCreated) {
            ClientForm *form = m_clientTabs->newForm();
            form->clearFields();
            // The next client is a private person unless told otherwise: a client
            // saved with no kind would read differently in each window.
            form->setKind(1);
            m_notes->clear();
        }
        const bool clientUpdated = request.source == NightEntry::ClientSource::Infos && request.client.id > 0;
        if (outcome.saved && (outcome.clientCreated || clientUpdated))
            emit clientsChanged();
        if (outcome.saved)
            report(EntryReport::saved(outcome, Settings::roomName(room), clientName(outcome.clientId)));
        else
            report(EntryReport::nothingSaved());
    } catch (const KestrovaError &e) {
        report(EntryReport::nothingSaved());
        Dialogs::error(e.text());
    }
    emit roomSaved(room);
    // A receptionist at the keyboard carries on in the planning.
    if (isAncestorOf(QApplication::focusWidget()))
        m_grid->setFocus(Qt::OtherFocusReason);
}
