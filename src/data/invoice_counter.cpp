#include "data/invoice_counter.h"

#include "common/errors.h"
#include "data/sql.h"

int InvoiceCounter::highestNumber() const
{
    return Sql(m_use.db(), QStringLiteral("SELECT MAX(id) FROM facturation")).scalar().toInt();
}

int InvoiceCounter::nextNumber() const
{
    // AUTOINCREMENT gives the larger of the recorded sequence and the highest id, plus one.
    const int sequence =
        Sql(m_use.db(), QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'facturation'"))
            .scalar()
            .toInt();
    return qMax(sequence, highestNumber()) + 1;
}

void InvoiceCounter::setNext(int n) const
{
    if (n < 1)
        throw KestrovaError(QStringLiteral("Le numéro de la prochaine facture doit être un nombre supérieur à 0."));
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    const int highest = highestNumber();
    if (n <= highest)
        throw KestrovaError(QStringLiteral("La facture n° %1 existe déjà : le numéro de la prochaine facture doit "
                                           "être supérieur à %1.")
                                .arg(highest));
    // sqlite_sequence holds a row for the table only once a row has been inserted.
    const int changed = Sql(db, QStringLiteral("UPDATE sqlite_sequence SET seq = :seq WHERE name = 'facturation'"))
                            .bind(QStringLiteral(":seq"), n - 1)
                            .exec()
                            .numRowsAffected();
    if (changed == 0)
        Sql(db, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES ('facturation', :seq)"))
            .bind(QStringLiteral(":seq"), n - 1)
            .exec();
    transaction.commit();
}
