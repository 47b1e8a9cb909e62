#pragma once

#include "clients/client_card_links.h"
#include "data/client.h"

#include <QDialog>

class QAction;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QRadioButton;
class QTabWidget;
class QTableView;
class TextGridModel;

// "Fiche client ": one client's details with its stays, invoices, quotes and
// e-mails on four tabs. Opens on CurrentClient (-1: a new client) and writes
// the saved client's id back into it.
class TFormFicheClient : public QDialog
{
    Q_OBJECT

public:
    enum Tab { Reservations, Factures, Devis, Emails, TabCount };

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
    void afficherReservations();
    void afficherFactures();
    void afficherDevis();
    void afficherEmails();

    int clientId() const { return m_id; }
    bool isNewCard() const;
    // The row entries of each tab follow its current row.
    void appliquerActivation();

    // For tests and callers that drive the card.
    QLineEdit *companyEdit() const { return m_company; }
    QLineEdit *nomEdit() const { return m_nom; }
    QLineEdit *emailEdit() const { return m_email; }
    QRadioButton *particulier() const { return m_particulier; }
    QRadioButton *entreprise() const { return m_entreprise; }
    QTableView *grid(Tab tab) const { return m_views[tab]; }
    TextGridModel *model(Tab tab) const { return m_models[tab]; }
    QAction *action(const QString &menu, const QString &entry) const;
    QMenu *menu(const QString &title) const;
    void selectRow(Tab tab, int row);

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Field
    {
        QString label;
        QLineEdit **edit;
    };
    void buildFields(QWidget *box);
    void buildMenus();
    void buildTabs();
    void setMode(bool newCard);
    ClientRecord fields() const;
    void setFields(const ClientRecord &c);
    QString currentNumber(Tab tab) const;
    int currentId(Tab tab) const { return currentNumber(tab).toInt(); }
    void fillTab(Tab tab);
    void showCompany();
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
    QRadioButton *m_particulier = nullptr;
    QRadioButton *m_entreprise = nullptr;
    QLineEdit *m_company = nullptr;
    QLineEdit *m_nom = nullptr;
    QLineEdit *m_prenom = nullptr;
    QLineEdit *m_adresse1 = nullptr;
    QLineEdit *m_adresse2 = nullptr;
    QLineEdit *m_cp = nullptr;
    QLineEdit *m_ville = nullptr;
    QLineEdit *m_tel = nullptr;
    QLineEdit *m_fax = nullptr;
    QLineEdit *m_email = nullptr;
    // Business clients: SIREN and VAT number, for their electronic invoices.
    QLineEdit *m_siren = nullptr;
    QLineEdit *m_tvaIntra = nullptr;
    QWidget *m_sirenLabel = nullptr;
    QWidget *m_tvaLabel = nullptr;
    QPlainTextEdit *m_informations = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTableView *m_views[TabCount] = {};
    TextGridModel *m_models[TabCount] = {};
    QMenu *m_invoiceContext = nullptr;
    QMenu *m_stayContext = nullptr;
};
