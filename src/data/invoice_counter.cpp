#include "data/invoice_counter.h"

#include "common/errors.h"
#include "data/dialect.h"
#include "data/sql.h"

int InvoiceCounter::highestNumber() const
{
    return Sql(m_use.db(), QStringLiteral("SELECT MAX(id) FROM facturation")).scalar().toInt();
}

int InvoiceCounter::nextNumber() const
{
    // AUTOINCREMENT gives the larger of the recorded sequence and the highest id, plus one.
    const int sequence = Dialect::invoiceSequence(m_use.db());
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
    Dialect::setInvoiceSequence(db, n - 1);
    transaction.commit();
}
