#include "data/tva.h"

#include "common/amounts.h"
#include "common/choice_list.h"
#include "common/errors.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "data/sql.h"

namespace {

double parseRate(const QString &text)
{
    bool ok = false;
    const double rate = Format::parseAmount(text, &ok);
    if (!ok)
        throw KestrovaError(QStringLiteral("« %1 » n'est pas un taux de TVA valide.").arg(text));
    return rate;
}

// Two equal rates would make every rate list ambiguous: which one a service
// was given could no longer be told.
void refuseDuplicate(const QSqlDatabase &db, double rate, int exceptId)
{
    const QVariant same = Sql(db, QStringLiteral("SELECT id FROM tva WHERE ABS(taux - :taux) < 0.0000001 "
                                                 "AND id <> :id LIMIT 1"))
                              .bind(QStringLiteral(":taux"), rate)
                              .bind(QStringLiteral(":id"), exceptId)
                              .scalar();
    if (same.isValid())
        throw KestrovaError(QStringLiteral("Le taux de TVA %1 % existe déjà.").arg(Format::number(rate)));
}

} // namespace

Tva::Tva() = default;

void Tva::remplirListeTva(ChoiceList &liste) const
{
    const QList<QVariantList> rows =
        Sql(m_use.db(), QStringLiteral("SELECT taux, id FROM tva ORDER BY taux DESC, id")).rows();
    liste.clear();
    liste.add(Amounts::noRateText(), 0);
    for (const QVariantList &row : rows)
        liste.add(Format::number(row[0].toDouble()), row[1].toInt());
}

int Tva::afficherTaux(TextGrid &grille) const
{
    const QList<QVariantList> rows =
        Sql(m_use.db(), QStringLiteral("SELECT id, taux FROM tva ORDER BY id")).rows();
    if (grille.rowCount() == 0)
        grille.setRowCount(1);
    grille.setColumnCount(qMax(grille.columnCount(), 2));
    grille.setRowCount(qMax(2, int(rows.size()) + 1));
    grille.clearRow(1);
    for (int i = 0; i < rows.size(); ++i)
        grille.setRow(i + 1, {QString::number(rows[i][0].toInt()), Format::number(rows[i][1].toDouble())});
    return int(rows.size());
}

QString Tva::getTaux(int id) const
{
    const QVariant v = Sql(m_use.db(), QStringLiteral("SELECT taux FROM tva WHERE id = :id"))
                           .bind(QStringLiteral(":id"), id)
                           .scalar();
    return v.isValid() && !v.isNull() ? Format::number(v.toDouble()) : QString();
}

int Tva::ajouterTaux(const QString &taux)
{
    const double rate = parseRate(taux);
    refuseDuplicate(m_use.db(), rate, -1);
    Sql q(m_use.db(), QStringLiteral("INSERT INTO tva (taux) VALUES (:taux)"));
    q.bind(QStringLiteral(":taux"), rate).exec();
    return q.lastInsertId().toInt();
}

bool Tva::modifierTaux(int id, const QString &taux)
{
    const double rate = parseRate(taux);
    refuseDuplicate(m_use.db(), rate, id);
    Sql q(m_use.db(), QStringLiteral("UPDATE tva SET taux = :taux WHERE id = :id"));
    q.bind(QStringLiteral(":taux"), rate).bind(QStringLiteral(":id"), id).exec();
    return q.numRowsAffected() > 0;
}

bool Tva::supprimerTaux(int id)
{
    Sql q(m_use.db(), QStringLiteral("DELETE FROM tva WHERE id = :id"));
    q.bind(QStringLiteral(":id"), id).exec();
    return q.numRowsAffected() > 0;
}
