#include "data/import_rows.h"

#include "common/errors.h"
#include "data/sql.h"

#include <QSqlError>

ImportRows::ImportRows(const QSqlDatabase &db) : m_db(db), m_insert(db) {}

void ImportRows::beginStaging()
{
    execSql(m_db, QStringLiteral("PRAGMA journal_mode=OFF"));
    execSql(m_db, QStringLiteral("PRAGMA synchronous=OFF"));
    if (!m_db.transaction())
        throw DatabaseError(m_db.lastError().text());
}

void ImportRows::commitStaging()
{
    m_insert.finish();
    if (!m_db.commit())
        throw DatabaseError(QStringLiteral("Écriture de la base importée impossible : ") + m_db.lastError().text());
}

void ImportRows::beginTable(const QString &table, const QStringList &columns)
{
    execSql(m_db, QStringLiteral("DELETE FROM ") + table);
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    m_insert.finish();
    m_insert = QSqlQuery(m_db);
    const QString statement = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    if (!m_insert.prepare(statement))
        throw DatabaseError(m_insert.lastError().text());
    m_columns = int(columns.size());
}

void ImportRows::insert(const QVariantList &values)
{
    for (int i = 0; i < m_columns; ++i)
        m_insert.bindValue(i, values.at(i));
    if (!m_insert.exec())
        throw DatabaseError(m_insert.lastError().text());
}

qint64 ImportRows::count(const QString &table) const
{
    return Sql(m_db, QStringLiteral("SELECT COUNT(*) FROM ") + table).scalar().toLongLong();
}

int ImportRows::highestInvoice() const
{
    return Sql(m_db, QStringLiteral("SELECT MAX(id) FROM facturation")).scalar().toInt();
}

void ImportRows::setInvoiceCounterAfterHighest() const
{
    // The counter may have been set beyond the rows by the old program or by the
    // seed; it is brought back to the highest number so that none is skipped.
    Sql(m_db, QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 'facturation'")).exec();
    const int highest = highestInvoice();
    if (highest > 0)
        Sql(m_db, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES ('facturation', :seq)"))
            .bind(QStringLiteral(":seq"), highest)
            .exec();
}

bool ImportRows::isEmptyHotel(const QSqlDatabase &db)
{
    for (const char *table : {"reserv", "facturation", "devis", "prestations", "email_historique"})
        if (Sql(db, QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(QLatin1String(table))).scalar().isValid())
            return false;
    return !Sql(db, QStringLiteral("SELECT 1 FROM infos WHERE id <> 1 LIMIT 1")).scalar().isValid();
}
