#include "ui/catalogue/periods_form.h"

#include "ui/catalogue/period_names_panel.h"
#include "ui/catalogue/tariff_calendar_panel.h"
#include "catalogue/user_action.h"
#include "common/choice_list.h"
#include "data/periode.h"
#include "settings/settings.h"

#include <QDate>
#include <QTabWidget>
#include <QVBoxLayout>

TForm9::TForm9(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Périodes tarifaires"));
    setObjectName(QStringLiteral("TForm9"));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("periodTabs"));
    m_names = new PeriodNamesPanel(m_tabs);
    m_calendar = new TariffCalendarPanel(m_tabs);
    m_tabs->addTab(m_names, QStringLiteral("Nom des périodes"));
    m_tabs->addTab(m_calendar, QStringLiteral("Calendrier"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    resize(520, 420);

    connect(m_names, &PeriodNamesPanel::periodsChanged, this, [this] {
        reloadPeriods();
        // Ranges of a renamed or deleted period show differently.
        m_calendar->refill();
    });
}

void TForm9::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    reload();
}

void TForm9::reload()
{
    runUserAction([&] { m_names->setRoomCount(Settings::roomCount(15)); });
    reloadPeriods();
    m_calendar->setYear(QDate::currentDate().year());
}

void TForm9::reloadPeriods()
{
    ChoiceList periods;
    runUserAction([&] { Periode().remplirListePeriodes(periods); });
    m_names->fillPeriods(periods);
}
