#include "ui/documents/document_lines_grid.h"

#include "ui/catalogue/service_picker.h"
#include "catalogue/text_grid_model.h"
#include "catalogue/user_action.h"
#include "documents/document_lines.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

namespace {

// Quantities and amounts read best right-aligned.
class LinesModel : public TextGridModel
{
public:
    using TextGridModel::TextGridModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::TextAlignmentRole && index.column() >= DocumentLines::Nb)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return TextGridModel::data(index, role);
    }
};

} // namespace

DocumentLinesGrid::DocumentLinesGrid(QWidget *parent)
    : QTableView(parent), m_model(new LinesModel(this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("StringGrid1"));
    setModel(m_model);
    m_model->setGrid(DocumentLines::emptyGrid());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);

    m_ajouter = m_menu->addAction(QStringLiteral("Ajouter"), this, &DocumentLinesGrid::AjoutPrestation);
    m_modifier = m_menu->addAction(QStringLiteral("Modifier"), this, &DocumentLinesGrid::MajPrestation);
    m_supprimer = m_menu->addAction(QStringLiteral("Supprimer"), this, &DocumentLinesGrid::SuppPrestation);
    m_ajouter->setObjectName(QStringLiteral("ajouterLigne"));
    m_modifier->setObjectName(QStringLiteral("modifierLigne"));
    m_supprimer->setObjectName(QStringLiteral("supprimerLigne"));
    m_modifier->setEnabled(false);
    m_supprimer->setEnabled(false);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { rowSelected(current.isValid() ? current.row() + 1 : -1); });
    layOutColumns();
}

const TextGrid &DocumentLinesGrid::grid() const
{
    return m_model->grid();
}

void DocumentLinesGrid::setGrid(const TextGrid &grid)
{
    TextGrid lines = grid;
    DocumentLines::setTitles(lines);
    if (lines.rowCount() < 2 || !lines.isRowEmpty(lines.rowCount() - 1))
        lines.appendRow();
    m_model->setGrid(lines);
    rowSelected(-1);
    layOutColumns();
}

void DocumentLinesGrid::clearLines()
{
    setGrid(DocumentLines::emptyGrid());
}

void DocumentLinesGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    for (QAction *a : {m_ajouter, m_modifier, m_supprimer})
        a->setVisible(!readOnly);
}

void DocumentLinesGrid::selectGridRow(int gridRow)
{
    if (gridRow >= 1 && gridRow < grid().rowCount())
        setCurrentIndex(m_model->index(gridRow - 1, DocumentLines::Libelle));
}

void DocumentLinesGrid::rowSelected(int gridRow)
{
    const bool line = gridRow >= 1 && !grid().cell(gridRow, DocumentLines::Service).trimmed().isEmpty();
    m_selectedLine = line ? gridRow : -1;
    m_modifier->setEnabled(line);
    m_supprimer->setEnabled(line);
    emit selectedLineChanged(m_selectedLine);
}

void DocumentLinesGrid::replaceLines(const TextGrid &lines, int selectRow)
{
    m_model->setGrid(lines);
    rowSelected(-1);
    selectGridRow(selectRow);
}

void DocumentLinesGrid::MajListePrestations()
{
    TextGrid repriced = grid();
    if (!runUserAction([&] { DocumentLines::reprice(repriced, m_room); }))
        return;
    replaceLines(repriced, m_selectedLine);
    emit linesChanged();
}

void DocumentLinesGrid::AjoutPrestation()
{
    if (m_addGuard && !m_addGuard())
        return;
    TextGrid edited = grid();
    TSelectPrestation picker(this);
    picker.initListePrestations(edited);
    if (!picker.run())
        return;
    replaceLines(edited, -1);
    MajListePrestations();
}

void DocumentLinesGrid::MajPrestation()
{
    if (m_selectedLine < 0)
        return;
    const int row = m_selectedLine;
    TextGrid edited = grid();
    TSelectPrestation picker(this);
    picker.initListePrestationsForUpdate(edited, row);
    if (!picker.run())
        return;
    replaceLines(edited, row);
    MajListePrestations();
}

void DocumentLinesGrid::SuppPrestation()
{
    if (m_selectedLine < 0)
        return;
    TextGrid edited = grid();
    DocumentLines::removeLine(edited, m_selectedLine);
    replaceLines(edited, -1);
    emit linesChanged();
}

void DocumentLinesGrid::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_readOnly)
        return;
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        setCurrentIndex(index);
    m_menu->popup(event->globalPos());
}

void DocumentLinesGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (m_readOnly)
        return;
    if (m_selectedLine < 0)
        AjoutPrestation();
    else
        MajPrestation();
}

void DocumentLinesGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    layOutColumns();
}

void DocumentLinesGrid::layOutColumns()
{
    if (m_model->columnCount() < DocumentLines::ColumnCount)
        return;
    setColumnHidden(DocumentLines::Service, true);
    const int numbers = fontMetrics().horizontalAdvance(QStringLiteral("0000000,00")) + 12;
    const int nb = fontMetrics().horizontalAdvance(QStringLiteral("Nb000")) + 8;
    const int rate = fontMetrics().horizontalAdvance(QStringLiteral("---------")) + 12;
    setColumnWidth(DocumentLines::Nb, nb);
    setColumnWidth(DocumentLines::TotalHt, numbers);
    setColumnWidth(DocumentLines::Tva, rate);
    setColumnWidth(DocumentLines::TotalTtc, numbers);
    // The label takes what the numbers leave.
    setColumnWidth(DocumentLines::Libelle, qMax(120, viewport()->width() - nb - rate - 2 * numbers));
}
