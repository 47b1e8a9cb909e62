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

#include <QCollator>

#include <algorithm>

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
    QList<QSqlRecord> clients = Client::listeFenetrePrincipale(DataModule::connection(connectionName()));

    // The database compares bytes; a French reader expects "Émile" beside "Emma"
    // and "de Sousa" among the D.
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(clients.begin(), clients.end(), [&collator](const QSqlRecord &a, const QSqlRecord &b) {
        const int byName = collator.compare(a.value(QStringLiteral("nom")).toString(),
                                            b.value(QStringLiteral("nom")).toString());
        if (byName != 0)
            return byName < 0;
        return collator.compare(a.value(QStringLiteral("prenom")).toString(),
                                b.value(QStringLiteral("prenom")).toString()) < 0;
    });
    m_clients = clients;
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
