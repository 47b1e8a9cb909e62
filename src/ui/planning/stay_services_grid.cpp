#include "ui/planning/stay_services_grid.h"

#include "ui/catalogue/service_picker.h"
#include "catalogue/text_grid_model.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

StayServicesGrid::StayServicesGrid(QWidget *parent)
    : QTableView(parent), m_model(new TextGridModel(this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("StringGridPrestations"));
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);

    m_ajouter = m_menu->addAction(QStringLiteral("Ajouter"), this, &StayServicesGrid::ajouter);
    m_modifier = m_menu->addAction(QStringLiteral("Modifier"), this, &StayServicesGrid::modifier);
    m_supprimer = m_menu->addAction(QStringLiteral("Supprimer"), this, &StayServicesGrid::supprimer);
    m_ajouter->setObjectName(QStringLiteral("ajouterPrestationSejour"));
    m_modifier->setObjectName(QStringLiteral("modifierPrestationSejour"));
    m_supprimer->setObjectName(QStringLiteral("supprimerPrestationSejour"));
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { rowSelected(current.isValid() ? current.row() + 1 : -1); });
    setGrid(emptyGrid());
}

TextGrid StayServicesGrid::emptyGrid()
{
    TextGrid grid(2, 4);
    grid.setRow(0, {QString(), QStringLiteral("Prestation"), QStringLiteral("Nb / jour"), QString()});
    return grid;
}

const TextGrid &StayServicesGrid::grid() const
{
    return m_model->grid();
}

void StayServicesGrid::setGrid(const TextGrid &grid)
{
    TextGrid shown = grid;
    if (shown.columnCount() < 4)
        shown.setColumnCount(4);
    shown.setCell(0, 1, QStringLiteral("Prestation"));
    shown.setCell(0, 2, QStringLiteral("Nb / jour"));
    m_model->setGrid(shown);
    rowSelected(-1);
    layOutColumns();
}

void StayServicesGrid::selectGridRow(int gridRow)
{
    if (gridRow >= 1 && gridRow < grid().rowCount())
        setCurrentIndex(m_model->index(gridRow - 1, 1));
    rowSelected(gridRow);
}

void StayServicesGrid::rowSelected(int gridRow)
{
    const bool service = gridRow >= 1 && !grid().cell(gridRow, 0).trimmed().isEmpty();
    m_selectedRow = service ? gridRow : -1;
    m_modifier->setEnabled(service);
    m_supprimer->setEnabled(service);
}

void StayServicesGrid::ajouter()
{
    TextGrid edited = grid();
    TSelectPrestation picker(this);
    if (picker.ajouter(edited))
        setGrid(edited);
}

void StayServicesGrid::modifier()
{
    if (m_selectedRow < 0)
        return;
    const int row = m_selectedRow;
    TextGrid edited = grid();
    TSelectPrestation picker(this);
    if (!picker.modifier(edited, row))
        return;
    setGrid(edited);
    selectGridRow(row);
}

void StayServicesGrid::supprimer()
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

void StayServicesGrid::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        selectGridRow(index.row() + 1);
    m_menu->popup(event->globalPos());
}

void StayServicesGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex index = currentIndex();
    rowSelected(index.isValid() ? index.row() + 1 : -1);
    if (m_selectedRow < 0)
        ajouter();
    else
        modifier();
}

void StayServicesGrid::layOutColumns()
{
    for (int c = 0; c < m_model->columnCount(); ++c)
        setColumnHidden(c, c != 1 && c != 2);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    setColumnWidth(2, fontMetrics().horizontalAdvance(QStringLiteral("Nb / jour")) + 16);
}
