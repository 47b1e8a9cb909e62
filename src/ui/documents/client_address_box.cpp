#include "ui/documents/client_address_box.h"

#include "catalogue/user_action.h"
#include "documents/client_address.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

ClientAddressBox::ClientAddressBox(QWidget *parent)
    : QGroupBox(QStringLiteral("Informations Client"), parent), m_edit(new QPlainTextEdit(this))
{
    m_edit->setObjectName(QStringLiteral("Memo1"));
    m_edit->setTabChangesFocus(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
}

void ClientAddressBox::getInfosClient(int idClient)
{
    m_clientId = idClient;
    runUserAction([&] {
        if (const std::optional<QString> block = ClientAddress::lire(idClient))
            setAddress(*block);
    });
}

QString ClientAddressBox::address() const
{
    QString text = m_edit->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void ClientAddressBox::setAddress(const QString &address)
{
    QString text = address;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_edit->setPlainText(text);
}

void ClientAddressBox::setReadOnly(bool readOnly)
{
    m_edit->setReadOnly(readOnly);
}
