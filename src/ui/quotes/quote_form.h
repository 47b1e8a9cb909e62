#pragma once

#include "ui/documents/document_actions.h"

#include <QDialog>

#include <functional>

class ClientAddressBox;
class DocumentAmountsPanel;
class DocumentLinesGrid;
class QAction;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class StayDatesFields;
struct DocumentEntry;

// The quote form: a new quote for a client and a room, or a stored quote shown
// or modified. Callers prepare it through its published methods, then show it
// modally:
//
//   new quote:    setMode(""); [setClient(client);] exec()
//   stored quote: setMode("visualisation" or "modification"); afficheFacture(number); exec()
//
// The lines, totals, amounts, address and dates are the invoice form's; the
// quote adds a room list pricing the lines, a comment and a menu bar.
class TFormDevis : public QDialog
{
    Q_OBJECT

public:
    enum class Mode { Ajout, Visualisation, Modification };

    explicit TFormDevis(QWidget *parent = nullptr);

    // Empties the form, then "visualisation" and "modification" name their
    // modes; any other text is "ajout".
    void setMode(const QString &mode);
    Mode mode() const { return m_mode; }
    void setClient(int idClient) { getInfosClient(idClient); }
    void getInfosClient(int idClient);
    // Loads a stored quote; false (with a message) when it does not exist.
    bool afficheFacture(int numero);
    void CalculerFacture();
    // Every line repriced at the prices of the room chosen in the room list.
    void MajListePrestations();

    int clientId() const;
    int numeroDevis() const { return m_numero; }
    // Room index of the room list: 0 for "Chambres" (no room).
    int chambre() const;
    void setChambre(int index);
    // The room list again from config.ini, on the remembered room.
    void remplirChambres();

    // "Client" > "Sélectionner un client".
    void selectionnerClient();
    // The client picker: the client list in "selection" mode unless replaced
    // (returns the chosen id, 0 for none).
    void setClientPicker(std::function<int(QWidget *parent)> picker);
    // Sends the quote by e-mail after saving; the check box stays disabled while none is set.
    void setEmailSender(std::function<void(int numero)> sender);

    // The save button and "Fichier" > "Enregistrer le devis": false when the form stays open.
    bool enregistrer();

    ClientAddressBox *addressBox() const { return m_address; }
    StayDatesFields *dates() const { return m_dates; }
    QComboBox *roomList() const { return m_rooms; }
    DocumentLinesGrid *lines() const { return m_lines; }
    DocumentAmountsPanel *amounts() const { return m_amounts; }
    QPlainTextEdit *comment() const { return m_comment; }
    QCheckBox *printAfterSave() const { return m_print; }
    QCheckBox *emailAfterSave() const { return m_email; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *backButton() const { return m_back; }
    QAction *saveAction() const { return m_saveAction; }
    QAction *action(const QString &objectName) const;

public slots:
    // "Retour" and "Fermer sans enregistrer": the form is emptied back to "ajout".
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool creer();
    bool modifier();
    bool addAllowed();
    // The quantity a service added to the lines starts with: the nights of the
    // stay dates for a service added to every reserved night, else 1.
    int quantiteInitiale(int service) const;
    void fillEntry(DocumentEntry &entry) const;
    void roomChosen(int index);

    Mode m_mode = Mode::Ajout;
    int m_numero = 0;
    int m_room = 0; // remembered room index
    ClientAddressBox *m_address;
    StayDatesFields *m_dates;
    QComboBox *m_rooms;
    DocumentLinesGrid *m_lines;
    QPlainTextEdit *m_comment;
    DocumentAmountsPanel *m_amounts;
    QCheckBox *m_print;
    QCheckBox *m_email;
    QPushButton *m_save;
    QPushButton *m_back;
    QAction *m_saveAction = nullptr;
    QAction *m_modifierLigne = nullptr;
    QAction *m_supprimerLigne = nullptr;
    std::function<int(QWidget *)> m_clientPicker;
    DocumentActions m_actions{DocumentActions::Kind::Devis};
};
