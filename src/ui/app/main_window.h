#pragma once

#include "ui/app/main_menus.h"
#include "commands/startup.h"
#include "planning/cell_style.h"
#include "planning/planning_navigation.h"

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QSqlRecord>

#include <functional>

class EntryPanel;
class MonthGrid;
class MonthTab;
class PlanningRefreshers;
class QCalendarWidget;
class QLabel;
class QProgressBar;
class QTabWidget;
class RoomContextMenu;
class StatisticsGrid;
class StatisticsPage;
class TForm2;
class TResaAvancee;
class WeekGrid;
class WeekTab;

// The planning window: the weekly planning with its entry panel, the monthly
// planning and the statistics, the menus that open every other window, and the
// navigation between weeks and months. Created once; FormCreate() opens the
// database and fills it. Navigation and refills are in main_window_views.cpp,
// the client list and the loaded reservation in main_window_clients.cpp.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    enum Tab { WeeklyTab = 0, MonthlyTab = 1, StatisticsTab = 2 };
    // The connection the window's own queries run on.
    static QString connectionName() { return QStringLiteral("main"); }
    static constexpr int defaultRoomCount = 25;

    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Opens or creates the database, reads the client list, applies config.ini and
    // fills the tabs. An error is shown in an error box with its own text and the
    // remaining steps are skipped; returns false then.
    bool FormCreate();

    // Applies config.ini to the window: title, rooms and their names and colours,
    // statistics columns, state colours and display mode. Rereads the file each time.
    // Throws SettingsError on a value that cannot be read.
    void personnalidation();

    // Brings stale views up to date after another window changed data.
    void rafraichirVues();
    // Asks for the statistics of a room (0: every room) to be recomputed half a
    // second later, by the fill the statistics tab installed on refreshers().
    void MiseAjourDesStatistiques(int room);

    // Weekly tab: the week of the selected date, every room column refilled.
    // A database error is shown to the user; the columns filled before stay.
    void InfosJour();
    // Refills the weekly column of one room for the displayed week (the entry
    // panel calls it after a save). A database error is shown to the user.
    void remplissage_listbox_jour(int room);
    // Monthly tab: day labels and title for the month of the date; AffichageMois
    // also asks for the room columns to be refilled.
    void AffichageJoursDuMois(const QDate &date);
    void AffichageMois(const QDate &date);

    // Navigation handlers (also what the buttons and the calendar call).
    void MonthCalendar1Click(const QDate &date);
    void SuivantClick();
    void PrecedentClick();
    void Button1Click(); // "<-- Précédent" of the monthly tab
    void Button2Click(); // "Suivant -->" of the monthly tab
    void PageControl2Change(int index);
    // "Aujourd'hui" of either tab: both plannings go back to today.
    void Aujourdhui();
    void SelectSemaine(int room);
    // Reads the room's description (description/<room>.txt) and announces it
    // through roomDescriptionChanged; a press in a weekly room column and a
    // click on its header call it.
    void AfficheDescription(int room);
    QString roomDescription() const { return m_roomDescription; }

    // The room columns' "Modifier la réservation" and "Editer la facture" need a
    // reservation loaded in the entry panel; without one this tells the user so
    // ("Il n'y a pas de réservation à cette date") and returns false.
    bool requireLoadedReservation();

    // State shared with the panels and the windows opened from here.
    QDate selectedDate() const { return m_navigation.selectedDate(); }
    QDate weekMonday() const { return m_navigation.monday(); }
    QDate displayedMonth() const { return m_navigation.displayedMonth(); }
    int roomCount() const { return m_roomCount; }
    int currentRoom() const { return m_currentRoom; }
    void setCurrentRoom(int room) { m_currentRoom = room; }
    bool showsNames() const { return m_showsNames; }
    // Text colour of a state in the planning, as read by the last personnalidation.
    QColor stateColor(const QString &state) const;
    // Display mode and state colours together, as the planning fills use them.
    PlanningLook look() const;

    // The reservation the entry panel has loaded (its client id field not empty).
    void setLoadedReservation(int reservationId, int clientId);
    void clearLoadedReservation();
    bool hasLoadedReservation() const { return m_loadedClientId > 0; }
    int currentReservationId() const { return m_currentReservationId; }
    int loadedClientId() const { return m_loadedClientId; }

    // The entry panel's client list: every client ordered by name, then first name.
    const QList<QSqlRecord> &clientList() const { return m_clients; }
    void reloadClientList();
    // After the client list or card: the chosen client in the panel, views refreshed.
    void clientWindowsClosed(int chosen);

    // What runs when the window closes, before the program ends (the backup of
    // the data when the user asked for it). Nothing runs when none is set.
    void setShutdownTask(std::function<void()> task) { m_shutdownTask = std::move(task); }

    // Parts of the window the panels and tests work with.
    QTabWidget *tabs() const { return m_tabs; }
    WeekTab *weekTab() const { return m_weekTab; }
    MonthTab *monthTab() const { return m_monthTab; }
    WeekGrid *weekGrid() const;
    MonthGrid *monthGrid() const;
    QCalendarWidget *calendar() const;
    StatisticsGrid *statisticsGrid() const { return m_statisticsGrid; }
    // An empty bar above the statistics grid for its year and measure choices.
    QWidget *statisticsToolbar() const { return m_statisticsToolbar; }
    // The year and measure lists, the statistics fill and the day-by-day window.
    StatisticsPage *statisticsPage() const { return m_statisticsPage; }
    // An empty container beside the calendar, where the entry panel goes.
    QWidget *entryPanelArea() const;
    // The reservation entry panel placed there.
    EntryPanel *entryPanel() const { return m_entryPanel; }
    QProgressBar *progressBar() const { return m_progress; }
    // The status bar's report of the last save of the entry panel.
    QLabel *statusReport() const { return m_statusReport; }
    const MainMenus &menus() const { return m_menus; }
    RoomContextMenu *roomMenu() const { return m_roomMenu; }
    // The delayed fills of the monthly and weekly plannings and of the
    // statistics (whose fill the statistics tab installs with setStatisticsFill).
    PlanningRefreshers *refreshers() const { return m_refreshers; }
    TForm2 *aboutWindow() const { return m_about; }
    TResaAvancee *resaAvancee() const { return m_resaAvancee; }

    // "Nouvelle réservation" (menu and room lists) and the room lists'
    // "Modifier la réservation": the advanced form, then the stale views refreshed.
    void nouvelleReservation();
    void modifierReservation();

