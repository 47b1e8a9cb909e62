#include "ui/clients/client_card_fields.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

ClientCardFields::ClientCardFields(QWidget *parent) : QWidget(parent)
{
    auto *top = new QHBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    auto *general = new QGroupBox(QStringLiteral("Informations générales"), this);
    buildGeneral(general);
    top->addWidget(general);
    auto *extra = new QGroupBox(QStringLiteral("Informations complémentaires"), this);
    auto *extraLayout = new QVBoxLayout(extra);
    m_informations = new QPlainTextEdit(extra);
    extraLayout->addWidget(m_informations);
    top->addWidget(extra, 1);
}

void ClientCardFields::buildGeneral(QWidget *box)
{
    auto *grid = new QGridLayout(box);
    m_particulier = new QRadioButton(QStringLiteral("Particulier"), box);
    m_entreprise = new QRadioButton(QStringLiteral("Entreprise"), box);
    auto *kinds = new QButtonGroup(box);
    kinds->addButton(m_particulier);
    kinds->addButton(m_entreprise);
    m_particulier->setChecked(true);
    m_company = new QLineEdit(box);
    m_company->setObjectName(QStringLiteral("nomEts"));
    m_company->setMaxLength(200);
    auto *kindRow = new QHBoxLayout;
    kindRow->addWidget(m_particulier);
    kindRow->addWidget(m_entreprise);
    kindRow->addWidget(m_company, 1);
    grid->addLayout(kindRow, 0, 0, 1, 4);
    connect(m_particulier, &QRadioButton::toggled, this, &ClientCardFields::showCompany);

    auto edit = [box](QLineEdit *&e, int maxLength) {
        e = new QLineEdit(box);
        if (maxLength > 0)
            e->setMaxLength(maxLength);
        return e;
    };
    auto label = [box](const char *text) { return new QLabel(QString::fromUtf8(text), box); };
    grid->addWidget(label("Nom : "), 1, 0);
    grid->addWidget(edit(m_nom, 100), 1, 1);
    grid->addWidget(label("Prénom : "), 2, 0);
    grid->addWidget(edit(m_prenom, 100), 2, 1);
    grid->addWidget(label("Adresse : "), 3, 0);
    grid->addWidget(edit(m_adresse1, 250), 3, 1);
    grid->addWidget(edit(m_adresse2, 250), 4, 1);
    grid->addWidget(label("CP :  "), 5, 0);
    grid->addWidget(edit(m_cp, 10), 5, 1);
    grid->addWidget(label("Ville : "), 6, 0);
    grid->addWidget(edit(m_ville, 250), 6, 1);
    grid->addWidget(label("Tel : "), 1, 2);
    grid->addWidget(edit(m_tel, 25), 1, 3);
    grid->addWidget(label("Fax : "), 2, 2);
    grid->addWidget(edit(m_fax, 25), 2, 3);
    grid->addWidget(label("Email : "), 3, 2);
    grid->addWidget(edit(m_email, 200), 3, 3);
    m_email->setMinimumWidth(200);
    m_sirenLabel = label("SIREN : ");
    grid->addWidget(m_sirenLabel, 4, 2);
    grid->addWidget(edit(m_siren, 20), 4, 3);
    m_siren->setObjectName(QStringLiteral("siren"));
    m_tvaLabel = label("TVA intracom. : ");
    grid->addWidget(m_tvaLabel, 5, 2);
    grid->addWidget(edit(m_tvaIntra, 20), 5, 3);
    m_tvaIntra->setObjectName(QStringLiteral("tvaIntra"));
    showCompany();
}

void ClientCardFields::showCompany()
{
    const bool company = m_entreprise->isChecked();
    m_company->setVisible(company);
    // The identifiers of a business client only.
    for (QWidget *w : {static_cast<QWidget *>(m_siren), static_cast<QWidget *>(m_tvaIntra), m_sirenLabel, m_tvaLabel})
        if (w)
            w->setVisible(company);
}

ClientRecord ClientCardFields::fields() const
{
    ClientRecord c;
    c.type = m_entreprise->isChecked() ? 1 : 2;
    c.nomEts = m_company->text();
    c.nom = m_nom->text();
    c.prenom = m_prenom->text();
    c.tel = m_tel->text();
    c.fax = m_fax->text();
    c.email = m_email->text();
    c.adresse1 = m_adresse1->text();
    c.adresse2 = m_adresse2->text();
    c.codepostal = m_cp->text();
    c.ville = m_ville->text();
    c.informations = m_informations->toPlainText();
    c.siren = m_siren->text().trimmed();
    c.tvaIntra = m_tvaIntra->text().trimmed();
    return c;
}

void ClientCardFields::setFields(const ClientRecord &c)
{
    // Both windows write `type` in their own coding; the company name tells
    // which kind the client is.
    if (c.isCompany())
        m_entreprise->setChecked(true);
    else
        m_particulier->setChecked(true);
    m_company->setText(c.nomEts);
    m_nom->setText(c.nom);
    m_prenom->setText(c.prenom);
    m_tel->setText(c.tel);
    m_fax->setText(c.fax);
    m_email->setText(c.email);
    m_adresse1->setText(c.adresse1);
    m_adresse2->setText(c.adresse2);
    m_cp->setText(c.codepostal);
    m_ville->setText(c.ville);
    m_informations->setPlainText(c.informations);
    m_siren->setText(c.siren);
    m_tvaIntra->setText(c.tvaIntra);
    showCompany();
}
