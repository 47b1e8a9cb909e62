#pragma once

#include "clients/client_card_links.h"
#include "data/client.h"
#include "ui/clients/client_card_tabs.h"

#include <QDialog>

class ClientCardFields;
class QAction;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTableView;
class TextGridModel;

// "Fiche client ": one client's details with its stays, invoices, quotes and
// e-mails on four tabs (ClientCardFields above ClientCardTabs), and the menus
// that act on them. Opens on CurrentClient (-1: a new client) and writes the
// saved client's id back into it.
class TFormFicheClient : public QDialog
{
    Q_OBJECT

public:
    using Tab = ClientCardTabs::Tab;
    using enum ClientCardTabs::Tab;

    explicit TFormFicheClient(QWidget *parent = nullptr);

    // Opens the card modally on a client (-1 for a new one); the client's id
    // afterwards (0 when a new card was left without saving).
    static int ouvrir(QWidget *parent, int id);

    // Asks "Comfirmez-vous la suppression de la fiche du client ?" and on "Oui"
    // deletes the client with its nights and their services. True when deleted.
    static bool supprimerClient(int id);

    // Empties the card, then shows the client and its four tabs.
    void afficherClient(int id);
    // Saves the fields (creating the row on the first save); false, with the
    // reason shown, when nothing could be stored.
    bool enregistrerClient();
    // True when a field differs from what was last shown or saved.
    bool hasChanges() const;
    void afficherReservations();
    void afficherFactures();
    void afficherDevis();
    void afficherEmails();

    int clientId() const { return m_id; }
    bool isNewCard() const;
    // The row entries of each tab follow its current row.
    void appliquerActivation();

    // For tests and callers that drive the card.
    QLineEdit *companyEdit() const;
    QLineEdit *nomEdit() const;
    QLineEdit *emailEdit() const;
    QRadioButton *particulier() const;
    QRadioButton *entreprise() const;
    QTableView *grid(Tab tab) const { return m_tabs->view(tab); }
    TextGridModel *model(Tab tab) const { return m_tabs->model(tab); }
    QAction *action(const QString &menu, const QString &entry) const;
    QMenu *menu(const QString &title) const;
    void selectRow(Tab tab, int row);
    QPushButton *saveButton() const { return m_save; }
    QPushButton *cancelButton() const { return m_cancel; }

    // "Annuler", Escape and closing the window: with changes, asks
    // "Enregistrer les modifications de la fiche ?" (Oui saves first, Non
    // drops them, Annuler keeps the card open).
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void connectTabs();
    void setMode(bool newCard);
    // Whether the card may close; asks first when something was changed.
    bool confirmerFermeture();
    void markUnchanged();
    QString currentNumber(Tab tab) const { return m_tabs->currentNumber(tab); }
    int currentId(Tab tab) const { return m_tabs->currentId(tab); }
    void fillTab(Tab tab);
    // Runs a step that may fail on the database; the error is shown.
    bool run(const std::function<void()> &step);

    void EnregistrerClick();
    void AnnulerClick();
    void RetourClick();
    void SupprimerClientClick();
    void NouvelleReservationClick();
    void ModifierReservationClick();
    void SupprimerReservationClick();
    void NouvelleFactureClick();
    void FactureClick(const QString &what);
    void ModeReglementClick(const QString &mode);
    void DevisClick(const QString &what);
    void NouvelEmailClick();
    void SupprimerEmailClick();

    int m_id = 0; // 0: not saved yet
    int m_lastRoom = 0;
    int m_lastReservation = 0;
    ClientCardFields *m_fields = nullptr;
    ClientCardTabs *m_tabs = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_newCard = false;
    ClientRecord m_unchanged; // the fields as last shown or saved
};
