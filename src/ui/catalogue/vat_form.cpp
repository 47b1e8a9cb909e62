#include "ui/catalogue/vat_form.h"
#include "ui/catalogue/catalogue_widgets.h"

#include "catalogue/text_grid_model.h"
#include "catalogue/user_action.h"
#include "ui/catalogue/vat_editor.h"
#include "common/dialogs.h"
#include "data/tva.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFormTVA::TFormTVA(QWidget *parent)
    : QDialog(parent), m_model(new TextGridModel(this)), m_editor(new Ttva_details(this))
{
    setWindowTitle(QStringLiteral("Taux de TVA"));
    setObjectName(QStringLiteral("TFormTVA"));

    auto *menus = new QMenuBar(this);
    QMenu *file = menus->addMenu(QStringLiteral("Fichier"));
    QAction *back = file->addAction(QStringLiteral("Retour"));
    back->setObjectName(QStringLiteral("actionRetour"));
    QMenu *edit = menus->addMenu(QStringLiteral("Edition"));
    QAction *add = edit->addAction(QStringLiteral("Ajouter"));
    add->setObjectName(QStringLiteral("actionAjouter"));
    m_modify = edit->addAction(QStringLiteral("Modifier"));
    m_modify->setObjectName(QStringLiteral("actionModifier"));
    m_delete = edit->addAction(QStringLiteral("Supprimer"));
    m_delete->setObjectName(QStringLiteral("actionSupprimer"));

    TextGrid empty(2, 2);
    empty.setCell(0, 1, QStringLiteral("Taux de TVA"));
    m_model->setGrid(empty);
    m_view = CatalogueWidgets::recordTable(this, QStringLiteral("rates"), m_model);
    m_view->setColumnHidden(0, true);
    m_view->setColumnWidth(1, 271);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setMinimumWidth(271 + 2 * m_view->frameWidth() + 20);

    auto *back2 = new QPushButton(QStringLiteral("Retour"), this);
    back2->setObjectName(QStringLiteral("back"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(back2);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    resize(330, 300);

    connect(back, &QAction::triggered, this, &QDialog::accept);
    connect(back2, &QPushButton::clicked, this, &QDialog::accept);
    connect(add, &QAction::triggered, this, &TFormTVA::addRate);
    connect(m_modify, &QAction::triggered, this, &TFormTVA::modifyRate);
    connect(m_delete, &QAction::triggered, this, &TFormTVA::deleteRate);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { selectRow(current.isValid() ? current.row() + 1 : 0); });
}

void TFormTVA::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    refill();
}

void TFormTVA::refill()
{
    TextGrid grid(2, 2);
    grid.setCell(0, 1, QStringLiteral("Taux de TVA"));
    int count = 0;
    runUserAction([&] { count = Tva().afficherTaux(grid); });
    m_model->setGrid(grid);
    m_modify->setEnabled(count > 0);
    m_delete->setEnabled(count > 0);
    m_view->setCurrentIndex(m_model->index(0, 1));
    selectRow(1);
}

void TFormTVA::selectRow(int gridRow)
{
    bool ok = false;
    const int id = m_model->cell(gridRow, 0).toInt(&ok);
    m_selected = gridRow > 0 && ok ? id : -1;
}

void TFormTVA::addRate()
{
    m_editor->nouveauTaux();
    m_editor->run();
    refill();
}

void TFormTVA::modifyRate()
{
    if (m_selected < 0)
        return;
    QString rate;
    runUserAction([&] { rate = Tva().getTaux(m_selected); });
    // A rate deleted meanwhile is edited from an empty field and reported on saving.
    m_editor->modifierTaux(m_selected, rate);
    m_editor->run();
    refill();
}

void TFormTVA::deleteRate()
{
    if (m_selected < 0)
        return;
    if (!Dialogs::question(QStringLiteral("Supprimer ce taux de TVA ?"), false))
        return;
    const int id = m_selected;
    runUserAction([&] { Tva().supprimerTaux(id); });
    refill();
}
