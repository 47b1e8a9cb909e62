#pragma once

#include <QDate>
#include <QDialog>

#include "common/text_grid.h"

class QComboBox;
class QDateEdit;

// The range editor of the tariff calendar: gives one row of a year's calendar
// grid (column 0 range id, 1 period id, 2 period name, 3 start, 4 end) a
// period and its first and last day, within that year. A new range may start
// only after the last range listed. Stores the range before it closes.
class TselectPeriod : public QDialog
{
    Q_OBJECT

public:
    explicit TselectPeriod(QWidget *parent = nullptr);

    // Prepares the editor for a row of the calendar grid of a year; the grid
    // and the year are remembered until the next call.
    void preparer(const TextGrid &grille, int ligne, int annee);
    // Shows the editor modally; true when a range was stored.
    bool run();

    // The grid as the editor left it (the stored range written into its row).
    const TextGrid &grille() const { return m_grid; }
    // The first day a new range may start: the day after the last range listed.
    QDate firstAllowedDate() const;

    // "Valider": nothing while no period is chosen; otherwise stores the range
    // and closes. An invalid range is reported and the editor stays open.
    void validate();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillPeriods();
    bool rowHoldsRange() const;

    TextGrid m_grid;
    int m_line = 0;
    int m_year = 0;
    bool m_stored = false;
    QComboBox *m_period;
    QDateEdit *m_start;
    QDateEdit *m_end;
};
