#pragma once

#include "catalogue/text_grid_model.h"

#include <QStringList>

// The room-prices grid of the services window: row r is room r, columns 1 price
// before VAT, 2 rate, 3 price with VAT. Only the two price columns can be
// selected and edited. Editing a price through the view only stores it; the
// other price of the row follows through priceTyped(), called on every key, so
// that a computed price never triggers a computation in turn.
class RoomPricesModel : public TextGridModel
{
    Q_OBJECT

public:
    enum Column { RoomName = 0, PriceHt = 1, Rate = 2, PriceTtc = 3 };

    explicit RoomPricesModel(QObject *parent = nullptr);

    // Titles, one row per room name, empty prices and the rate in column 2.
    void setup(const QStringList &roomNames, const QString &rate);
    int roomCount() const { return grid().rowCount() - 1; }
    void setRoomNames(const QStringList &roomNames);

    QString rate() const { return m_rate; }
    // A new rate for every room: empty prices with VAT become "0" and every
    // price before VAT is computed again from the price with VAT.
    void setRate(const QString &rate);
    // The rate used for prices typed from now on, the grid left as it is.
    void setTypingRate(const QString &rate) { m_rate = rate; }
    // Empties both prices of every room and writes the rate into column 2.
    void resetPrices(const QString &rate);
    // Grid rows 1 to n from a grid filled by the domain (prices per room).
    void setPrices(const TextGrid &prices);

    // The text of a price cell as the user types it: the other price of the
    // room is computed from it with the current rate (a copy when there is no rate).
    void priceTyped(int room, int column, const QString &text);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    QString m_rate;
};
