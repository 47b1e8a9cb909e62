#include "ui/invoices/invoice_form.h"

#include "catalogue/user_action.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "common/format.h"
#include "ui/documents/client_address_box.h"
#include "ui/documents/document_amounts_panel.h"
#include "data/document_entry.h"
#include "documents/document_lines.h"
#include "ui/documents/document_lines_grid.h"
#include "documents/document_totals.h"
#include "invoices/facture.h"
#include "invoices/invoice_list.h"
#include "ui/documents/stay_dates_fields.h"
#include "invoices/stored_invoice.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kNonPaye = QStringLiteral("Non payé");

} // namespace

const QStringList &TForm4::modesReglement()
{
    return InvoiceList::modesReglement();
}

TForm4::TForm4(QWidget *parent)
    : QDialog(parent), m_address(new ClientAddressBox(this)),
      m_payment(new QGroupBox(QStringLiteral("Mode de règlement"), this)), m_paymentChoices(new QButtonGroup(this)),
      m_dates(new StayDatesFields(QStringLiteral("au"), this)), m_lines(new DocumentLinesGrid(this)),
      m_amounts(new DocumentAmountsPanel(this)),
      m_print(new QCheckBox(QStringLiteral("Imprimer la facture après enregistrement"), this)),
      m_email(new QCheckBox(QStringLiteral("Envoyer la facture par email après enregistrement"), this)),
      m_save(new QPushButton(QStringLiteral("Enregistrer la facture"), this)),
      m_back(new QPushButton(QStringLiteral("Retour"), this))
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Facturation"));
    resize(560, 560);

    auto *paymentLayout = new QVBoxLayout(m_payment);
    paymentLayout->setSpacing(2);
    // The lines get the height; the address needs a few lines only.
    m_address->setMaximumHeight(m_address->fontMetrics().lineSpacing() * 7 + 30);
    for (const QString &mode : modesReglement()) {
        auto *choice = new QRadioButton(mode, m_payment);
        m_paymentChoices->addButton(choice);
        paymentLayout->addWidget(choice);
    }
    m_amounts->attach(m_lines);
    m_email->setEnabled(false);
    m_save->setObjectName(QStringLiteral("BtnEnregistrer"));
    m_back->setObjectName(QStringLiteral("BtnRetour"));
    m_save->setAutoDefault(false);
    m_back->setAutoDefault(false);

    auto *top = new QHBoxLayout;
    top->addWidget(m_address, 1);
    top->addWidget(m_payment);
    auto *checks = new QVBoxLayout;
    checks->addWidget(m_print);
    checks->addWidget(m_email);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_back);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_dates);
    layout->addWidget(new QLabel(QStringLiteral("Détails de la facture "), this));
    layout->addWidget(m_lines, 1);
    layout->addWidget(m_amounts);
    layout->addLayout(checks);
    layout->addLayout(buttons);

    connect(m_save, &QPushButton::clicked, this, [this] {
        if (enregistrer())
            accept();
    });
    connect(m_back, &QPushButton::clicked, this, &QDialog::reject);
    nouvelleFacture();
    setMode(QString());
}

void TForm4::setMode(const QString &mode)
{
    m_mode = mode == QLatin1String("visualisation")  ? Mode::Visualisation
             : mode == QLatin1String("modification") ? Mode::Modification
                                                      : Mode::Ajout;
    applyMode();
}

void TForm4::applyMode()
{
    const bool view = m_mode == Mode::Visualisation;
    setWindowTitle(QStringLiteral("Facture"));
    m_save->setVisible(!view);
    m_save->setEnabled(true);
    m_save->setText(m_mode == Mode::Modification ? QStringLiteral("Modifier la facture")
                                                 : QStringLiteral("Enregistrer la facture"));
    m_back->setMinimumWidth(view ? 195 : 75);
    m_print->setVisible(m_mode == Mode::Ajout);
    m_email->setVisible(m_mode == Mode::Ajout);
    m_payment->setEnabled(!view);
    m_address->setReadOnly(view);
    m_dates->setReadOnly(view);
    m_amounts->setEditable(!view);
    m_lines->setReadOnly(view);
}

void TForm4::nouvelleFacture()
{
    m_numero = 0;
    m_address->setClientId(0);
    m_address->setAddress(QString());
    m_lines->setRoom(1);
    m_lines->clearLines();
    m_dates->clear();
    m_amounts->clear();
    setModeReglement(kNonPaye);
    m_print->setChecked(false);
    m_email->setChecked(false);
}

void TForm4::getInfosClient(int idClient)
{
    m_address->getInfosClient(idClient);
}

int TForm4::clientId() const
{
    return m_address->clientId();
}

void TForm4::setNumeroChambre(int room)
{
    m_lines->setRoom(room);
}

int TForm4::numeroChambre() const
{
    return m_lines->room();
}

void TForm4::getPrestations(int idNuit)
{
    DocumentLines::Sejour sejour;
    if (!runUserAction([&] { sejour = DocumentLines::lireSejour(idNuit); }))
        return;
    m_lines->setGrid(sejour.lignes);
    m_dates->setDates(sejour.debut, sejour.depart);
    CalculerFacture();
}

