#include "ui/catalogue/advanced_services_panel.h"

#include "ui/catalogue/choice_combo.h"
#include "catalogue/room_prices_model.h"
#include "ui/catalogue/room_prices_page.h"
#include "ui/catalogue/room_prices_view.h"
#include "catalogue/user_action.h"
#include "common/dialogs.h"
#include "common/text_grid.h"
#include "data/prestation.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
int flag(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}
} // namespace

AdvancedServicesPanel::AdvancedServicesPanel(QWidget *parent) : QWidget(parent)
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("advancedTabs"));
    m_add = new RoomPricesPage(QStringLiteral("advancedAdd"), QStringLiteral("Ajouter"), false, m_tabs);
    m_modify = new RoomPricesPage(QStringLiteral("advancedModify"), QStringLiteral("Modifier"), true, m_tabs);
    m_tabs->addTab(m_add, QStringLiteral("Ajout"));
    m_tabs->addTab(m_modify, QStringLiteral("Modification"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_tabs);

    connect(m_add->button(), &QPushButton::clicked, this, &AdvancedServicesPanel::addService);
    connect(m_modify->serviceList(), &QComboBox::currentIndexChanged, this,
            &AdvancedServicesPanel::showService);
    connect(m_modify->button(), &QPushButton::clicked, this, &AdvancedServicesPanel::modifyService);
}

void AdvancedServicesPanel::setRooms(const QStringList &roomNames)
{
    m_roomNames = roomNames;
    m_add->view()->setup(roomNames, m_add->rate()->currentText());
    m_modify->view()->setup(roomNames, m_modify->rate()->currentText());
}

void AdvancedServicesPanel::fillRates(const ChoiceList &rates)
{
    ChoiceCombo::fill(m_add->rate(), rates);
    ChoiceCombo::fill(m_modify->rate(), rates);
}

void AdvancedServicesPanel::fillServices(const ChoiceList &services)
{
    ChoiceCombo::fill(m_modify->serviceList(), services);
}

void AdvancedServicesPanel::clearEntries()
{
    for (RoomPricesPage *page : {m_add, m_modify}) {
        page->label()->clear();
        page->prices()->resetPrices(page->rate()->currentText());
        page->freeForChildren()->setChecked(false);
        page->automatic()->setChecked(false);
    }
}

// Rooms of the grid that config.ini still counts. Read now: a count that cannot
// be read refuses the action with its reason instead of storing nothing.
int AdvancedServicesPanel::roomsNow() const
{
    return qMin(Settings::roomCount(15), int(m_roomNames.size()));
}

void AdvancedServicesPanel::addService()
{
    const QString label = m_add->label()->text();
    if (label.isEmpty())
        return;
    m_add->view()->commitEditing();
    const bool done = runUserAction([&] {
        Prestation().ajouterPrestationParChambre(label, m_add->prices()->grid(), roomsNow(),
                                                 flag(m_add->freeForChildren()), flag(m_add->automatic()));
    });
    if (!done)
        return;
    Dialogs::information(QStringLiteral("Prestation enregistrée"));
    m_add->label()->clear();
    m_add->prices()->setRoomNames(m_roomNames);
    emit servicesChanged();
}

void AdvancedServicesPanel::showService()
{
    const int service = ChoiceCombo::value(m_modify->serviceList());
    bool found = false;
    runUserAction([&] {
        const Prestation prestation;
        TextGrid prices(int(m_roomNames.size()) + 1, 4);
        const QString rate = service != 0 ? prestation.getTauxTva(service, 1) : QString();
        // A room without a row of the service yet shows the rate its typed
        // prices follow, and is stored with it.
        for (int room = 1; room < prices.rowCount(); ++room)
            prices.setCell(room, 2, rate);
        found = service != 0 && prestation.afficherTarifsChambres(prices, service);
        if (!found)
            return;
        m_modify->label()->setText(m_modify->serviceList()->currentText());
        m_modify->showRate(rate);
        m_modify->prices()->setPrices(prices);
        // Prices typed from now on follow the rate shown.
        m_modify->prices()->setTypingRate(m_modify->rate()->currentText());
        m_modify->freeForChildren()->setChecked(prestation.estGratuitEnfant(service, 1));
        m_modify->automatic()->setChecked(prestation.estAjoutAuto(service, 1));
    });
    if (!found)
        resetModification();
}

void AdvancedServicesPanel::modifyService()
{
    const int service = ChoiceCombo::value(m_modify->serviceList());
    const QString label = m_modify->label()->text();
    // Without a chosen service there is nothing to change: saying "mise à jour" would be false.
    if (label.isEmpty() || service == 0)
        return;
    m_modify->view()->commitEditing();
    const bool done = runUserAction([&] {
        Prestation().modifierPrestationParChambre(service, label, m_modify->prices()->grid(), roomsNow());
    });
    if (!done)
        return;
    Dialogs::information(QStringLiteral("Prestation mise à jour"));
    emit servicesChanged();
    resetModification();
}

void AdvancedServicesPanel::resetModification()
{
    m_modify->label()->clear();
    m_modify->prices()->resetPrices(m_modify->rate()->currentText());
}
