#include "ui/documents/document_list_model.h"

DocumentListModel::DocumentListModel(DocumentStore::Kind kind, const QStringList &titles,
                                     const QList<DocumentStore::ListField> &fields, int firstRightAligned,
                                     QObject *parent)
    : RowListModel(titles, parent), m_kind(kind), m_fields(fields), m_firstRightAligned(firstRightAligned)
{
}

void DocumentListModel::setRows(QList<DocumentStore::ListRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int DocumentListModel::numero(int row) const
{
    return row >= 0 && row < m_rows.size() && !m_rows.at(row).isNull(DocumentStore::Id) ? m_rows.at(row).id : 0;
}

int DocumentListModel::rowOf(int numero) const
{
    for (int r = 0; r < m_rows.size(); ++r)
        if (numero != 0 && numero == this->numero(r))
            return r;
    return -1;
}

void DocumentListModel::removeListedRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    if (m_rows.size() == 1) {
        // The view keeps one row: the last document gives way to the empty row.
        beginResetModel();
        m_rows.clear();
        endResetModel();
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void DocumentListModel::setMode(int row, const QString &mode)
{
    if (row < 0 || row >= m_rows.size())
        return;
    DocumentStore::ListRow &r = m_rows[row];
    r.mode = mode;
    r.nulls &= quint16(~(1u << DocumentStore::Mode));
    rowChanged(row);
}

QString DocumentListModel::text(int row, int column) const
{
    return DocumentStore::listText(m_kind, m_rows.at(row), m_fields.value(column, DocumentStore::ListFieldCount));
}

Qt::Alignment DocumentListModel::alignment(int column) const
{
    return column >= m_firstRightAligned ? Qt::AlignRight | Qt::AlignVCenter : Qt::Alignment();
}
