#pragma once

#include "catalogue/row_list_model.h"
#include "data/client.h"

// The client list: the clients read once, typed, and a cell's text made only
// for the rows on screen, as listeClients writes it.
class ClientListModel : public RowListModel
{
    Q_OBJECT

public:
    explicit ClientListModel(QObject *parent = nullptr);

    void setRows(QList<ClientListRow> rows);
    int listedRows() const override { return int(m_rows.size()); }
    // The client id of a view row; 0 when the row holds none.
    int clientId(int row) const;

protected:
    QString text(int row, int column) const override;

private:
    QList<ClientListRow> m_rows;
};
