#pragma once

#include <QDialog>

class PeriodNamesPanel;
class QTabWidget;
class TariffCalendarPanel;

// The tariff periods window: names the periods (seasons) and plans their date
// ranges year by year. Shown modally from the menu.
class TForm9 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm9(QWidget *parent = nullptr);

    // Reads the number of rooms, refills the period lists and shows the
    // calendar of the current year; done each time the window is shown.
    void reload();

    PeriodNamesPanel *names() const { return m_names; }
    TariffCalendarPanel *calendar() const { return m_calendar; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void reloadPeriods();

    QTabWidget *m_tabs;
    PeriodNamesPanel *m_names;
    TariffCalendarPanel *m_calendar;
};
