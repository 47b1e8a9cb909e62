#include "ui/clients/client_list_model.h"

ClientListModel::ClientListModel(QObject *parent) : RowListModel(Client::listTitles(), parent)
{
}

void ClientListModel::setRows(QList<ClientListRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int ClientListModel::clientId(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).id : 0;
}

QString ClientListModel::text(int row, int column) const
{
    return Client::listText(m_rows.at(row), column);
}
