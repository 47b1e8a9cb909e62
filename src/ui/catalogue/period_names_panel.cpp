#include "ui/catalogue/period_names_panel.h"

#include "ui/catalogue/choice_combo.h"
#include "catalogue/user_action.h"
#include "common/dialogs.h"
#include "data/periode.h"
#include "settings/settings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *button(QWidget *parent, const QString &text, const QString &name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QComboBox *periodList(QWidget *parent, const QString &name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(20);
    return box;
}

} // namespace

PeriodNamesPanel::PeriodNamesPanel(QWidget *parent) : QWidget(parent)
{
    auto *add = new QGroupBox(QStringLiteral("Ajout"), this);
    m_newName = new QLineEdit(add);
    m_newName->setObjectName(QStringLiteral("newPeriodName"));
    QPushButton *addButton = button(add, QStringLiteral("Ajouter"), QStringLiteral("addPeriodButton"));
    auto *addRow = new QHBoxLayout(add);
    addRow->addWidget(m_newName, 1);
    addRow->addWidget(addButton);

    auto *rename = new QGroupBox(QStringLiteral("Modification"), this);
    m_renameList = periodList(rename, QStringLiteral("renamePeriodList"));
    m_rename = new QLineEdit(rename);
    m_rename->setObjectName(QStringLiteral("renamePeriodName"));
    QPushButton *renameButton =
        button(rename, QStringLiteral("Modifier"), QStringLiteral("renamePeriodButton"));
    auto *renameRow = new QHBoxLayout(rename);
    renameRow->addWidget(m_renameList, 1);
    renameRow->addWidget(m_rename, 1);
    renameRow->addWidget(renameButton);

    auto *remove = new QGroupBox(QStringLiteral("Suppression"), this);
    m_deleteList = periodList(remove, QStringLiteral("deletePeriodList"));
    QPushButton *deleteButton =
        button(remove, QStringLiteral("Supprimer"), QStringLiteral("deletePeriodButton"));
    auto *deleteRow = new QHBoxLayout(remove);
    deleteRow->addWidget(m_deleteList, 1);
    deleteRow->addWidget(deleteButton);

    auto *column = new QVBoxLayout(this);
    column->addWidget(add);
    column->addWidget(rename);
    column->addWidget(remove);
    column->addStretch(1);

    connect(addButton, &QPushButton::clicked, this, &PeriodNamesPanel::addPeriod);
    connect(m_renameList, &QComboBox::currentIndexChanged, this, &PeriodNamesPanel::showPeriod);
    connect(renameButton, &QPushButton::clicked, this, &PeriodNamesPanel::renamePeriod);
    connect(deleteButton, &QPushButton::clicked, this, &PeriodNamesPanel::deletePeriod);
}

void PeriodNamesPanel::fillPeriods(const ChoiceList &periods)
{
    ChoiceCombo::fill(m_renameList, periods);
    ChoiceCombo::fill(m_deleteList, periods);
}

void PeriodNamesPanel::addPeriod()
{
    const QString name = m_newName->text();
    if (name.isEmpty())
        return;
    // The new period starts with the base prices of every service in every room.
    // The room count is read now: one that cannot be read refuses the period with its reason.
    if (!runUserAction([&] {
            m_rooms = Settings::roomCount(15);
            Periode().creerPeriode(name, m_rooms);
        }))
        return;
    Dialogs::information(QStringLiteral("Période enregistrée"));
    m_newName->clear();
    emit periodsChanged();
}

void PeriodNamesPanel::showPeriod()
{
    if (ChoiceCombo::value(m_renameList) == 0)
        m_rename->clear();
    else
        m_rename->setText(m_renameList->currentText());
}

void PeriodNamesPanel::renamePeriod()
{
    const int period = ChoiceCombo::value(m_renameList);
    const QString name = m_rename->text();
    if (name.isEmpty() || period == 0)
        return;
    int renamed = 0;
    if (!runUserAction([&] { renamed = Periode().renommerPeriode(period, name); }))
        return;
    if (renamed > 0)
        Dialogs::information(QStringLiteral("Période mise à jour"));
    m_rename->clear();
    emit periodsChanged();
}

void PeriodNamesPanel::deletePeriod()
{
    const int period = ChoiceCombo::value(m_deleteList);
    if (period == 0)
        return;
    // Its calendar ranges and its prices go with it.
    if (!Dialogs::question(QStringLiteral("Comfirmez-vous la suppression de cette période ?"), false))
        return;
    int deleted = 0;
    if (!runUserAction([&] { deleted = Periode().supprimerPeriode(period); }))
        return;
    if (deleted > 0) {
        Dialogs::information(QStringLiteral("Suppression effectuée"));
        emit periodsChanged();
    }
}
