#pragma once

class TForm1;

// The main window is the one place that knows every feature: these functions
// create the feature windows as its children and connect its menu entries to
// them. The feature windows themselves never see the main window.
namespace FeatureWiring {

// "Services web" (the main window's connections are closed while the window is
// open, then reopened and the views refreshed) and the shut-down backup.
void installBackup(TForm1 *mainWindow);
// "Liste des factures", the hidden "Editer une facture", the room columns'
// "Editer la facture" and the client card's invoice entries.
void installInvoices(TForm1 *mainWindow);
// "Liste des devis", "Nouveau devis" and the client card's quote entries.
void installQuotes(TForm1 *mainWindow);
// "Importer les données de l'ancien logiciel…" of "Fichier" (connections closed
// while its window is open, views refreshed after an import).
void installImport(TForm1 *mainWindow);
// "Calendriers en ligne" of "Réservation": the rooms' iCal feeds and the
// import of a booking site's feed; the views are refreshed after an import.
void installCalendars(TForm1 *mainWindow);

} // namespace FeatureWiring
