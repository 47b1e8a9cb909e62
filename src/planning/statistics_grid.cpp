#include "planning/statistics_grid.h"

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
    // "Févier" is the label the program has always shown.
    return {QStringLiteral("Janvier"), QStringLiteral("Févier"),   QStringLiteral("Mars"),
            QStringLiteral("Avril"),   QStringLiteral("Mai"),      QStringLiteral("Juin"),
            QStringLiteral("Juillet"), QStringLiteral("Aout"),     QStringLiteral("Septembre"),
            QStringLiteral("Octobre"), QStringLiteral("Novembre"), QStringLiteral("Décembre"),
            QStringLiteral("Total")};
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
