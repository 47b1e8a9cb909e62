#include "ui/planning/statistics_grid.h"

#include "planning/statistics_table.h"

#include <QHeaderView>

StatisticsGrid::StatisticsGrid(QWidget *parent) : QTableWidget(parent)
{
    setObjectName(QStringLiteral("statisticsGrid"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(28);
    horizontalHeader()->setMinimumSectionSize(20);
    horizontalHeader()->setTextElideMode(Qt::ElideRight);
    QFont headerFont = horizontalHeader()->font();
    headerFont.setPointSize(8);
    horizontalHeader()->setFont(headerFont);

    setRooms({});
    const QStringList labels = rowLabels();
    setRowCount(int(labels.size()));
    for (int row = 0; row < labels.size(); ++row) {
        auto *item = new QTableWidgetItem(labels.at(row));
        QFont f = item->font();
        f.setBold(row == labels.size() - 1);
        item->setFont(f);
        setItem(row, 0, item);
    }
}

QStringList StatisticsGrid::rowLabels()
{
    return StatisticsTable::rowLabels();
}

void StatisticsGrid::setFigures(const TextGrid &grid)
{
    setUpdatesEnabled(false);
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 1; column < columnCount(); ++column) {
            const QString text = grid.cell(row + 1, column);
            QTableWidgetItem *cell = item(row, column);
            if (!cell) {
                if (text.isEmpty())
                    continue;
                cell = new QTableWidgetItem;
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                setItem(row, column, cell);
            }
            if (cell->text() != text)
                cell->setText(text);
        }
    }
    setUpdatesEnabled(true);
}

TextGrid StatisticsGrid::figures() const
{
    TextGrid grid(rowCount() + 1, columnCount());
    grid.setRow(0, headerTexts());
    for (int row = 0; row < rowCount(); ++row)
        for (int column = 0; column < columnCount(); ++column)
            if (const QTableWidgetItem *cell = item(row, column))
                grid.setCell(row + 1, column, cell->text());
    return grid;
}

void StatisticsGrid::setRooms(const QStringList &roomNames)
{
    const int n = int(roomNames.size());
    setColumnCount(n + 3);
    QStringList headers;
    headers << QString() << roomNames << QStringLiteral("Total") << QStringLiteral("%");
    setHorizontalHeaderLabels(headers);
    QHeaderView *header = horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->resizeSection(0, 100);
}

QStringList StatisticsGrid::headerTexts() const
{
    QStringList texts;
    for (int c = 0; c < columnCount(); ++c) {
        const QTableWidgetItem *item = horizontalHeaderItem(c);
        texts << (item ? item->text() : QString());
    }
    return texts;
}
