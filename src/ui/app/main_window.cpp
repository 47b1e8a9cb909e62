// The main window itself: its tabs, status bar and menus built, every feature
// window wired to its entries, config.ini applied, start and close.
#include "ui/app/main_window.h"

#include "clients/client_card_links.h"
#include "commands/app_info.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "data/change_watcher.h"
#include "data/data_module.h"
#include "planning/planning_dates.h"
#include "planning/planning_refreshers.h"
#include "planning/view_freshness.h"
#include "settings/settings.h"
#include "ui/app/about_window.h"
#include "ui/app/feature_wiring.h"
#include "ui/app/room_context_menu.h"
#include "ui/app/settings_windows.h"
#include "ui/catalogue/catalogue_windows.h"
#include "ui/catalogue/services_form.h"
#include "ui/clients/client_card_wiring.h"
#include "ui/clients/client_list_window.h"
#include "ui/planning/entry_panel.h"
#include "ui/planning/month_grid.h"
#include "ui/planning/month_tab.h"
#include "ui/planning/resa_avancee.h"
#include "ui/planning/state_legend.h"
#include "ui/planning/statistics_grid.h"
#include "ui/planning/statistics_page.h"
#include "ui/planning/week_grid.h"
#include "ui/planning/week_tab.h"

#include <QCalendarWidget>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Kestrova : Gérer les réservations de vos chambres"));
    setWindowIcon(AppInfo::applicationIcon());
    m_menus = MainMenus::create(menuBar());
    buildTabs();

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(14);
    m_progress->setValue(0);
    statusBar()->addWidget(m_progress, 1);
    m_statusReport = new QLabel(this);
    m_statusReport->setObjectName(QStringLiteral("statusReport"));
    statusBar()->addPermanentWidget(m_statusReport);

    m_roomMenu = new RoomContextMenu(this);
    m_about = new TForm2(this);
    m_resaAvancee = new TResaAvancee(this);
    ClientCardLinks::instance().nouvelleReservation = [form = QPointer(m_resaAvancee)](QWidget *, int client) {
        if (form)
            form->setClient(client);
    };
    ClientCardLinks::instance().modifierReservation = [form = QPointer(m_resaAvancee)](QWidget *, int resa,
                                                                                         int client) {
        if (form)
            form->afficheReservation(resa, client);
    };
    for (QAction *a : {m_menus.nouvelleReservation, m_roomMenu->nouvelleReservation(),
                       m_roomMenu->modifierReservation()})
        a->setEnabled(true);
    CatalogueWindows *catalogue =
        CatalogueWindows::install(this, m_menus.prestations, m_menus.tva, m_menus.periodesTarifaires);
    FeatureWiring::installBackup(this);
    FeatureWiring::installImport(this);
    SettingsWindows::install(this, m_menus.personnalisation, m_menus.imprimer);
    ClientCardWiring::install();
    TFormClient::installMenus(this, m_menus.listeClients, m_menus.nouveauClient,
                              [this](int chosen) { clientWindowsClosed(chosen); });
    FeatureWiring::installInvoices(this);
    FeatureWiring::installQuotes(this);
    FeatureWiring::installCalendars(this);
    m_refreshers = new PlanningRefreshers(this);
    m_statisticsPage = new StatisticsPage(m_statisticsToolbar, m_statisticsGrid, m_refreshers, m_progress, this);
    // The turnover is priced at the services' base prices, which the services
    // window edits: the statistics are read again when it closes.
    connect(catalogue->services(), &QDialog::finished, this, [this] { MiseAjourDesStatistiques(0); });
    m_changeWatcher = new ChangeWatcher(this);
    connect(m_changeWatcher, &ChangeWatcher::changedElsewhere, this, &TForm1::autrePosteModifie);
    connectSignals();
    connectEntryPanel();
}

TForm1::~TForm1()
{
    DataModule::closeConnection(connectionName());
}

