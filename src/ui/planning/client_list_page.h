#pragma once

#include "data/client.h"

#include <QList>
#include <QSqlRecord>
#include <QWidget>

class QLineEdit;
class QTableWidget;
class QToolButton;

// The tab "Liste Clients": every client by name and first name, the current
// one's fields editable, and a record navigator (first, previous, next, last,
// insert, delete, edit, post, cancel, refresh). Typing in a field starts an
// edit; moving to another client posts it first. Posts and deletions go to the
// database at once; the page then asks for the list to be read again.
class ClientListPage : public QWidget
{
    Q_OBJECT

public:
    enum class State { Browse, Edit, Insert };
    enum Button { First, Prior, Next, Last, Insert, Delete, EditButton, Post, Cancel, Refresh, ButtonCount };

    explicit ClientListPage(QWidget *parent = nullptr);

    // The list as read from the database; the current client stays current
    // (or the one just posted becomes it).
    void setClients(const QList<QSqlRecord> &clients);
    // The client to make current at the next setClients().
    void setWantedClient(int id) { m_wantedId = id; }
    int clientCount() const { return int(m_clients.size()); }
    int currentIndex() const { return m_current; }
    // The id of the current client; 0 while none is current or one is being inserted.
    int currentClientId() const;
    State state() const { return m_state; }

    // Navigator actions. post() returns false when the row could not be written.
    void first() { navigate(Move::First); }
    void prior() { navigate(Move::Prior); }
    void next() { navigate(Move::Next); }
    void last() { navigate(Move::Last); }
    void insert();
    void remove();
    void edit();
    bool post();
    void cancel();
    void refresh();

    QToolButton *button(Button b) const { return m_buttons[b]; }
    QTableWidget *table() const { return m_table; }
    QLineEdit *companyEdit() const { return m_company; }
    QLineEdit *nomEdit() const { return m_nom; }
    QLineEdit *prenomEdit() const { return m_prenom; }
    QLineEdit *telEdit() const { return m_tel; }
    QLineEdit *faxEdit() const { return m_fax; }
    QLineEdit *emailEdit() const { return m_email; }

    static QString deletionQuestion()
    {
        return QStringLiteral("Comfirmez-vous la suppression de ce client ?");
    }

signals:
    // A client was written or deleted: the list must be read again.
    void clientsChanged();

private:
    enum class Move { First, Prior, Next, Last };
    void navigate(Move move);
    void showCurrent();
    void fieldEdited();
    void updateButtons();
    void selectRow(int index);
    EntryClient fields() const;

    QList<QSqlRecord> m_clients;
    int m_current = -1;
    State m_state = State::Browse;
    int m_wantedId = 0; // client to make current after the next list
    bool m_filling = false;
    QTableWidget *m_table;
    QToolButton *m_buttons[ButtonCount];
    QLineEdit *m_company;
    QLineEdit *m_nom;
    QLineEdit *m_prenom;
    QLineEdit *m_tel;
    QLineEdit *m_fax;
    QLineEdit *m_email;
};
