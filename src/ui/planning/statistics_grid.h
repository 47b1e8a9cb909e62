#pragma once

#include "common/text_grid.h"

#include <QStringList>
#include <QTableWidget>

// The table of the statistics tab: months against rooms. Its header row holds
// the room names, then "Total" and "%"; column 0 the months and "Total". The
// figures are written by the statistics computation.
class StatisticsGrid : public QTableWidget
{
    Q_OBJECT

public:
    explicit StatisticsGrid(QWidget *parent = nullptr);

    // N + 3 columns: the month labels, one per room, "Total" and "%".
    void setRooms(const QStringList &roomNames);
    int roomCount() const { return columnCount() - 3; }
    QStringList headerTexts() const;

    // "Janvier" .. "Décembre", then "Total": the labels of rows 0..12.
    static QStringList rowLabels();

    // Shows the figures of a statistics grid (row 0 titles, rows 1..13 the
    // months and the total); cells outside the grid are emptied.
    void setFigures(const TextGrid &grid);
    // What the table shows, as a grid: the header texts, then rows 0..12.
    TextGrid figures() const;
};
