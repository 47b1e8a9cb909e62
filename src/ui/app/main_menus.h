#pragma once

class QAction;
class QMenu;
class QMenuBar;

// The menu bar of the main window. Every entry exists with its caption and an
// object name ("action" + caption words); entries that are not offered are
// hidden. An entry whose window is not part of the program yet is disabled: the
// window that provides it connects its action and enables it.
struct MainMenus
{
    QMenu *fichier = nullptr;
    QMenu *clients = nullptr;
    QMenu *reservation = nullptr;
    QMenu *facturation = nullptr;
    QMenu *devis = nullptr;
    QMenu *emailing = nullptr; // hidden
    QMenu *parametres = nullptr;
    QMenu *aide = nullptr; // "?"

    QAction *imprimer = nullptr;
    QAction *servicesWeb = nullptr;
    QAction *quitter = nullptr;
    QAction *listeClients = nullptr;
    QAction *nouveauClient = nullptr;
    QAction *nouvelleReservation = nullptr;
    QAction *listeFactures = nullptr;
    QAction *editerFacture = nullptr; // hidden
    QAction *listeDevis = nullptr;
    QAction *nouveauDevis = nullptr;
    QAction *piecesJointes = nullptr;
    QAction *personnalisation = nullptr;
    QAction *periodesTarifaires = nullptr; // hidden
    QAction *prestations = nullptr;
    QAction *tva = nullptr;
    QAction *aPropos = nullptr;

    // Builds the menus into the bar; actions are owned by their menus.
    static MainMenus create(QMenuBar *bar);
    // Gives every menu of the bar and every entry of those menus an Alt letter
    // (underlined), unique among its neighbours, the initials of words first.
    // Captions that already have one keep it. Read captions back without the
    // marker through QAction::iconText().
    static void addMnemonics(QMenuBar *bar);
};
