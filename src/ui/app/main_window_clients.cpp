// The main window's client list and the reservation loaded in its entry panel,
// with the advanced reservation form opened on them.
#include "ui/app/main_window.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "data/client.h"
#include "data/data_module.h"
#include "planning/advanced_reservation.h"
#include "planning/view_freshness.h"
#include "ui/planning/client_list_page.h"
#include "ui/planning/client_tabs.h"
#include "ui/planning/entry_panel.h"
#include "ui/planning/resa_avancee.h"

void TForm1::clientWindowsClosed(int chosen)
{
    if (chosen > 0) {
        m_entryPanel->clientTabs()->listPage()->setWantedClient(chosen);
        m_entryPanel->clientTabs()->setCurrentIndex(ClientTabs::Liste);
    }
    // The card may have deleted stays or whole clients with their nights.
    ViewFreshness::markStale();
    rafraichirVues();
}

void TForm1::reloadClientList()
{
    m_clients = Client::listeFenetrePrincipale(DataModule::connection(connectionName()));
    emit clientListReloaded();
}

void TForm1::setLoadedReservation(int reservationId, int clientId)
{
    m_currentReservationId = reservationId;
    m_loadedClientId = clientId;
}

void TForm1::clearLoadedReservation()
{
    m_loadedClientId = 0;
}

bool TForm1::requireLoadedReservation()
{
    if (hasLoadedReservation())
        return true;
    Dialogs::information(QStringLiteral("Il n'y a pas de réservation à cette date"));
    return false;
}

void TForm1::nouvelleReservation()
{
    m_resaAvancee->setMode(false, true);
    rafraichirVues();
}

void TForm1::modifierReservation()
{
    if (!requireLoadedReservation())
        return;
    int first = 0;
    try {
        first = AdvancedReservation::premiereNuit(m_currentReservationId);
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return;
    }
    m_resaAvancee->afficheReservation(first, m_loadedClientId);
    rafraichirVues();
}
