#include "ui/catalogue/tariff_calendar_panel.h"
#include "ui/catalogue/catalogue_widgets.h"

#include "ui/catalogue/period_range_editor.h"
#include "catalogue/text_grid_model.h"
#include "catalogue/user_action.h"
#include "common/dialogs.h"
#include "data/periode.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

TextGrid emptyCalendar()
{
    TextGrid grid(2, 5);
    grid.setRow(
        0, {QString(), QString(), QStringLiteral("Période"), QStringLiteral("Du"), QStringLiteral("Au")});
    return grid;
}

} // namespace

TariffCalendarPanel::TariffCalendarPanel(QWidget *parent)
    : QWidget(parent), m_model(new TextGridModel(this)), m_editor(new TselectPeriod(this))
{
    m_yearLabel = new QLabel(this);
    m_yearLabel->setObjectName(QStringLiteral("yearLabel"));
    QFont bold = m_yearLabel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    m_yearLabel->setFont(bold);
    m_yearLabel->setAlignment(Qt::AlignCenter);
    auto *previous = new QPushButton(QStringLiteral("Précédent"), this);
    previous->setObjectName(QStringLiteral("previousYear"));
    auto *next = new QPushButton(QStringLiteral("Suivant"), this);
    next->setObjectName(QStringLiteral("nextYear"));
    auto *years = new QHBoxLayout;
    years->addWidget(previous);
    years->addWidget(m_yearLabel, 1);
    years->addWidget(next);

    m_model->setGrid(emptyCalendar());
    m_view = CatalogueWidgets::recordTable(this, QStringLiteral("calendar"), m_model);
    m_view->setColumnHidden(0, true);
    m_view->setColumnHidden(1, true);
    m_view->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_view->setColumnWidth(3, 100);
    m_view->setColumnWidth(4, 100);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);

    m_menu = new QMenu(this);
    m_add = m_menu->addAction(QStringLiteral("Ajouter"));
    m_add->setObjectName(QStringLiteral("addRange"));
    m_modify = m_menu->addAction(QStringLiteral("Modifier"));
    m_modify->setObjectName(QStringLiteral("modifyRange"));
    m_delete = m_menu->addAction(QStringLiteral("Supprimer"));
    m_delete->setObjectName(QStringLiteral("deleteRange"));

    auto *column = new QVBoxLayout(this);
    column->addLayout(years);
    column->addWidget(m_view, 1);

    connect(previous, &QPushButton::clicked, this, [this] { setYear(m_year - 1); });
    connect(next, &QPushButton::clicked, this, [this] { setYear(m_year + 1); });
    connect(m_view, &QTableView::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_view->viewport()->mapToGlobal(pos)); });
    connect(m_view, &QTableView::doubleClicked, this, &TariffCalendarPanel::editCurrentRow);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TariffCalendarPanel::updateActions);
    connect(m_add, &QAction::triggered, this, &TariffCalendarPanel::editCurrentRow);
    connect(m_modify, &QAction::triggered, this, &TariffCalendarPanel::editCurrentRow);
    connect(m_delete, &QAction::triggered, this, &TariffCalendarPanel::deleteCurrentRow);
}

void TariffCalendarPanel::setYear(int year)
{
    m_year = year;
    m_yearLabel->setText(QString::number(year));
    refill();
}

void TariffCalendarPanel::refill()
{
    const int row = currentGridRow();
    TextGrid grid = emptyCalendar();
    runUserAction([&] { Periode().afficherCalendrier(m_year, grid); });
    m_model->setGrid(grid);
    setCurrentGridRow(qBound(1, row, grid.rowCount() - 1));
}

int TariffCalendarPanel::currentGridRow() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void TariffCalendarPanel::setCurrentGridRow(int row)
{
    if (row >= 1 && row < m_model->grid().rowCount())
        m_view->setCurrentIndex(m_model->index(row - 1, 2));
    updateActions();
}

void TariffCalendarPanel::updateActions()
{
    const int row = currentGridRow();
    const bool holdsRange = row > 0 && !m_model->cell(row, 1).isEmpty();
    m_add->setEnabled(row > 0 && !holdsRange);
    m_modify->setEnabled(holdsRange);
    m_delete->setEnabled(holdsRange);
}

void TariffCalendarPanel::editCurrentRow()
{
    const int row = currentGridRow();
    if (row <= 0)
        return;
    m_editor->preparer(m_model->grid(), row, m_year);
    m_editor->run();
    refill();
}

void TariffCalendarPanel::deleteCurrentRow()
{
    const int row = currentGridRow();
    const int range = m_model->cell(row, 0).toInt();
    if (row <= 0 || range <= 0)
        return;
    if (!Dialogs::question(QStringLiteral("Comfirmez-vous la suppression de cette période tarifaire ?"),
                           false))
        return;
    runUserAction([&] { Periode().supprimerPlageCalendrier(range); });
    refill();
}
