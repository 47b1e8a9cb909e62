#pragma once

#include "planning/planning_print.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QDateEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Configuration de l'impression": the week or month to print, what the cells
// show, the change-of-client marks and the number of copies.
class TForm10 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm10(QWidget *parent = nullptr);

    // "Hebdomadaire" chooses the week, anything else the month.
    void SelectVueAffichage(const QString &view);
    // "Etat" chooses the rooms' states, anything else the occupants' names.
    void SelectEtatAffichage(const QString &mode);
    void setDate(const QDate &date);

    // Reads the room count and the change-mark setting, readies "Imprimer".
    void FormShow();
    // "Imprimer": every copy as its own job, then the form closes. A printing
    // error is shown and the form stays open.
    void Button1Click();

    PlanningPrint::Options options() const;

    // Where the pages go: the default printer unless a test sends them elsewhere.
    using Printer = std::function<void(const PlanningPrint::Options &)>;
    void setPrinter(Printer printer) { m_printer = std::move(printer); }

    int exec() override;

    QRadioButton *weekOption() const { return m_week; }
    QRadioButton *monthOption() const { return m_month; }
    QRadioButton *namesOption() const { return m_names; }
    QCheckBox *changeMarks() const { return m_changeMarks; }
    QSpinBox *copies() const { return m_copies; }
    QDateEdit *date() const { return m_date; }
    QPushButton *printButton() const { return m_print; }

private:
    Printer m_printer;
    QRadioButton *m_week;
    QRadioButton *m_month;
    QRadioButton *m_states;
    QRadioButton *m_names;
    QCheckBox *m_changeMarks;
    QSpinBox *m_copies;
    QDateEdit *m_date;
    QPushButton *m_print;
};
