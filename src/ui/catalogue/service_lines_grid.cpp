#include "ui/catalogue/service_lines_grid.h"

#include "ui/catalogue/service_picker.h"
#include "catalogue/text_grid_model.h"
#include "catalogue/user_action.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

namespace {

class LinesModel : public TextGridModel
{
public:
    LinesModel(int firstRightAligned, QObject *parent) : TextGridModel(parent), m_firstRightAligned(firstRightAligned)
    {
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::TextAlignmentRole && m_firstRightAligned >= 0 && index.column() >= m_firstRightAligned)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return TextGridModel::data(index, role);
    }

private:
    int m_firstRightAligned;
};

} // namespace

ServiceLinesGrid::ServiceLinesGrid(const QString &objectName, const QString &actionSuffix, int firstRightAligned,
                                   QWidget *parent)
    : QTableView(parent), m_model(new LinesModel(firstRightAligned, this)), m_menu(new QMenu(this))
{
    setObjectName(objectName);
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);

    m_ajouter = m_menu->addAction(QStringLiteral("Ajouter"), this, &ServiceLinesGrid::AjoutPrestation);
    m_modifier = m_menu->addAction(QStringLiteral("Modifier"), this, &ServiceLinesGrid::MajPrestation);
    m_supprimer = m_menu->addAction(QStringLiteral("Supprimer"), this, &ServiceLinesGrid::SuppPrestation);
    m_ajouter->setObjectName(QStringLiteral("ajouter") + actionSuffix);
    m_modifier->setObjectName(QStringLiteral("modifier") + actionSuffix);
    m_supprimer->setObjectName(QStringLiteral("supprimer") + actionSuffix);
    m_modifier->setEnabled(false);
    m_supprimer->setEnabled(false);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { rowSelected(current.isValid() ? current.row() + 1 : -1); });
}

const TextGrid &ServiceLinesGrid::grid() const
{
    return m_model->grid();
}

void ServiceLinesGrid::setGrid(const TextGrid &grid)
{
    m_model->setGrid(shaped(grid));
    rowSelected(-1);
    layOutColumns();
}

void ServiceLinesGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    for (QAction *a : {m_ajouter, m_modifier, m_supprimer})
        a->setVisible(!readOnly);
}

void ServiceLinesGrid::selectGridRow(int gridRow)
{
    if (gridRow >= 1 && gridRow < grid().rowCount())
        setCurrentIndex(m_model->index(gridRow - 1, 1));
}

void ServiceLinesGrid::rowSelected(int gridRow)
{
    const bool service = gridRow >= 1 && !grid().cell(gridRow, 0).trimmed().isEmpty();
    m_selectedRow = service ? gridRow : -1;
    m_modifier->setEnabled(service);
    m_supprimer->setEnabled(service);
    lineSelected(m_selectedRow);
}

void ServiceLinesGrid::replaceLines(const TextGrid &lines, int selectRow)
{
    m_model->setGrid(lines);
    rowSelected(-1);
    selectGridRow(selectRow);
    // A row more or less may bring or take the scroll bar.
    layOutColumns();
}

bool ServiceLinesGrid::repriceLines(const std::function<void(TextGrid &)> &reprice)
{
    TextGrid repriced = grid();
    if (!runUserAction([&] { reprice(repriced); }))
        return false;
    replaceLines(repriced, m_selectedRow);
    return true;
}

void ServiceLinesGrid::AjoutPrestation()
{
    if (!mayAdd())
        return;
    TextGrid edited = grid();
    TSelectPrestation picker(this);
    picker.initListePrestations(edited);
    if (const auto quantity = initialQuantity())
        picker.setQuantiteInitiale(quantity);
    if (!picker.run())
        return;
    replaceLines(edited, -1);
    lineEdited();
}

void ServiceLinesGrid::MajPrestation()
{
    if (m_selectedRow < 0)
        return;
    const int row = m_selectedRow;
    TextGrid edited = grid();
    TSelectPrestation picker(this);
    picker.initListePrestationsForUpdate(edited, row);
    if (!picker.run())
        return;
    replaceLines(edited, row);
    lineEdited();
}

void ServiceLinesGrid::SuppPrestation()
{
    if (m_selectedRow < 0)
        return;
    TextGrid edited = grid();
    removeLine(edited, m_selectedRow);
    replaceLines(edited, -1);
    lineRemoved();
}

void ServiceLinesGrid::removeLine(TextGrid &grid, int row) const
{
    grid.removeRow(row);
    // The grid keeps its trailing empty row for the next entry.
    if (grid.rowCount() < 2 || !grid.isRowEmpty(grid.rowCount() - 1))
        grid.appendRow();
}

void ServiceLinesGrid::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_readOnly)
        return;
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        setCurrentIndex(index);
    m_menu->popup(event->globalPos());
}

void ServiceLinesGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (m_readOnly)
        return;
    if (m_selectedRow < 0)
        AjoutPrestation();
    else
        MajPrestation();
}

void ServiceLinesGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    layOutColumns();
}
