#pragma once

#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QTableView;
class TextGridModel;
class TselectPeriod;

// "Calendrier" of the tariff periods window: the date ranges of one year with
// their period, changed one by one through the range editor.
class TariffCalendarPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TariffCalendarPanel(QWidget *parent = nullptr);

    int year() const { return m_year; }
    void setYear(int year);
    // Reads the year's ranges again, keeping the current row where it can.
    void refill();

    TextGridModel *calendar() const { return m_model; }
    QTableView *view() const { return m_view; }
    TselectPeriod *editor() const { return m_editor; }
    // Grid row (1 = first range) of the current row; 0 when there is none.
    int currentGridRow() const;
    void setCurrentGridRow(int row);

    // The context menu's actions, also used by tests.
    void editCurrentRow();
    void deleteCurrentRow();

private:
    void updateActions();

    int m_year = 0;
    QLabel *m_yearLabel;
    QTableView *m_view;
    TextGridModel *m_model;
    QMenu *m_menu;
    QAction *m_add;
    QAction *m_modify;
    QAction *m_delete;
    TselectPeriod *m_editor;
};
