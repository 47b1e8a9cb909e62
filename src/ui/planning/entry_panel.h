#pragma once

#include <QDate>
#include <QList>
#include <QSqlRecord>
#include <QWidget>

class ClientTabs;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class ServicesGridWidget;
class WeekGrid;

// The reservation entry panel below the weekly planning: a click on a cell
// loads that night (state, guests, client, notes, services); "Valider" writes
// the chosen state, guests, client and services to every selected day of the
// room, or deletes those nights for "Libre". The database work is NightEntry's;
// this widget copies fields in and out and tells the window what to refresh.
class EntryPanel : public QWidget
{
    Q_OBJECT

public:
    enum InnerTab { ChambreTab = 0, ClientTab = 1, PrestationsTab = 2 };

    explicit EntryPanel(WeekGrid *grid, QWidget *parent = nullptr);

    // A click in the room's weekly column: loads its first selected day.
    void ListBoxClick(int room, int day);
    // The "Valider" button.
    void ValiderClick();
    // The room with selected days (the highest when several have); 0 when none.
    int ChambreSelect() const;
    // Shows the room's description in the tab "Chambre".
    void AfficheDescription(int room);
    // The window's client list, read again.
    void setClients(const QList<QSqlRecord> &clients);
    // What the last "Valider" did, as the status bar shows it.
    QString lastReport() const { return m_report; }

    // The chosen state: "Réservé", "Payé", "Acompte", or empty for "Libre" or none.
    QString etat() const;
    void setEtat(const QString &etat);
    int currentRoom() const { return m_room; }
    int currentReservationId() const { return m_reservationId; }

    QRadioButton *stateButton(const QString &caption) const;
    QLineEdit *adultesEdit() const { return m_adultes; }
    QLineEdit *enfantsEdit() const { return m_enfants; }
    QLabel *adultesMaxLabel() const { return m_adultesMax; }
    QLabel *enfantsMaxLabel() const { return m_enfantsMax; }
    QLineEdit *acompteEdit() const { return m_acompte; }
    QLineEdit *payeEdit() const { return m_paye; }
    QTabWidget *innerTabs() const { return m_innerTabs; }
    QPlainTextEdit *descriptionMemo() const { return m_description; }
    QPlainTextEdit *notesMemo() const { return m_notes; }
    ServicesGridWidget *servicesGrid() const { return m_services; }
    ClientTabs *clientTabs() const { return m_clientTabs; }
    QPushButton *validerButton() const { return m_valider; }

signals:
    // A night was loaded (its id and client), or a free day was (none loaded).
    void reservationLoaded(int reservationId, int clientId);
    void reservationCleared();
    // "Valider" went through for this room, saved or not: its column, the
    // monthly view and its statistics must show the database again.
    void roomSaved(int room);
    // Clients were written: the window's client list must be read again.
    void clientsChanged();
    // What "Valider" did (or why it did nothing), for the status bar.
    void reported(const QString &text);

protected:
    // Enter anywhere in the panel (but in the notes) means "Valider"; Escape
    // goes back to the planning.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *buildReservationGroup();
    void showMaxima(int room);
    void loadNight(int room, const QDate &day);
    void stateClicked(const QString &etat);
    void selectionChanged(int room, const QDate &first);
    void orderFocus();
    void report(const QString &text);
    QString clientName(int id) const;

    WeekGrid *m_grid;
    int m_room = 1;
    int m_reservationId = 0;
    // The night the fields were last loaded from (room and day).
    int m_loadedRoom = 0;
    QDate m_loadedDay;
    QList<QSqlRecord> m_clients;
    QString m_report;
    QList<QRadioButton *> m_states;
    QLineEdit *m_adultes;
    QLineEdit *m_enfants;
    QLabel *m_adultesMax;
    QLabel *m_enfantsMax;
    QLineEdit *m_acompte;
    QLineEdit *m_paye;
    QTabWidget *m_innerTabs;
    QPlainTextEdit *m_description;
    QPlainTextEdit *m_notes;
    ServicesGridWidget *m_services;
    ClientTabs *m_clientTabs;
    QPushButton *m_valider;
};
