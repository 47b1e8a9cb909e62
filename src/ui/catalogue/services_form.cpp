#include "ui/catalogue/services_form.h"

#include "ui/catalogue/advanced_services_panel.h"
#include "ui/catalogue/standard_services_panel.h"
#include "catalogue/user_action.h"
#include "common/choice_list.h"
#include "data/prestation.h"
#include "data/tva.h"
#include "settings/settings.h"

#include <QMenuBar>
#include <QTabWidget>
#include <QVBoxLayout>

TForm5::TForm5(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Modification des prestations"));
    setObjectName(QStringLiteral("TForm5"));

    auto *menus = new QMenuBar(this);
    QMenu *file = menus->addMenu(QStringLiteral("Fichier"));
    QAction *back = file->addAction(QStringLiteral("Retour"));
    back->setObjectName(QStringLiteral("actionRetour"));
    connect(back, &QAction::triggered, this, &QDialog::accept);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("modeTabs"));
    m_standard = new StandardServicesPanel(m_tabs);
    m_advanced = new AdvancedServicesPanel(m_tabs);
    m_tabs->addTab(m_standard, QStringLiteral("Mode standard"));
    m_tabs->addTab(m_advanced, QStringLiteral("Mode avancé"));

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addWidget(m_tabs);

    resize(560, 560);

    connect(m_standard, &StandardServicesPanel::servicesChanged, this, &TForm5::reloadServices);
    connect(m_advanced, &AdvancedServicesPanel::servicesChanged, this, &TForm5::reloadServices);
}

void TForm5::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    reload();
}

void TForm5::reload()
{
    runUserAction([&] {
        ChoiceList rates;
        Tva().remplirListeTva(rates);
        m_standard->fillRates(rates);
        m_advanced->fillRates(rates);

        const int rooms = Settings::roomCount(15);
        QStringList names;
        for (int room = 1; room <= rooms; ++room)
            names << Settings::roomName(room);
        m_standard->setRoomCount(rooms);
        m_advanced->setRooms(names);
        reloadServices();
    });
    // The rate lists show "---------" again: what was typed before goes.
    m_standard->clearEntries();
    m_advanced->clearEntries();
}

void TForm5::reloadServices()
{
    runUserAction([&] {
        ChoiceList services;
        Prestation().remplirListePrestations(services);
        m_standard->fillServices(services);
        m_advanced->fillServices(services);
    });
}