signals:
    // Requests for the delayed refills of the views and the statistics; whoever
    // fills them listens here. The month is a date inside the month to show.
    void monthRefreshRequested(const QDate &month);
    void weekRefreshRequested(const QDate &monday);
    void statisticsRefreshRequested(int room); // 0: every room
    // The description of the room last pressed in the weekly grid, for the
    // entry panel's "Chambre" tab (empty when the room has none).
    void roomDescriptionChanged(const QString &text);
    void clientListReloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildTabs();
    void connectSignals();
    void connectEntryPanel();
    void FormClose();
    // The bar shows the monthly fill's progress only when the month buttons asked.
    void requestMonthRefresh(const QDate &month, bool withProgress = false);
    void fillMonth(const QDate &month, bool withProgress);
    void fillWeek(const QDate &monday);
    void showRoomMenu(int room, const QPoint &globalPos);
    // A right click in the monthly planning loads that night in the entry panel.
    void pickMonthNight(int room, int day);
    void monthChanged();
    void quitter();

    Startup m_startup;
    PlanningNavigation m_navigation;
    MainMenus m_menus;
    QTabWidget *m_tabs = nullptr;
    WeekTab *m_weekTab = nullptr;
    MonthTab *m_monthTab = nullptr;
    QWidget *m_statisticsToolbar = nullptr;
    StatisticsGrid *m_statisticsGrid = nullptr;
    StatisticsPage *m_statisticsPage = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_statusReport = nullptr;
    RoomContextMenu *m_roomMenu = nullptr;
    PlanningRefreshers *m_refreshers = nullptr;
    EntryPanel *m_entryPanel = nullptr;
    TForm2 *m_about = nullptr;
    TResaAvancee *m_resaAvancee = nullptr;

    int m_roomCount = defaultRoomCount;
    int m_currentRoom = 1;
    int m_currentReservationId = 0;
    int m_loadedClientId = 0;
    bool m_showsNames = false;
    QColor m_colorReserve;
    QColor m_colorAcompte;
    QColor m_colorPaye;
    QColor m_colorLibre;
    QList<QSqlRecord> m_clients;
    QString m_roomDescription;
    std::function<void()> m_shutdownTask;
};
