#include "ui/app/room_context_menu.h"

RoomContextMenu::RoomContextMenu(QWidget *parent)
    : QMenu(parent), m_modifier(addAction(QStringLiteral("Modifier la réservation"))),
      m_facture(addAction(QStringLiteral("Editer la facture"))),
      m_nouvelle(addAction(QStringLiteral("Nouvelle réservation")))
{
    setObjectName(QStringLiteral("roomContextMenu"));
    m_modifier->setObjectName(QStringLiteral("actionModifierReservation"));
    m_facture->setObjectName(QStringLiteral("actionEditerLaFacture"));
    m_nouvelle->setObjectName(QStringLiteral("actionNouvelleReservationContexte"));
    // The windows these entries open enable them when they are connected.
    for (QAction *a : {m_modifier, m_facture, m_nouvelle})
        a->setEnabled(false);
    prepare(false);
}

void RoomContextMenu::prepare(bool reservationLoaded)
{
    m_modifier->setVisible(reservationLoaded);
    m_facture->setVisible(reservationLoaded);
    m_nouvelle->setVisible(!reservationLoaded);
}
