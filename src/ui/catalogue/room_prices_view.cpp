#include "ui/catalogue/room_prices_view.h"

#include "catalogue/room_prices_model.h"
#include "common/price_validator.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace {

// Editors of the price cells: the key rules of prices, and every key typed is
// reported so that the other price of the room follows at once.
class PriceCellDelegate : public QStyledItemDelegate
{
public:
    PriceCellDelegate(RoomPricesModel *model, QObject *parent) : QStyledItemDelegate(parent), m_model(model)
    {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        auto *editor = new QLineEdit(parent);
        editor->setFrame(false);
        PriceValidator::install(editor);
        const int room = index.row() + 1;
        const int column = index.column();
        RoomPricesModel *model = m_model;
        connect(editor, &QLineEdit::textEdited, editor,
                [model, room, column](const QString &text) { model->priceTyped(room, column, text); });
        Q_UNUSED(option);
        return editor;
    }

private:
    RoomPricesModel *m_model;
};

} // namespace

RoomPricesView::RoomPricesView(QWidget *parent) : QTableView(parent), m_model(new RoomPricesModel(this))
{
    setModel(m_model);
    setItemDelegate(new PriceCellDelegate(m_model, this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(40);
    setup({}, QString());
}

void RoomPricesView::setup(const QStringList &roomNames, const QString &rate)
{
    m_model->setup(roomNames, rate);
    const int widths[] = {250, 64, 64, 64};
    for (int column = 0; column < 4; ++column)
        setColumnWidth(column, widths[column]);
    // Room names take the width left over.
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    clearSelection();
    setCurrentIndex(QModelIndex());
}

void RoomPricesView::commitEditing()
{
    // Leaving the cell commits its editor.
    setCurrentIndex(QModelIndex());
}