void TForm1::buildTabs()
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl2"));
    m_weekTab = new WeekTab(m_tabs);
    m_monthTab = new MonthTab(m_tabs);

    auto *statisticsPage = new QWidget(m_tabs);
    statisticsPage->setObjectName(QStringLiteral("statisticsTab"));
    m_statisticsToolbar = new QWidget(statisticsPage);
    m_statisticsToolbar->setObjectName(QStringLiteral("statisticsToolbar"));
    auto *toolbarLayout = new QHBoxLayout(m_statisticsToolbar);
    toolbarLayout->setContentsMargins(0, 0, 0, 0);
    m_statisticsGrid = new StatisticsGrid(statisticsPage);
    auto *statisticsLayout = new QVBoxLayout(statisticsPage);
    statisticsLayout->addWidget(m_statisticsToolbar);
    statisticsLayout->addWidget(m_statisticsGrid, 1);

    m_tabs->addTab(m_weekTab, QStringLiteral("Hebdomadaire"));
    m_tabs->addTab(m_monthTab, QStringLiteral("Mensuel"));
    m_tabs->addTab(statisticsPage, QStringLiteral("Statistiques"));
    m_tabs->setCurrentIndex(WeeklyTab);
    setCentralWidget(m_tabs);
}

void TForm1::connectSignals()
{
    connect(m_tabs, &QTabWidget::currentChanged, this, &TForm1::PageControl2Change);
    connect(calendar(), &QCalendarWidget::clicked, this, &TForm1::MonthCalendar1Click);
    connect(m_weekTab->nextButton(), &QPushButton::clicked, this, &TForm1::SuivantClick);
    connect(m_weekTab->previousButton(), &QPushButton::clicked, this, &TForm1::PrecedentClick);
    connect(m_monthTab->previousButton(), &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(m_monthTab->nextButton(), &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(m_weekTab->todayButton(), &QPushButton::clicked, this, &TForm1::Aujourdhui);
    connect(m_monthTab->todayButton(), &QPushButton::clicked, this, &TForm1::Aujourdhui);
    connect(weekGrid(), &WeekGrid::cellClicked, this, [this](int room, int) { m_currentRoom = room; });
    connect(weekGrid(), &WeekGrid::roomPressed, this, &TForm1::AfficheDescription);
    connect(weekGrid(), &WeekGrid::roomHeaderClicked, this, &TForm1::AfficheDescription);
    connect(weekGrid(), &PlanningGrid::roomContextMenuRequested, this,
            [this](int room, int, const QPoint &pos) { showRoomMenu(room, pos); });
    connect(monthGrid(), &PlanningGrid::roomContextMenuRequested, this,
            [this](int room, int day, const QPoint &pos) {
                pickMonthNight(room, day);
                showRoomMenu(room, pos);
            });
    connect(m_menus.quitter, &QAction::triggered, this, &TForm1::quitter);
    connect(m_menus.aPropos, &QAction::triggered, m_about, &QDialog::exec);
    connect(m_menus.nouvelleReservation, &QAction::triggered, this, &TForm1::nouvelleReservation);
    connect(m_roomMenu->nouvelleReservation(), &QAction::triggered, this, &TForm1::nouvelleReservation);
    connect(m_roomMenu->modifierReservation(), &QAction::triggered, this, &TForm1::modifierReservation);
}

void TForm1::connectEntryPanel()
{
    m_entryPanel = new EntryPanel(weekGrid(), entryPanelArea());
    entryPanelArea()->layout()->addWidget(m_entryPanel);
    connect(m_entryPanel, &EntryPanel::reservationLoaded, this, &TForm1::setLoadedReservation);
    connect(m_entryPanel, &EntryPanel::reservationCleared, this, &TForm1::clearLoadedReservation);
    connect(m_entryPanel, &EntryPanel::clientsChanged, this, &TForm1::reloadClientList);
    connect(m_entryPanel, &EntryPanel::reported, m_statusReport, &QLabel::setText);
    // A press of any button in a room column shows its description, not only a click.
    connect(this, &TForm1::roomDescriptionChanged, m_entryPanel->descriptionMemo(),
            &QPlainTextEdit::setPlainText);
    connect(this, &TForm1::clientListReloaded, m_entryPanel, [this] { m_entryPanel->setClients(m_clients); });
    connect(m_entryPanel, &EntryPanel::roomSaved, this, [this](int room) {
        m_progress->setRange(0, 7);
        m_progress->setValue(0);
        remplissage_listbox_jour(room);
        m_progress->setValue(0);
        MiseAjourDesStatistiques(room);
    });
}

WeekGrid *TForm1::weekGrid() const
{
    return m_weekTab->grid();
}

MonthGrid *TForm1::monthGrid() const
{
    return m_monthTab->grid();
}

QCalendarWidget *TForm1::calendar() const
{
    return m_weekTab->calendar();
}

QWidget *TForm1::entryPanelArea() const
{
    return m_weekTab->entryPanelArea();
}

bool TForm1::FormCreate()
{
    try {
        ViewFreshness::setMonthlyUpToDate(false);
        m_currentRoom = 1;
        const Schema::Report report = m_startup.openDatabase(connectionName());
        if (report.created)
            Dialogs::information(AppInfo::databaseCreatedMessage());
        if (!report.doubleNights.isEmpty())
            Dialogs::warning(QStringLiteral("Ces nuits sont réservées deux fois pour la même chambre (données "
                                            "anciennes). Elles n'ont pas été modifiées ; corrigez-les dans le "
                                            "planning :\n\n") +
                             report.doubleNightLines().join(QLatin1Char('\n')));
        reloadClientList();
        m_navigation = PlanningNavigation(QDate::currentDate());
        personnalidation();
        InfosJour();
        AffichageJoursDuMois(selectedDate());
        requestMonthRefresh(selectedDate());
        m_statisticsPage->InitalisationStats();
        m_changeWatcher->start();
        return true;
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
}

void TForm1::personnalidation()
{
    const QString hotel = Settings::hotelName(QStringLiteral("Kestrova"));
    setWindowTitle(hotel + QStringLiteral(" : Gérer les réservations de vos chambres ") +
                   AppInfo::versionText());

    const int n = Settings::roomCount(defaultRoomCount);
    QStringList names;
    for (int room = 1; room <= n; ++room) {
        const QString name = Settings::roomName(room);
        const QColor border = Settings::roomBorderColor(room);
        const QColor background = Settings::roomBackgroundColor(room);
        names << name;
        for (PlanningGrid *grid :
             {static_cast<PlanningGrid *>(weekGrid()), static_cast<PlanningGrid *>(monthGrid())}) {
            grid->setRoomName(room, name);
            grid->setRoomColors(room, border, background);
        }
    }
    weekGrid()->setRoomCount(n);
    monthGrid()->setRoomCount(n);
    m_statisticsGrid->setRooms(names);
    m_roomCount = n;

    m_colorReserve = Settings::stateColor(QStringLiteral("Réservé"));
    m_colorAcompte = Settings::stateColor(QStringLiteral("Acompte"));
    m_colorPaye = Settings::stateColor(QStringLiteral("Payé"));
    m_colorLibre = Settings::freeColor();
    m_showsNames = Settings::showsNames();
    m_weekTab->legend()->setColors(look().colors);
    m_monthTab->legend()->setColors(look().colors);
}

QColor TForm1::stateColor(const QString &state) const
{
    if (state == QStringLiteral("Réservé"))
        return m_colorReserve;
    if (state == QStringLiteral("Acompte"))
        return m_colorAcompte;
    if (state == QStringLiteral("Payé"))
        return m_colorPaye;
    return m_colorLibre;
}

PlanningLook TForm1::look() const
{
    return {m_showsNames, {m_colorReserve, m_colorAcompte, m_colorPaye}};
}

void TForm1::pickMonthNight(int room, int day)
{
    if (day < 0 || day >= monthGrid()->dayCount() || room < 1 || room > m_roomCount)
        return;
    // The entry panel describes the night the menu acts on: the weekly tab
    // moves to that night's week and picks it there, as a click would.
    const QDate date = monthGrid()->dayDate(day);
    monthGrid()->highlightDay(day);
    if (weekMonday() != PlanningDates::mondayOf(date) || !ViewFreshness::weeklyUpToDate())
        MonthCalendar1Click(date);
    else if (m_navigation.selectDate(date) || calendar()->selectedDate() != date)
        calendar()->setSelectedDate(date);
    weekGrid()->pickDay(room, date.dayOfWeek() - 1);
}

void TForm1::showRoomMenu(int room, const QPoint &globalPos)
{
    Q_UNUSED(room);
    m_roomMenu->prepare(hasLoadedReservation());
    m_roomMenu->popup(globalPos);
}

void TForm1::quitter()
{
    DataModule::closeConnection(connectionName());
    close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    m_changeWatcher->stop();
    m_refreshers->cancelAll();
    FormClose();
    QMainWindow::closeEvent(event);
}

void TForm1::FormClose()
{
    if (m_shutdownTask)
        m_shutdownTask();
}
