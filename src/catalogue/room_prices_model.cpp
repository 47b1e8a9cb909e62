#include "catalogue/room_prices_model.h"

#include "common/amounts.h"

#include <QColor>

RoomPricesModel::RoomPricesModel(QObject *parent) : TextGridModel(parent) {}

void RoomPricesModel::setup(const QStringList &roomNames, const QString &rate)
{
    m_rate = rate;
    TextGrid grid(int(roomNames.size()) + 1, 4);
    grid.setRow(0, {QStringLiteral("Nom de la chambre"), QStringLiteral("Tarif HT"),
                    QStringLiteral("TVA (%)"), QStringLiteral("Tarif TTC")});
    for (int room = 1; room <= roomNames.size(); ++room)
        grid.setRow(room, {roomNames.at(room - 1), QString(), rate, QString()});
    setGrid(grid);
}

void RoomPricesModel::setRoomNames(const QStringList &roomNames)
{
    const int rooms = qMin(roomCount(), int(roomNames.size()));
    for (int room = 1; room <= rooms; ++room)
        mutableGrid().setCell(room, RoomName, roomNames.at(room - 1));
    if (rooms > 0)
        cellsChanged(1, rooms, RoomName, RoomName);
}

void RoomPricesModel::setRate(const QString &rate)
{
    m_rate = rate;
    TextGrid &grid = mutableGrid();
    for (int room = 1; room <= roomCount(); ++room) {
        grid.setCell(room, Rate, rate);
        if (grid.cell(room, PriceTtc).isEmpty())
            grid.setCell(room, PriceTtc, QStringLiteral("0"));
        grid.setCell(room, PriceHt, Amounts::htFromTtcText(grid.cell(room, PriceTtc), rate));
    }
    if (roomCount() > 0)
        cellsChanged(1, roomCount(), PriceHt, PriceTtc);
}

void RoomPricesModel::resetPrices(const QString &rate)
{
    m_rate = rate;
    TextGrid &grid = mutableGrid();
    for (int room = 1; room <= roomCount(); ++room) {
        grid.setCell(room, PriceHt, QString());
        grid.setCell(room, Rate, rate);
        grid.setCell(room, PriceTtc, QString());
    }
    if (roomCount() > 0)
        cellsChanged(1, roomCount(), PriceHt, PriceTtc);
}

void RoomPricesModel::setPrices(const TextGrid &prices)
{
    TextGrid &grid = mutableGrid();
    for (int room = 1; room <= roomCount(); ++room)
        for (int column = PriceHt; column <= PriceTtc; ++column)
            grid.setCell(room, column, prices.cell(room, column));
    if (roomCount() > 0)
        cellsChanged(1, roomCount(), PriceHt, PriceTtc);
}

void RoomPricesModel::priceTyped(int room, int column, const QString &text)
{
    if (room < 1 || room > roomCount())
        return;
    if (column == PriceHt)
        setCell(room, PriceTtc, Amounts::ttcFromHtText(text, m_rate));
    else if (column == PriceTtc)
        setCell(room, PriceHt, Amounts::htFromTtcText(text, m_rate));
}

QVariant RoomPricesModel::data(const QModelIndex &index, int role) const
{
    if (index.isValid() && role == Qt::TextAlignmentRole && index.column() != RoomName)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    // The columns that cannot be typed in look like it.
    if (index.isValid() && role == Qt::BackgroundRole && !(flags(index) & Qt::ItemIsEditable))
        return QColor(0xf0, 0xf0, 0xf0);
    return TextGridModel::data(index, role);
}

Qt::ItemFlags RoomPricesModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() == PriceHt || index.column() == PriceTtc)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    return Qt::ItemIsEnabled;
}

bool RoomPricesModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    setCell(index.row() + 1, index.column(), value.toString());
    return true;
}
