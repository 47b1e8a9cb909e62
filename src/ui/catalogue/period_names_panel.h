#pragma once

#include <QWidget>

class ChoiceList;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Nom des périodes" of the tariff periods window: adds, renames and deletes
// the named periods (seasons).
class PeriodNamesPanel : public QWidget
{
    Q_OBJECT

public:
    explicit PeriodNamesPanel(QWidget *parent = nullptr);

    void setRoomCount(int rooms) { m_rooms = rooms; }
    void fillPeriods(const ChoiceList &periods);

signals:
    // A period was added, renamed or deleted: lists and calendar must be refilled.
    void periodsChanged();

private:
    void addPeriod();
    void showPeriod();
    void renamePeriod();
    void deletePeriod();

    int m_rooms = 0;
    QLineEdit *m_newName;
    QComboBox *m_renameList;
    QLineEdit *m_rename;
    QComboBox *m_deleteList;
};
