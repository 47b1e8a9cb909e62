#include "ui/planning/daily_turnover_window.h"

#include "ui/clients/export_progress.h"
#include "planning/statistics_table.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QVBoxLayout>

TForm8::TForm8(QWidget *parent)
    : QDialog(parent), m_table(new QTableWidget(this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("TForm8"));
    m_table->setObjectName(QStringLiteral("StringGrid1"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);

    m_export = m_menu->addAction(QStringLiteral("Exporter sous Excel"));
    m_export->setObjectName(QStringLiteral("exporterExcel"));
    connect(m_export, &QAction::triggered, this, [this] { exporterExcel(); });
    connect(m_table, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_table->viewport()->mapToGlobal(pos)); });

    TextGrid titles(1, 9);
    titles.setRow(0, StatisticsTable::dailyTitles());
    showGrid(titles);
    resize(200 + 8 * 95 + 30, 300);
}

QString TForm8::exporterExcel(bool leaveOpen)
{
    return ExportProgress::exporter(this, m_grid, QStringLiteral("CA Hebdomadaire "), leaveOpen,
                                    StatisticsTable::sheetOptions(StatisticsTable::ChiffreAffaires));
}

void TForm8::afficherDetailsMois(int annee, int mois)
{
    showGrid(StatisticsTable::dailyTurnover(annee, mois));
}

void TForm8::showGrid(const TextGrid &grid)
{
    m_grid = grid;
    m_table->clear();
    m_table->setColumnCount(grid.columnCount());
    m_table->setRowCount(grid.rowCount() - 1);
    m_table->setHorizontalHeaderLabels(grid.row(0));
    for (int row = 1; row < grid.rowCount(); ++row) {
        for (int column = 0; column < grid.columnCount(); ++column) {
            auto *cell = new QTableWidgetItem(grid.cell(row, column));
            if (column > 0)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row - 1, column, cell);
        }
    }
    // 180 pixels, or what the week's label needs in the font in use.
    int labelWidth = 180;
    for (int row = 1; row < grid.rowCount(); ++row)
        labelWidth = qMax(labelWidth, m_table->fontMetrics().horizontalAdvance(grid.cell(row, 0)) + 16);
    m_table->setColumnWidth(0, labelWidth);
    for (int column = 1; column < grid.columnCount(); ++column)
        m_table->setColumnWidth(column, 95);
}
