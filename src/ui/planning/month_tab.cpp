#include "ui/planning/month_tab.h"

#include "ui/planning/month_grid.h"
#include "ui/planning/state_legend.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

MonthTab::MonthTab(QWidget *parent)
    : QWidget(parent), m_grid(new MonthGrid(this)), m_title(new QLabel(this)),
      m_previous(new QPushButton(QStringLiteral("<-- Précédent"), this)),
      m_next(new QPushButton(QStringLiteral("Suivant -->"), this)),
      m_today(new QPushButton(QStringLiteral("Aujourd'hui"), this)), m_legend(new StateLegend(this))
{
    setObjectName(QStringLiteral("monthTab"));
    m_title->setObjectName(QStringLiteral("monthTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    QFont titleFont = m_title->font();
    titleFont.setPointSize(titleFont.pointSize() + 2);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_previous->setObjectName(QStringLiteral("Button1"));
    m_next->setObjectName(QStringLiteral("Button2"));
    m_today->setObjectName(QStringLiteral("monthToday"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_previous);
    top->addWidget(m_title, 1);
    top->addWidget(m_next);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_today);
    bottom->addStretch(1);
    bottom->addWidget(m_legend);
    layout->addLayout(bottom);
}
