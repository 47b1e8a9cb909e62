#pragma once

#include "planning/delayed_refresher.h"

#include <QDate>
#include <QDialog>

class AvailableRoomsFiller;
class ClientForm;
class ClientListPage;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTabWidget;
class QTableView;
class StayServicesGrid;
class TextGridModel;

// The advanced reservation form: a stay over a range of nights, created or
// changed (dates, room among the free ones, state, adults and children, daily
// services), with the client chosen in the list or created on the spot.
// Created once and reused; each opening says which mode it is in.
class TResaAvancee : public QDialog
{
    Q_OBJECT

public:
    enum ClientTab { ListeClients = 0, NouveauClient = 1 };

    explicit TResaAvancee(QWidget *parent = nullptr, int refreshDelayMs = DelayedRefresher::defaultDelayMs);
    ~TResaAvancee() override;

    // Prepares the window and shows it modally; returns the modal result.
    int setMode(bool modification, bool choixClient);
    // A new stay for this client, without the client choice.
    int setClient(int idClient);
    // The stay that begins with night idResa, of client idClient.
    int afficheReservation(int idResa, int idClient);

    // What setMode does before running the window: mode, title, client group
    // and size, then FormShow. Tests call it and show the window themselves.
    void prepare(bool modification, bool choixClient);
    // The client handed in through the shared current client (read once by FormShow).
    void presetClient(int idClient);
    void presetReservation(int idResa) { m_idResa = idResa; }
    // Fills the window for the opening (dates, lists, the stay when changing one).
    void FormShow();
    // The window's own client list read again; the current client kept, or
    // wanted when above 0.
    void reloadClients(int wanted = 0);
    // "Liste des Clients" of the menu: the client list in selection mode, the
    // chosen client made current here.
    void ListeDesClientsClick();
    // "Voir / Modifier": the client card of the list's current client.
    void VoirModifierClick();
    // The connection the window's client list is read on.
    static QString connectionName() { return QStringLiteral("resaAvancee"); }

    // "Valider": closes the window (accepted) once the stay is written.
    void ValiderClick();
    // A date was chosen: the end follows a start put after it, and the free
    // rooms are listed again for the new range.
    void DateChange();

    bool modification() const { return m_modification; }
    int client() const { return m_client; }

    QDateEdit *debutEdit() const { return m_debut; }
    QDateEdit *finEdit() const { return m_fin; }
    QComboBox *roomList() const { return m_rooms; }
    QComboBox *stateList() const { return m_states; }
    QLineEdit *adultesEdit() const { return m_adultes; }
    QLineEdit *enfantsEdit() const { return m_enfants; }
    StayServicesGrid *dailyGrid() const { return m_daily; }
    QTableView *oneOffGrid() const { return m_oneOffView; }
    TextGridModel *oneOffModel() const { return m_oneOff; }
    QGroupBox *clientGroup() const { return m_clientGroup; }
    QTabWidget *clientTabs() const { return m_clientTabs; }
    ClientListPage *clientListPage() const { return m_listPage; }
    ClientForm *newClientForm() const { return m_newClient; }
    QPushButton *voirModifierButton() const { return m_voirModifier; }
    QPushButton *validerButton() const { return m_valider; }
    QPushButton *annulerButton() const { return m_annuler; }
    QMenu *clientsMenu() const { return m_clientsMenu; }
    AvailableRoomsFiller *roomsFiller() const { return m_filler; }

    static QString refreshingText() { return QStringLiteral("Actualisation de la liste ..."); }

private:
    QWidget *buildReservationGroup();
    QWidget *buildClientGroup();
    void buildMenus(QMenuBar *bar);
    void Initialisation();
    void showRefreshing();
    void requestRooms();
    void setDates(const QDate &debut, const QDate &fin);

    AvailableRoomsFiller *m_filler = nullptr;
    QDateEdit *m_debut = nullptr;
    QDateEdit *m_fin = nullptr;
    QComboBox *m_rooms = nullptr;
    QComboBox *m_states = nullptr;
    QLineEdit *m_adultes = nullptr;
    QLineEdit *m_enfants = nullptr;
    StayServicesGrid *m_daily = nullptr;
    TextGridModel *m_oneOff = nullptr;
    QTableView *m_oneOffView = nullptr;
    QGroupBox *m_clientGroup = nullptr;
    QTabWidget *m_clientTabs = nullptr;
    ClientListPage *m_listPage = nullptr;
    ClientForm *m_newClient = nullptr;
    QPushButton *m_voirModifier = nullptr;
    QPushButton *m_valider = nullptr;
    QPushButton *m_annuler = nullptr;
    QMenu *m_clientsMenu = nullptr;
    QAction *m_listeClients = nullptr;

    bool m_modification = false;
    bool m_choixClient = true;
    bool m_settingDates = false;
    int m_idResa = 0;
    int m_client = 0;       // the client of the stay when the client choice is hidden
    QDate m_oldDebut;
    QDate m_oldFin;
    int m_oldRoom = 0;
    QString m_oldEtat;
};