bool TForm4::afficheFacture(int numero)
{
    StoredInvoice invoice;
    if (!runUserAction([&] { invoice = StoredInvoice::lire(numero); }))
        return false;
    if (!invoice.found) {
        Dialogs::error(QStringLiteral("La facture N°%1 n'existe pas.").arg(numero));
        return false;
    }
    m_numero = numero;
    setWindowTitle(QStringLiteral("Facture N°") + QString::number(numero));
    m_address->setClientId(invoice.idClient);
    m_lines->setRoom(1);
    setModeReglement(invoice.modeReglement);
    m_dates->setDates(invoice.sejourDebut, invoice.sejourFin);
    m_lines->setGrid(invoice.lignes);
    m_amounts->setAmounts(invoice.remise, invoice.acompte, invoice.totalHt, invoice.totalTva, invoice.totalTtc);
    m_save->setEnabled(invoice.modifiable);
    // The stored billing address is the one the invoice was made out to; the
    // client's card only fills it in when none was kept.
    if (invoice.adresse.trimmed().isEmpty() && invoice.idClient > 0)
        m_address->getInfosClient(invoice.idClient);
    else
        m_address->setAddress(invoice.adresse);
    return true;
}

void TForm4::CalculerFacture()
{
    m_amounts->CalculerFacture();
}

QString TForm4::modeReglement() const
{
    QAbstractButton *checked = m_paymentChoices->checkedButton();
    return checked ? checked->text() : QString();
}

void TForm4::setModeReglement(const QString &mode)
{
    for (QAbstractButton *b : m_paymentChoices->buttons())
        if (b->text() == mode)
            b->setChecked(true);
}

void TForm4::setEmailSender(std::function<void(int)> sender)
{
    m_actions.setEmailSender(std::move(sender));
    m_email->setEnabled(m_actions.canEmail());
}

bool TForm4::enregistrer()
{
    if (m_mode == Mode::Visualisation)
        return false;
    if (const QString problem = m_amounts->verifier(); !problem.isEmpty()) {
        Dialogs::error(problem);
        return false;
    }
    return m_mode == Mode::Ajout ? creer() : modifier();
}

bool TForm4::creer()
{
    if (Format::parseAmount(m_amounts->totalTtc()->text()) <= 0) {
        Dialogs::warning(QStringLiteral("La facture est vide : rien n'a été enregistré."));
        return false;
    }
    if (!m_dates->debut().isValid() || !m_dates->fin().isValid()) {
        Dialogs::error(!m_dates->debut().isValid() ? QStringLiteral("La date « Du » n'est pas une date valide.")
                                                   : QStringLiteral("La date « au » n'est pas une date valide."));
        return false;
    }
    DocumentEntry entry;
    entry.idClient = clientId();
    entry.adresse = m_address->address().isEmpty() ? QStringLiteral(" ") : m_address->address();
    entry.remise = m_amounts->remise()->text();
    entry.acompte = m_amounts->acompte()->text();
    entry.sejourDebut = m_dates->debut();
    entry.sejourFin = m_dates->fin();
    entry.date = QDate::currentDate();
    entry.modeReglement = modeReglement();
    entry.totalHt = m_amounts->totalHt()->text();
    entry.totalTva = m_amounts->totalTva()->text();
    entry.totalTtc = m_amounts->totalTtc()->text();
    int numero = 0;
    try {
        numero = Facture().creerFacture(entry, m_lines->grid());
    } catch (const KestrovaError &e) {
        Dialogs::error(QStringLiteral("La facture n'a pas été enregistrée.\n") + e.text());
        return false;
    }
    m_numero = numero;
    Dialogs::information(QStringLiteral("Facture N°") + QString::number(numero) + QStringLiteral(" crée avec succès"));
    m_actions.apresCreation(numero, m_print->isChecked(), m_email->isChecked());
    return true;
}

bool TForm4::modifier()
{
    DocumentEntry entry;
    entry.idClient = clientId();
    entry.adresse = m_address->address();
    entry.remise = m_amounts->remise()->text();
    entry.acompte = m_amounts->acompte()->text();
    entry.sejourDebut = m_dates->debut();
    entry.sejourFin = m_dates->fin();
    entry.modeReglement = modeReglement();
    entry.totalHt = m_amounts->totalHt()->text();
    entry.totalTva = m_amounts->totalTva()->text();
    entry.totalTtc = m_amounts->totalTtc()->text();
    try {
        Facture().modifierFacture(m_numero, entry, m_lines->grid());
    } catch (const KestrovaError &e) {
        Dialogs::error(QStringLiteral("La facture n'a pas été modifiée.\n") + e.text());
        return false;
    }
    return true;
}

void TForm4::done(int result)
{
    // Callers that create an invoice expect an empty form in mode "ajout".
    setMode(QString());
    nouvelleFacture();
    QDialog::done(result);
}
