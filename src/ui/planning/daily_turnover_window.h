#pragma once

#include "common/text_grid.h"

#include <QDialog>

class QAction;
class QMenu;
class QTableWidget;

// The day-by-day turnover of one month ("Détails de …"): one row per week
// from Monday to Sunday, the days of the neighbouring months included, and the
// week's total; its context menu sends the grid to a spreadsheet.
class TForm8 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm8(QWidget *parent = nullptr);

    // Fills the grid for month M of year Y. Throws DatabaseError.
    void afficherDetailsMois(int annee, int mois);
    const TextGrid &grid() const { return m_grid; }
    QTableWidget *table() const { return m_table; }
    QMenu *menu() const { return m_menu; }
    QAction *exportAction() const { return m_export; }

    // "Exporter sous Excel": the grid titled "CA Hebdomadaire ", first column
    // included. The file written, empty on failure (reported in a box).
    QString exporterExcel(bool leaveOpen = true);

private:
    void showGrid(const TextGrid &grid);

    QTableWidget *m_table;
    QMenu *m_menu;
    QAction *m_export;
    TextGrid m_grid;
};
