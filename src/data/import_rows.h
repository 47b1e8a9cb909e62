#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

// The statements of an import from the old program: rows copied, ids kept, into
// a staging database made by the schema routine, then counted and checked.
class ImportRows
{
public:
    explicit ImportRows(const QSqlDatabase &db);

    // A staging file is swapped into place only once complete: no journal, no
    // flush per transaction, one transaction for the whole copy.
    void beginStaging();
    void commitStaging();

    // Empties the table (the seed rows of the schema routine) and prepares the
    // insertion of the named columns, in this order. Names come from Schema.
    void beginTable(const QString &table, const QStringList &columns);
    // One row, values in the order given to beginTable. Throws DatabaseError.
    void insert(const QVariantList &values);

    qint64 count(const QString &table) const;
    // The next invoice gets the number after the highest one imported.
    void setInvoiceCounterAfterHighest() const;
    int highestInvoice() const;

    // True when the hotel holds nothing of its own yet: no night, invoice, quote,
    // service or e-mail, and no client but the hotel itself.
    static bool isEmptyHotel(const QSqlDatabase &db);

private:
    QSqlDatabase m_db;
    QSqlQuery m_insert;
    int m_columns = 0;
};
