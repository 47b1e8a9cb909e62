#include "ui/planning/services_grid_widget.h"

#include "ui/catalogue/service_picker.h"
#include "catalogue/text_grid_model.h"
#include "catalogue/user_action.h"
#include "planning/night_entry.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

namespace {

// Quantities and amounts read best right-aligned, as on an invoice.
class ServicesModel : public TextGridModel
{
public:
    using TextGridModel::TextGridModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::TextAlignmentRole && index.column() >= 2)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return TextGridModel::data(index, role);
    }
};

} // namespace

ServicesGridWidget::ServicesGridWidget(QWidget *parent)
    : QTableView(parent), m_model(new ServicesModel(this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("StringGrid1"));
    setModel(m_model);
    m_model->setGrid(NightEntry::emptyServicesGrid());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);

    m_ajouter = m_menu->addAction(QStringLiteral("Ajouter"), this, &ServicesGridWidget::AjoutPrestation);
    m_modifier = m_menu->addAction(QStringLiteral("Modifier"), this, &ServicesGridWidget::MajPrestation);
    m_supprimer = m_menu->addAction(QStringLiteral("Supprimer"), this, &ServicesGridWidget::SuppPrestation);
    m_ajouter->setObjectName(QStringLiteral("ajouterPrestation"));
    m_modifier->setObjectName(QStringLiteral("modifierPrestation"));
    m_supprimer->setObjectName(QStringLiteral("supprimerPrestation"));
    m_modifier->setEnabled(false);
    m_supprimer->setEnabled(false);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { rowSelected(current.isValid() ? current.row() + 1 : -1); });
    layOutColumns();
}

const TextGrid &ServicesGridWidget::grid() const
{
    return m_model->grid();
}

void ServicesGridWidget::setGrid(const TextGrid &grid)
{
    m_model->setGrid(grid);
    rowSelected(-1);
    layOutColumns();
}

void ServicesGridWidget::clearServices()
{
    setGrid(NightEntry::emptyServicesGrid());
}

void ServicesGridWidget::selectGridRow(int gridRow)
{
    if (gridRow >= 1 && gridRow < grid().rowCount())
        setCurrentIndex(m_model->index(gridRow - 1, 1));
}

void ServicesGridWidget::rowSelected(int gridRow)
{
    const bool service = gridRow >= 1 && !grid().cell(gridRow, 0).trimmed().isEmpty();
    m_selectedRow = service ? gridRow : -1;
    m_modifier->setEnabled(service);
    m_supprimer->setEnabled(service);
}

void ServicesGridWidget::MajListePrestations()
{
    TextGrid updated = grid();
    if (!runUserAction([&] { NightEntry::majListePrestations(updated, m_room); }))
        return;
    const int selected = m_selectedRow;
    m_model->setGrid(updated);
    rowSelected(-1);
    selectGridRow(selected);
}

void ServicesGridWidget::AjoutPrestation()
{
    TextGrid edited = grid();
    TSelectPrestation picker(this);
    picker.initListePrestations(edited);
    if (!picker.run())
        return;
    m_model->setGrid(edited);
    rowSelected(-1);
    MajListePrestations();
}

void ServicesGridWidget::MajPrestation()
{
    if (m_selectedRow < 0)
        return;
    const int row = m_selectedRow;
    TextGrid edited = grid();
    TSelectPrestation picker(this);
    picker.initListePrestationsForUpdate(edited, row);
    if (!picker.run())
        return;
    m_model->setGrid(edited);
    rowSelected(-1);
    selectGridRow(row);
    MajListePrestations();
}

void ServicesGridWidget::SuppPrestation()
{
    if (m_selectedRow < 0)
        return;
    TextGrid edited = grid();
    edited.removeRow(m_selectedRow);
    // The grid keeps its trailing empty row for the next entry.
    if (edited.rowCount() < 2 || !edited.isRowEmpty(edited.rowCount() - 1))
        edited.appendRow();
    setGrid(edited);
}

void ServicesGridWidget::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        setCurrentIndex(index);
    m_menu->popup(event->globalPos());
}

void ServicesGridWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (m_selectedRow < 0)
        AjoutPrestation();
    else
        MajPrestation();
}

void ServicesGridWidget::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    layOutColumns();
}

void ServicesGridWidget::layOutColumns()
{
    if (m_model->columnCount() < 7)
        return;
    setColumnHidden(0, true);
    setColumnHidden(6, true);
    const int numbers = fontMetrics().horizontalAdvance(QStringLiteral("0000000,00")) + 12;
    const int nb = fontMetrics().horizontalAdvance(QStringLiteral("Nb000")) + 8;
    setColumnWidth(2, nb);
    for (int c = 3; c <= 5; ++c)
        setColumnWidth(c, numbers);
    // The label takes what the numbers leave.
    setColumnWidth(1, qMax(120, viewport()->width() - nb - 3 * numbers));
}
