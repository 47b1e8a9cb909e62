#pragma once

#include "catalogue/row_list_model.h"
#include "data/document_store.h"

// The invoice or quote list: the documents read once, typed, and their cells
// formatted as fillList formats them, only for the rows on screen.
class DocumentListModel : public RowListModel
{
    Q_OBJECT

public:
    // One field per title; fields from firstRightAligned on (amounts) read
    // best right-aligned.
    DocumentListModel(DocumentStore::Kind kind, const QStringList &titles,
                      const QList<DocumentStore::ListField> &fields, int firstRightAligned,
                      QObject *parent = nullptr);

    void setRows(QList<DocumentStore::ListRow> rows);
    int listedRows() const override { return int(m_rows.size()); }
    // The document number of a view row; 0 when the row holds none.
    int numero(int row) const;
    // The view row of a document number; -1 when it is not listed.
    int rowOf(int numero) const;
    // Patches the payment mode of a view row (shown at once).
    void setMode(int row, const QString &mode);
    // Takes one view row out of the list (the list shows its empty row once
    // the last one left).
    void removeListedRow(int row);

protected:
    QString text(int row, int column) const override;
    Qt::Alignment alignment(int column) const override;

private:
    DocumentStore::Kind m_kind;
    QList<DocumentStore::ListField> m_fields;
    int m_firstRightAligned;
    QList<DocumentStore::ListRow> m_rows;
};
