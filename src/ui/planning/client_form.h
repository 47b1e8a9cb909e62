#pragma once

#include "data/client.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QRadioButton;

// The client fields of the tabs "Infos Client" and "Nouveau Client": the kind
// ("Particulier" or "Entreprise", possibly neither), a company name shown only
// for "Entreprise", names, phone (digits only), fax and e-mail, and a hidden
// client id.
class ClientForm : public QWidget
{
    Q_OBJECT

public:
    explicit ClientForm(QWidget *parent = nullptr);

    // The fields as a client; informations is left empty (the notes live elsewhere).
    EntryClient client() const;
    // Kind 1 "Particulier", any other non-zero "Entreprise", 0 neither.
    void setClient(const EntryClient &client);
    // Empties the company name, names, phone, fax, e-mail and the hidden id.
    void clearFields();

    // 0 when neither kind is chosen, 1 "Particulier", 2 "Entreprise".
    int kind() const;
    void setKind(int kind);

    int clientId() const { return m_id; }
    void setClientId(int id) { m_id = id; }

    QRadioButton *particulier() const { return m_particulier; }
    QRadioButton *entreprise() const { return m_entreprise; }
    QLineEdit *companyEdit() const { return m_company; }
    QLineEdit *nomEdit() const { return m_nom; }
    QLineEdit *prenomEdit() const { return m_prenom; }
    QLineEdit *telEdit() const { return m_tel; }
    QLineEdit *faxEdit() const { return m_fax; }
    QLineEdit *emailEdit() const { return m_email; }

private:
    void showCompany();

    QRadioButton *m_particulier;
    QRadioButton *m_entreprise;
    QLabel *m_companyLabel;
    QLineEdit *m_company;
    QLineEdit *m_nom;
    QLineEdit *m_prenom;
    QLineEdit *m_tel;
    QLineEdit *m_fax;
    QLineEdit *m_email;
    int m_id = 0;
};
