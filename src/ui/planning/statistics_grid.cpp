#include "ui/planning/statistics_grid.h"

#include "planning/statistics_table.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextLayout>

namespace {

// Draws a plain cell (one line of text, no selection, focus, hover, icon,
// check box or background) as the style's item view drawing does, with the text laid
// out once (twice when elided) instead of once for each rectangle the style
// measures. Every other cell is drawn by the style itself.
class CellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        if (!drawPlain(painter, opt))
            QStyledItemDelegate::paint(painter, option, index);
    }

private:
    // One line of the cell's width; false when the text takes more lines or
    // is taller than the cell.
    static bool layOutOneLine(QTextLayout &layout, const QTextOption &textOption, const QRect &textRect)
    {
        layout.setTextOption(textOption);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            layout.endLayout();
            return false;
        }
        line.setLineWidth(textRect.width());
        line.setPosition(QPointF(0, 0));
        const bool oneLine = !layout.createLine().isValid();
        layout.endLayout();
        return oneLine && line.height() <= textRect.height();
    }

    static bool drawPlain(QPainter *painter, const QStyleOptionViewItem &opt)
    {
        constexpr QStyle::State special =
            QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_Editing | QStyle::State_MouseOver;
        if ((opt.state & special) || opt.backgroundBrush.style() != Qt::NoBrush ||
            (opt.features & (QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration |
                             QStyleOptionViewItem::WrapText)) ||
            opt.direction != Qt::LeftToRight || opt.decorationPosition != QStyleOptionViewItem::Left ||
            opt.text.isEmpty() || opt.text.contains(QChar::LineSeparator) || opt.text.contains(QLatin1Char('\n')))
            return false;
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        if (style->inherits("QStyleSheetStyle"))
            return false; // a style sheet may draw any cell its own way
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect textRect = opt.rect.adjusted(margin, 0, -margin, 0);
        QTextOption textOption;
        textOption.setWrapMode(QTextOption::ManualWrap);
        textOption.setTextDirection(opt.direction);
        textOption.setAlignment(QStyle::visualAlignment(opt.direction, opt.displayAlignment));
        QTextLayout layout(opt.text, opt.font);
        if (!layOutOneLine(layout, textOption, textRect))
            return false;
        // Placed as the text's whole line would be; a text wider than the
        // cell is drawn elided, as the style elides it.
        const QRect layoutRect = QStyle::alignedRect(Qt::LayoutDirectionAuto, opt.displayAlignment,
                                                     layout.boundingRect().size().toSize(), textRect);
        if (layout.lineAt(0).naturalTextWidth() > textRect.width()) {
            const QString elided =
                QFontMetrics(opt.font).elidedText(opt.text, opt.textElideMode, textRect.width(), 0);
            layout.setText(elided);
            if (!layOutOneLine(layout, textOption, textRect))
                return false;
        }
        QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(opt.state & QStyle::State_Active))
            group = QPalette::Inactive;
        painter->save();
        painter->setClipRect(opt.rect);
        painter->setPen(opt.palette.color(group, QPalette::Text));
        layout.draw(painter, QPointF(textRect.x(), layoutRect.top()));
        painter->restore();
        return true;
    }
};

} // namespace

StatisticsGrid::StatisticsGrid(QWidget *parent) : QTableWidget(parent)
{
    setObjectName(QStringLiteral("statisticsGrid"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    setItemDelegate(new CellDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(28);
    horizontalHeader()->setMinimumSectionSize(20);
    horizontalHeader()->setTextElideMode(Qt::ElideRight);
    QFont headerFont = horizontalHeader()->font();
    headerFont.setPointSize(8);
    horizontalHeader()->setFont(headerFont);

    setRooms({});
    const QStringList labels = rowLabels();
    setRowCount(int(labels.size()));
    for (int row = 0; row < labels.size(); ++row) {
        auto *item = new QTableWidgetItem(labels.at(row));
        QFont f = item->font();
        f.setBold(row == labels.size() - 1);
        item->setFont(f);
        setItem(row, 0, item);
    }
}

QStringList StatisticsGrid::rowLabels()
{
    return StatisticsTable::rowLabels();
}

void StatisticsGrid::setFigures(const TextGrid &grid)
{
    setUpdatesEnabled(false);
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 1; column < columnCount(); ++column) {
            const QString text = grid.cell(row + 1, column);
            QTableWidgetItem *cell = item(row, column);
            if (!cell) {
                if (text.isEmpty())
                    continue;
                cell = new QTableWidgetItem;
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                setItem(row, column, cell);
            }
            if (cell->text() != text)
                cell->setText(text);
        }
    }
    setUpdatesEnabled(true);
}

TextGrid StatisticsGrid::figures() const
{
    TextGrid grid(rowCount() + 1, columnCount());
    grid.setRow(0, headerTexts());
    for (int row = 0; row < rowCount(); ++row)
        for (int column = 0; column < columnCount(); ++column)
            if (const QTableWidgetItem *cell = item(row, column))
                grid.setCell(row + 1, column, cell->text());
    return grid;
}

void StatisticsGrid::setRooms(const QStringList &roomNames)
{
    const int n = int(roomNames.size());
    setColumnCount(n + 3);
    QStringList headers;
    headers << QString() << roomNames << QStringLiteral("Total") << QStringLiteral("%");
    setHorizontalHeaderLabels(headers);
    QHeaderView *header = horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->resizeSection(0, 100);
}

QStringList StatisticsGrid::headerTexts() const
{
    QStringList texts;
    for (int c = 0; c < columnCount(); ++c) {
        const QTableWidgetItem *item = horizontalHeaderItem(c);
        texts << (item ? item->text() : QString());
    }
    return texts;
}
