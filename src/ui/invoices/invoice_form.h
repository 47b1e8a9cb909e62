#pragma once

#include "ui/documents/document_actions.h"

#include <QDialog>

#include <functional>

class ClientAddressBox;
class DocumentAmountsPanel;
class DocumentLinesGrid;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class StayDatesFields;
struct StoredInvoice;

// The invoice form: a new invoice from a client and a stay, or a stored
// invoice shown or modified. Callers prepare it through its published
// methods, then show it modally; whenever it closes it is back in mode
// "ajout" and empty, so the next new invoice never carries another's lines.
//
//   new invoice:    getInfosClient(client); setNumeroChambre(room); getPrestations(night); exec()
//   stored invoice: setMode("visualisation" or "modification"); afficheFacture(number); exec()
class TForm4 : public QDialog
{
    Q_OBJECT

public:
    enum class Mode { Ajout, Visualisation, Modification };
    // Payment modes in the order of the choices.
    static const QStringList &modesReglement();

    explicit TForm4(QWidget *parent = nullptr);

    // "visualisation" and "modification" name their modes; any other text is "ajout".
    void setMode(const QString &mode);
    Mode mode() const { return m_mode; }
    // Empties lines, dates, amounts and address; payment "Non payé".
    void nouvelleFacture();
    void getInfosClient(int idClient);
    void setNumeroChambre(int room);
    int numeroChambre() const;
    // The lines and dates of the stay of that night, totals recomputed.
    void getPrestations(int idNuit);
    // Loads a stored invoice; false (with a message) when it does not exist.
    bool afficheFacture(int numero);
    void CalculerFacture();
    int numeroFacture() const { return m_numero; }
    int clientId() const;

    // The save button: creates or modifies. False when the form stays open.
    bool enregistrer();
    // Sends the invoice by e-mail after saving; installed by whoever provides
    // the e-mail window. The check box stays disabled while none is set.
    void setEmailSender(std::function<void(int numero)> sender);

    QString modeReglement() const;
    void setModeReglement(const QString &mode);

    ClientAddressBox *addressBox() const { return m_address; }
    StayDatesFields *dates() const { return m_dates; }
    DocumentLinesGrid *lines() const { return m_lines; }
    DocumentAmountsPanel *amounts() const { return m_amounts; }
    QGroupBox *paymentBox() const { return m_payment; }
    QCheckBox *printAfterSave() const { return m_print; }
    QCheckBox *emailAfterSave() const { return m_email; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *backButton() const { return m_back; }

public slots:
    void done(int result) override;

private:
    bool creer();
    bool modifier();
    void applyMode();

    Mode m_mode = Mode::Ajout;
    int m_numero = 0;
    ClientAddressBox *m_address;
    QGroupBox *m_payment;
    QButtonGroup *m_paymentChoices;
    StayDatesFields *m_dates;
    DocumentLinesGrid *m_lines;
    DocumentAmountsPanel *m_amounts;
    QCheckBox *m_print;
    QCheckBox *m_email;
    QPushButton *m_save;
    QPushButton *m_back;
    DocumentActions m_actions{DocumentActions::Kind::Facture};
};
