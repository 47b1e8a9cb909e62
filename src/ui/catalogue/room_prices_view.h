#pragma once

#include <QTableView>

class RoomPricesModel;

// The room-prices grid of the advanced tabs: room names, prices before VAT,
// rate, prices with VAT, one row per room. Price cells take the price key
// rules, and each key typed recomputes the other price of the room.
class RoomPricesView : public QTableView
{
    Q_OBJECT

public:
    explicit RoomPricesView(QWidget *parent = nullptr);

    RoomPricesModel *prices() const { return m_model; }
    // Sets up the rows for these rooms with empty prices and the rate; no cell chosen.
    void setup(const QStringList &roomNames, const QString &rate);
    // Stores the text of a cell still being typed in, before the grid is saved.
    void commitEditing();

private:
    RoomPricesModel *m_model;
};
