#pragma once

#include "common/text_grid.h"

#include <QDialog>

#include <functional>

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

    using Exporter = std::function<void(const QString &title, const TextGrid &grid)>;
    void setExporter(Exporter exporter);

private:
    void showGrid(const TextGrid &grid);

    QTableWidget *m_table;
    QMenu *m_menu;
    QAction *m_export;
    TextGrid m_grid;
    Exporter m_exporter;
};
