#include "ui/planning/client_form.h"

#include "ui/planning/digit_filter.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

ClientForm::ClientForm(QWidget *parent)
    : QWidget(parent), m_particulier(new QRadioButton(QStringLiteral("Particulier"), this)),
      m_entreprise(new QRadioButton(QStringLiteral("Entreprise"), this)),
      m_companyLabel(new QLabel(QStringLiteral("Raison sociale : "), this)), m_company(new QLineEdit(this)),
      m_nom(new QLineEdit(this)), m_prenom(new QLineEdit(this)), m_tel(new QLineEdit(this)),
      m_fax(new QLineEdit(this)), m_email(new QLineEdit(this))
{
    m_particulier->setObjectName(QStringLiteral("particulier"));
    m_entreprise->setObjectName(QStringLiteral("entreprise"));
    m_company->setObjectName(QStringLiteral("nomEts"));
    m_nom->setObjectName(QStringLiteral("nom"));
    m_prenom->setObjectName(QStringLiteral("prenom"));
    m_tel->setObjectName(QStringLiteral("tel"));
    m_fax->setObjectName(QStringLiteral("fax"));
    m_email->setObjectName(QStringLiteral("email"));
    DigitFilter::install(m_tel, 10);

    // Not exclusive through a group: a free night clears both kinds.
    connect(m_particulier, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_entreprise->setChecked(false);
        showCompany();
    });
    connect(m_entreprise, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_particulier->setChecked(false);
        showCompany();
    });
    m_particulier->setAutoExclusive(false);
    m_entreprise->setAutoExclusive(false);
    // A click on the chosen kind must not leave neither chosen.
    for (QRadioButton *b : {m_particulier, m_entreprise})
        connect(b, &QRadioButton::clicked, b, [b] { b->setChecked(true); });

    auto *kinds = new QHBoxLayout;
    kinds->addWidget(m_particulier);
    kinds->addWidget(m_entreprise);
    kinds->addStretch(1);

    auto *form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(kinds);
    form->addRow(m_companyLabel, m_company);
    form->addRow(QStringLiteral("Nom : "), m_nom);
    form->addRow(QStringLiteral("Prénom : "), m_prenom);
    form->addRow(QStringLiteral("Tel : "), m_tel);
    form->addRow(QStringLiteral("Fax : "), m_fax);
    form->addRow(QStringLiteral("Email : "), m_email);
    showCompany();
}

void ClientForm::showCompany()
{
    const bool company = m_entreprise->isChecked();
    m_companyLabel->setVisible(company);
    m_company->setVisible(company);
}

int ClientForm::kind() const
{
    if (m_particulier->isChecked())
        return 1;
    return m_entreprise->isChecked() ? 2 : 0;
}

void ClientForm::setKind(int kind)
{
    m_particulier->setChecked(kind == 1);
    m_entreprise->setChecked(kind != 0 && kind != 1);
    showCompany();
}

EntryClient ClientForm::client() const
{
    EntryClient c;
    c.id = m_id;
    c.type = kind();
    c.nomEts = m_company->text();
    c.nom = m_nom->text();
    c.prenom = m_prenom->text();
    c.tel = m_tel->text();
    c.fax = m_fax->text();
    c.email = m_email->text();
    return c;
}

void ClientForm::setClient(const EntryClient &client)
{
    m_id = client.id;
    setKind(client.type);
    // A private person's company name is emptied, as the field is hidden.
    m_company->setText(kind() == 2 ? client.nomEts : QString());
    m_nom->setText(client.nom);
    m_prenom->setText(client.prenom);
    m_tel->setText(client.tel);
    m_fax->setText(client.fax);
    m_email->setText(client.email);
}

void ClientForm::clearFields()
{
    m_id = 0;
    for (QLineEdit *e : {m_company, m_nom, m_prenom, m_tel, m_fax, m_email})
        e->clear();
}
