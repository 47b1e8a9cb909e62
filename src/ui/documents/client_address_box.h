#pragma once

#include <QGroupBox>

class QPlainTextEdit;

// "Informations Client" of the invoice and quote forms: the billing address,
// the client's name and address by default, editable before saving.
class ClientAddressBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit ClientAddressBox(QWidget *parent = nullptr);

    // getInfosClient: the client becomes the document's client and the address
    // is rebuilt from the client row (left as it is when the row is missing).
    // A database error is shown to the user.
    void getInfosClient(int idClient);

    int clientId() const { return m_clientId; }
    void setClientId(int id) { m_clientId = id; }

    // Lines separated by "\r\n", as stored.
    QString address() const;
    void setAddress(const QString &address);
    void setReadOnly(bool readOnly);
    QPlainTextEdit *editor() const { return m_edit; }

private:
    QPlainTextEdit *m_edit;
    int m_clientId = 0;
};
