#pragma once

#include <QString>

class QAbstractItemModel;
class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QTableView;
class QWidget;

// Pieces that several catalogue windows build the same way.
namespace CatalogueWidgets {

// A read-only list of records: whole rows, one at a time, compact rows.
QTableView *recordTable(QWidget *parent, const QString &objectName, QAbstractItemModel *model);

// The bottom row of a service group: the children flag, the automatic flag
// (kept for the stored value, hidden: nothing adds services by itself yet) and
// the group's action button on the right.
struct ServiceActionRow
{
    QCheckBox *freeForChildren;
    QCheckBox *automatic;
    QPushButton *button;
    QHBoxLayout *layout;
};
ServiceActionRow serviceActionRow(QWidget *parent, const QString &prefix, const QString &buttonText);

} // namespace CatalogueWidgets
