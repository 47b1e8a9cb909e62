#include "ui/catalogue/standard_services_panel.h"

#include "ui/catalogue/choice_combo.h"
#include "ui/catalogue/service_entry_group.h"
#include "catalogue/user_action.h"
#include "common/dialogs.h"
#include "data/prestation.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
int flag(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}
} // namespace

StandardServicesPanel::StandardServicesPanel(QWidget *parent) : QWidget(parent)
{
    m_add = new ServiceEntryGroup(QStringLiteral("Ajout"), QStringLiteral("add"), QStringLiteral("Ajouter"),
                                  false, this);
    m_modify = new ServiceEntryGroup(QStringLiteral("Modification"), QStringLiteral("modify"),
                                     QStringLiteral("Modifier"), true, this);

    m_delete = new QGroupBox(QStringLiteral("Suppression"), this);
    m_deleteList = new QComboBox(m_delete);
    m_deleteList->setObjectName(QStringLiteral("deleteService"));
    m_deleteList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_deleteButton = new QPushButton(QStringLiteral("Supprimer"), m_delete);
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    auto *deleteRow = new QHBoxLayout(m_delete);
    deleteRow->addWidget(m_deleteList, 1);
    deleteRow->addWidget(m_deleteButton);

    auto *column = new QVBoxLayout(this);
    column->addWidget(m_add);
    column->addWidget(m_modify);
    column->addWidget(m_delete);
    column->addStretch(1);

    connect(m_add->button(), &QPushButton::clicked, this, &StandardServicesPanel::addService);
    connect(m_modify->serviceList(), &QComboBox::currentIndexChanged, this,
            &StandardServicesPanel::showService);
    connect(m_modify->button(), &QPushButton::clicked, this, &StandardServicesPanel::modifyService);
    connect(m_deleteButton, &QPushButton::clicked, this, &StandardServicesPanel::deleteService);
}

void StandardServicesPanel::fillRates(const ChoiceList &rates)
{
    ChoiceCombo::fill(m_add->rate(), rates);
    ChoiceCombo::fill(m_modify->rate(), rates);
}

void StandardServicesPanel::fillServices(const ChoiceList &services)
{
    ChoiceCombo::fill(m_modify->serviceList(), services);
    ChoiceCombo::fill(m_deleteList, services);
}

void StandardServicesPanel::clearEntries()
{
    for (ServiceEntryGroup *group : {m_add, m_modify}) {
        group->label()->clear();
        group->clearPrices();
        group->freeForChildren()->setChecked(false);
        group->automatic()->setChecked(false);
    }
}

void StandardServicesPanel::addService()
{
    const QString label = m_add->label()->text();
    if (label.isEmpty())
        return;
    const bool done = runUserAction([&] {
        // Read now: a room count that could not be read when the window opened
        // must refuse the service with its reason, not store it nowhere.
        m_rooms = Settings::roomCount(15);
        Prestation().ajouterPrestationToutesChambres(
            label, m_rooms, m_add->ht()->text(), m_add->rate()->currentText(), m_add->ttc()->text(),
            flag(m_add->freeForChildren()), flag(m_add->automatic()));
    });
    if (!done)
        return;
    Dialogs::information(QStringLiteral("Prestation enregistrée"));
    m_add->label()->clear();
    m_add->clearPrices();
    m_add->freeForChildren()->setChecked(false);
    m_add->automatic()->setChecked(false);
    emit servicesChanged();
}

void StandardServicesPanel::showService()
{
    const int service = ChoiceCombo::value(m_modify->serviceList());
    if (service == 0) {
        clearModification();
        return;
    }
    runUserAction([&] {
        const Prestation prestation;
        m_modify->label()->setText(m_modify->serviceList()->currentText());
        // The rate first: showing it must not recompute the stored price with VAT.
        m_modify->showRate(prestation.getTauxTva(service, 1));
        m_modify->ht()->setText(prestation.getTarifHT(service, 1));
        m_modify->ttc()->setText(prestation.getTarifTTC(service, 1));
        m_modify->freeForChildren()->setChecked(prestation.estGratuitEnfant(service, 1));
        m_modify->automatic()->setChecked(prestation.estAjoutAuto(service, 1));
    });
}

void StandardServicesPanel::modifyService()
{
    const int service = ChoiceCombo::value(m_modify->serviceList());
    const QString label = m_modify->label()->text();
    if (label.isEmpty() || service == 0)
        return;
    bool uniform = false;
    int renamed = 0;
    const bool done = runUserAction([&] {
        m_rooms = Settings::roomCount(15);
        Prestation prestation;
        uniform = prestation.estTarifUniforme(service, m_rooms);
        if (uniform)
            prestation.modifierPrestationToutesChambres(service, label, m_rooms, m_modify->ht()->text(),
                                                        m_modify->rate()->currentText(),
                                                        m_modify->ttc()->text());
        else
            renamed = prestation.renommerPrestation(service, label);
    });
    if (!done)
        return;
    if (uniform) {
        Dialogs::information(QStringLiteral("Prestation mise à jour"));
        emit servicesChanged();
        clearModification();
    } else if (renamed > 0) {
        emit servicesChanged();
        Dialogs::information(QStringLiteral(
            "Seul le libelle a été modifié, pour modifier les tarifs, utilisez le système avancé"));
        clearModification();
    }
}

void StandardServicesPanel::deleteService()
{
    const int service = ChoiceCombo::value(m_deleteList);
    if (service == 0)
        return;
    // One click must not be enough to lose a service and its prices in every room.
    if (!Dialogs::question(QStringLiteral("Comfirmez-vous la suppression de cette prestation ?"), false))
        return;
    int deleted = 0;
    if (!runUserAction([&] { deleted = Prestation().supprimerPrestation(service); }))
        return;
    if (deleted > 0) {
        Dialogs::information(QStringLiteral("Suppression effectuée"));
        emit servicesChanged();
        clearModification();
    }
}

void StandardServicesPanel::clearModification()
{
    m_modify->label()->clear();
    m_modify->clearPrices();
}
