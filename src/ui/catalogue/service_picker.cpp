#include "ui/catalogue/service_picker.h"

#include "ui/catalogue/choice_combo.h"
#include "catalogue/services_grid.h"
#include "catalogue/user_action.h"
#include "common/choice_list.h"
#include "common/dialogs.h"
#include "common/price_validator.h"
#include "common/text_grid.h"
#include "data/prestation.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSelectPrestation::TSelectPrestation(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Prestation"));
    setObjectName(QStringLiteral("TSelectPrestation"));

    m_services = new QComboBox(this);
    m_services->setObjectName(QStringLiteral("services"));
    m_services->setMinimumContentsLength(28);
    m_services->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_quantity = new QLineEdit(this);
    m_quantity->setObjectName(QStringLiteral("quantity"));
    m_quantity->setAlignment(Qt::AlignRight);
    m_quantity->setFixedWidth(m_quantity->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    PriceValidator::install(m_quantity);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Prestation"), m_services);
    form->addRow(QStringLiteral("Nombre"), m_quantity);

    m_validate = new QPushButton(QStringLiteral("Ajouter"), this);
    m_validate->setObjectName(QStringLiteral("validate"));
    m_validate->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Annuler"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_validate);
    buttons->addWidget(m_cancel);
    connect(m_validate, &QPushButton::clicked, this, &TSelectPrestation::validate);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_quantity, &QLineEdit::textEdited, this, [this] { m_quantityTyped = true; });
    connect(m_services, &QComboBox::currentIndexChanged, this, &TSelectPrestation::serviceChosen);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TSelectPrestation::prepare(TextGrid &grille, int ligne)
{
    m_grid = &grille;
    m_line = ligne;
    m_changed = false;
    ChoiceList services;
    runUserAction([&] { Prestation().remplirListePrestations(services); });
    if (services.isEmpty())
        services.add(QStringLiteral("Liste des Prestations"), 0);
    if (ligne < 0)
        ServicesGrid::removeServicesIn(services, grille);
    ChoiceCombo::fill(m_services, services);
}

void TSelectPrestation::initListePrestations(TextGrid &grille)
{
    prepare(grille, -1);
    m_services->setEnabled(true);
    m_quantity->setText(QStringLiteral("1"));
    m_quantityTyped = false;
    m_validate->setText(QStringLiteral("Ajouter"));
}

void TSelectPrestation::setQuantiteInitiale(std::function<int(int)> quantite)
{
    m_initialQuantity = std::move(quantite);
    serviceChosen();
}

void TSelectPrestation::serviceChosen()
{
    if (m_line >= 0 || m_quantityTyped || !m_initialQuantity)
        return;
    const int service = ChoiceCombo::value(m_services);
    const int quantity = service != 0 ? m_initialQuantity(service) : 1;
    m_quantity->setText(QString::number(qMax(1, quantity)));
}

void TSelectPrestation::initListePrestationsForUpdate(TextGrid &grille, int ligne)
{
    prepare(grille, ligne);
    const int service = grille.cell(ligne, 0).trimmed().toInt();
    // A line whose service left the catalogue can still have its quantity changed.
    if (!ChoiceCombo::selectValue(m_services, service) && service != 0) {
        m_services->addItem(grille.cell(ligne, 1), service);
        ChoiceCombo::selectValue(m_services, service);
    }
    m_services->setEnabled(false);
    m_quantity->setText(grille.cell(ligne, 2));
    m_validate->setText(QStringLiteral("Modifier"));
}

bool TSelectPrestation::run()
{
    exec();
    return m_changed;
}

bool TSelectPrestation::ajouter(TextGrid &grille)
{
    initListePrestations(grille);
    return run();
}

bool TSelectPrestation::modifier(TextGrid &grille, int ligne)
{
    initListePrestationsForUpdate(grille, ligne);
    return run();
}

void TSelectPrestation::validate()
{
    const int service = ChoiceCombo::value(m_services);
    if (service == 0 || !m_grid)
        return;
    const QString quantity = m_quantity->text();
    // Quantities are whole numbers of nights or units; a grid holding "1,5"
    // would fail later when the night is saved.
    if (!ServicesGrid::isQuantity(quantity)) {
        Dialogs::warning(QStringLiteral("Le nombre doit être un nombre entier."));
        return;
    }
    const QString label = m_services->currentText();
    if (m_line < 0)
        ServicesGrid::appendService(*m_grid, service, label, quantity);
    else if (!ServicesGrid::updateService(*m_grid, m_line, service, label, quantity))
        return;
    m_changed = true;
    accept();
}
