#pragma once

#include "data/client.h"

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

// The upper half of the client card: "Informations générales" (kind, names,
// address, phone, e-mail) beside "Informations complémentaires".
class ClientCardFields : public QWidget
{
    Q_OBJECT

public:
    explicit ClientCardFields(QWidget *parent = nullptr);

    // The fields in the card's coding (type 1 company, 2 private person); id 0.
    ClientRecord fields() const;
    void setFields(const ClientRecord &client);

    QLineEdit *companyEdit() const { return m_company; }
    QLineEdit *nomEdit() const { return m_nom; }
    QLineEdit *emailEdit() const { return m_email; }
    QLineEdit *sirenEdit() const { return m_siren; }
    QLineEdit *tvaIntraEdit() const { return m_tvaIntra; }
    QRadioButton *particulier() const { return m_particulier; }
    QRadioButton *entreprise() const { return m_entreprise; }

private:
    void buildGeneral(QWidget *box);
    void showCompany();

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
};
