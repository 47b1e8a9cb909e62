#include "ui/catalogue/catalogue_widgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

namespace CatalogueWidgets {

QTableView *recordTable(QWidget *parent, const QString &objectName, QAbstractItemModel *model)
{
    auto *view = new QTableView(parent);
    view->setObjectName(objectName);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    return view;
}

ServiceActionRow serviceActionRow(QWidget *parent, const QString &prefix, const QString &buttonText)
{
    ServiceActionRow row{};
    row.freeForChildren = new QCheckBox(QStringLiteral("Gratuit pour les enfants"), parent);
    row.freeForChildren->setObjectName(prefix + QStringLiteral("FreeForChildren"));
    row.automatic = new QCheckBox(QStringLiteral("Ajouter automatiquement avec la réservation"), parent);
    row.automatic->setObjectName(prefix + QStringLiteral("Automatic"));
    row.automatic->hide();
    row.button = new QPushButton(buttonText, parent);
    row.button->setObjectName(prefix + QStringLiteral("Button"));
    row.layout = new QHBoxLayout;
    row.layout->addWidget(row.freeForChildren);
    row.layout->addWidget(row.automatic);
    row.layout->addStretch(1);
    row.layout->addWidget(row.button);
    return row;
}

} // namespace CatalogueWidgets
