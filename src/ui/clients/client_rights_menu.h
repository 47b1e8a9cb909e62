#pragma once

#include <QString>

class QMenu;
class TFormFicheClient;

// The guest's data rights on the client card's "Client" menu: "Exporter les
// données personnelles..." (JSON and PDF summary) and "Effacer les données
// personnelles..." (anonymisation that keeps the invoices as issued).
namespace ClientRightsMenu {

void ajouter(QMenu *clientMenu, TFormFicheClient *card);

// The steps behind the entries, for tests: the erasure asks its question
// through Dialogs and refreshes the card; both report through Dialogs.
bool exporter(TFormFicheClient *card, const QString &jsonPath);
bool effacer(TFormFicheClient *card);

} // namespace ClientRightsMenu
