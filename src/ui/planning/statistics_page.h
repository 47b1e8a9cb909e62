#pragma once

#include "common/text_grid.h"
#include "data/year_figures.h"

#include <QObject>

class PlanningRefreshers;
class QAction;
class QComboBox;
class QMenu;
class QProgressBar;
class QWidget;
class StatisticsGrid;
class TForm8;

// The statistics tab of the main window: the year list ("Année : ") and the
// measure list in the tab's bar, the grid of months against rooms computed by
// the delayed statistics fill, the day-by-day turnover window on a double click
// of a month, and the grid's "Exporter sous Excel".
class StatisticsPage : public QObject
{
    Q_OBJECT

public:
    // Puts its lists into toolbar and installs its fill on the refreshers.
    StatisticsPage(QWidget *toolbar, StatisticsGrid *grid, PlanningRefreshers *refreshers,
                  QProgressBar *progress, QWidget *parent);

    // Rebuilds the year list from the database: the years holding a night, in
    // increasing order; the year shown before stays chosen while it exists,
    // else the current year, else the first one.
    void InitListeAnnee();
    // First fill at start-up: the first measure, the year list, every room.
    void InitalisationStats();
    // The delayed fill: every room when room is 0, that room's column when
    // room > 0, both after a change of the database (the year list and the
    // figures are read again). With PlanningRefreshers::kSameData the year's
    // figures kept from the last read are shown in the chosen measure; only
    // another year is read. Without any year the grid shows no figures.
    void fill(int room);
    // A double click on the grid: the day-by-day turnover of a month (rows
    // 0..11 of the table) when the measure is the turnover.
    void StringGrid1DblClick(int tableRow);

    QComboBox *yearList() const { return m_years; }
    QComboBox *measureList() const { return m_measures; }
    TForm8 *detailsWindow() const { return m_details; }
    QMenu *menu() const { return m_menu; }
    QAction *exportAction() const { return m_export; }
    // The figures shown (row 0 titles).
    const TextGrid &grid() const { return m_figures; }

    int selectedYear() const;
    int selectedMeasure() const;

    // "Exporter sous Excel": the grid as shown, first column included, titled
    // with the measure, into exports/ of the data directory (opened when
    // leaveOpen). The file written, empty on failure (reported in a box).
    QString exporterExcel(bool leaveOpen = true);

private:
    void selectorChanged();

    StatisticsGrid *m_grid;
    PlanningRefreshers *m_refreshers;
    QProgressBar *m_progress;
    QComboBox *m_years;
    QComboBox *m_measures;
    QMenu *m_menu;
    QAction *m_export;
    TForm8 *m_details;
    TextGrid m_figures;
    // The three measures of the year last read for every room; empty (year 0)
    // when a change may have made them stale.
    YearFigures m_yearFigures;
    int m_figuresYear = 0;
    int m_figuresMeasure = -1;
    bool m_withProgress = false;
    bool m_filling = false; // the year list is being rebuilt
};
