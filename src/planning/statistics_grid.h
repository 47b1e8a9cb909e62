#pragma once

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
};
