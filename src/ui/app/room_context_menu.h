#pragma once

#include <QMenu>

// The context menu of the weekly and monthly room columns. With a reservation
// loaded in the entry panel it offers to change the stay or edit its invoice;
// otherwise it offers a new reservation.
class RoomContextMenu : public QMenu
{
    Q_OBJECT

public:
    explicit RoomContextMenu(QWidget *parent = nullptr);

    // Shows the entries that fit whether a reservation is loaded.
    void prepare(bool reservationLoaded);

    QAction *modifierReservation() const { return m_modifier; }
    QAction *editerFacture() const { return m_facture; }
    QAction *nouvelleReservation() const { return m_nouvelle; }

private:
    QAction *m_modifier;
    QAction *m_facture;
    QAction *m_nouvelle;
};
