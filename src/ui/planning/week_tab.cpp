#include "ui/planning/week_tab.h"

#include "ui/planning/state_legend.h"
#include "ui/planning/week_grid.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

WeekTab::WeekTab(QWidget *parent)
    : QWidget(parent), m_grid(new WeekGrid(this)), m_calendar(new QCalendarWidget(this)),
      m_title(new QLabel(this)), m_previous(new QPushButton(QStringLiteral("Précédent"), this)),
      m_next(new QPushButton(QStringLiteral(" Suivant"), this)),
      m_today(new QPushButton(QStringLiteral("Aujourd'hui"), this)), m_legend(new StateLegend(this)),
      m_entryPanelArea(new QWidget(this))
{
    setObjectName(QStringLiteral("weekTab"));
    m_title->setObjectName(QStringLiteral("weekTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    QFont titleFont = m_title->font();
    titleFont.setPointSize(titleFont.pointSize() + 2);
    titleFont.setBold(true);
    m_title->setFont(titleFont);

    m_calendar->setObjectName(QStringLiteral("MonthCalendar1"));
    m_calendar->setLocale(QLocale(QLocale::French, QLocale::France));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setGridVisible(true);
    m_calendar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_calendar->setFixedSize(m_calendar->sizeHint().expandedTo(QSize(300, 210)));
    m_previous->setObjectName(QStringLiteral("Precedent"));
    m_next->setObjectName(QStringLiteral("Suivant"));
    m_today->setObjectName(QStringLiteral("weekToday"));

    m_entryPanelArea->setObjectName(QStringLiteral("entryPanelArea"));
    m_entryPanelArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *panelLayout = new QVBoxLayout(m_entryPanelArea);
    panelLayout->setContentsMargins(0, 0, 0, 0);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_previous);
    buttons->addStretch(1);
    buttons->addWidget(m_today);
    buttons->addStretch(1);
    buttons->addWidget(m_next);

    auto *left = new QVBoxLayout;
    left->addWidget(m_calendar);
    left->addLayout(buttons);
    left->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->addLayout(left);
    bottom->addWidget(m_entryPanelArea, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_grid);
    layout->addWidget(m_legend, 0, Qt::AlignRight);
    layout->addLayout(bottom, 1);
}
