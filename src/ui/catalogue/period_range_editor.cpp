#include "ui/catalogue/period_range_editor.h"

#include "ui/catalogue/choice_combo.h"
#include "catalogue/user_action.h"
#include "common/choice_list.h"
#include "common/format.h"
#include "data/periode.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QDateEdit *dateField(QWidget *parent, const QString &name)
{
    auto *edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return edit;
}

} // namespace

TselectPeriod::TselectPeriod(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Période"));
    setObjectName(QStringLiteral("TselectPeriod"));

    m_period = new QComboBox(this);
    m_period->setObjectName(QStringLiteral("period"));
    m_period->setMinimumContentsLength(20);
    m_period->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_start = dateField(this, QStringLiteral("startDate"));
    m_end = dateField(this, QStringLiteral("endDate"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Période"), m_period);
    form->addRow(QStringLiteral("Date de début"), m_start);
    form->addRow(QStringLiteral("Date de fin"), m_end);

    auto *ok = new QPushButton(QStringLiteral("Valider"), this);
    ok->setObjectName(QStringLiteral("validate"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Annuler"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &TselectPeriod::validate);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TselectPeriod::preparer(const TextGrid &grille, int ligne, int annee)
{
    m_grid = grille;
    m_line = ligne;
    m_year = annee;
    m_stored = false;

    const QDate last(annee, 12, 31);
    m_start->setDateRange(QDate(annee, 1, 1), last);
    m_end->setDateRange(QDate(annee, 1, 1), last);
    fillPeriods();
    if (rowHoldsRange()) {
        m_start->setDate(Format::parseDate(m_grid.cell(ligne, 3)));
        m_end->setDate(Format::parseDate(m_grid.cell(ligne, 4)));
        return;
    }
    // A new range starts after the last one listed.
    const QDate first = firstAllowedDate();
    m_start->setDateRange(first, last);
    m_end->setDateRange(first, last);
    m_start->setDate(first);
    m_end->setDate(first);
}

QDate TselectPeriod::firstAllowedDate() const
{
    const QDate lastEnd = Format::parseDate(m_grid.cell(m_grid.rowCount() - 2, 4));
    if (lastEnd.isValid() && lastEnd.year() == m_year && lastEnd < QDate(m_year, 12, 31))
        return lastEnd.addDays(1);
    return QDate(m_year, 1, 1);
}

bool TselectPeriod::rowHoldsRange() const
{
    return !m_grid.cell(m_line, 1).isEmpty();
}

void TselectPeriod::fillPeriods()
{
    ChoiceList periods;
    runUserAction([&] { Periode().remplirListePeriodes(periods); });
    ChoiceCombo::fill(m_period, periods);
    if (rowHoldsRange())
        ChoiceCombo::selectValue(m_period, m_grid.cell(m_line, 1).toInt());
}

void TselectPeriod::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Periods may have been renamed or added since the editor was prepared.
    fillPeriods();
}

bool TselectPeriod::run()
{
    exec();
    return m_stored;
}

void TselectPeriod::validate()
{
    const int period = ChoiceCombo::value(m_period);
    if (period == 0)
        return;
    const QDate start = m_start->date();
    const QDate end = m_end->date();
    const int range = m_grid.cell(m_line, 0).toInt();
    int added = 0;
    // The range is stored first: a refused range leaves the grid and the editor as they were.
    const bool stored = runUserAction([&] {
        Periode periode;
        if (range > 0)
            periode.modifierPlageCalendrier(range, period, start, end);
        else
            added = periode.ajouterPlageCalendrier(period, start, end);
    });
    if (!stored)
        return;
    m_grid.setRow(m_line,
                  {range > 0 ? QString::number(range) : QString::number(added), QString::number(period),
                   m_period->currentText(), Format::date(start), Format::date(end)});
    if (range <= 0)
        m_grid.setRowCount(m_grid.rowCount() + 1);
    m_stored = true;
    accept();
}
