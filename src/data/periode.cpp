#include "data/periode.h"

#include "common/choice_list.h"
#include "common/errors.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "data/sql.h"

namespace {

const int kCalendarColumns = 5;

void checkRange(const QDate &debut, const QDate &fin)
{
    if (!debut.isValid() || !fin.isValid())
        throw KestrovaError(QStringLiteral("Les dates de la période tarifaire ne sont pas valides."));
    if (fin < debut)
        throw KestrovaError(
            QStringLiteral("La date de fin de la période tarifaire précède sa date de début."));
}

} // namespace

Periode::Periode() = default;

void Periode::remplirListePeriodes(ChoiceList &liste) const
{
    const QList<QVariantList> rows =
        Sql(m_use.db(), QStringLiteral("SELECT libelle, id FROM periodes ORDER BY libelle, id")).rows();
    liste.clear();
    liste.add(QStringLiteral("Liste des Périodes"), 0);
    for (const QVariantList &row : rows)
        liste.add(row[0].toString(), row[1].toInt());
}

int Periode::ajouterPeriode(const QString &libelle)
{
    Sql q(m_use.db(), QStringLiteral("INSERT INTO periodes (libelle) VALUES (:libelle)"));
    q.bind(QStringLiteral(":libelle"), libelle).exec();
    return q.lastInsertId().toInt();
}

void Periode::creerTarifsPeriodeChambre(int idPeriode, int chambre)
{
    Sql(m_use.db(),
        QStringLiteral("INSERT INTO prestations_tarifs (id_periode, id_prestation, numero_chambre, "
                       "tarif_ht, tarif_tva, tarif_ttc) "
                       "SELECT :periode, id_prestation, numero_chambre, tarif_ht, tarif_tva, tarif_ttc "
                       "FROM prestations WHERE numero_chambre = :chambre ORDER BY id"))
        .bind(QStringLiteral(":periode"), idPeriode)
        .bind(QStringLiteral(":chambre"), chambre)
        .exec();
}

int Periode::creerPeriode(const QString &libelle, int nombreChambres)
{
    // A new period starts with the base prices of every room; with no room it
    // would have none, and saying "enregistrée" would hide it.
    if (nombreChambres < 1)
        throw KestrovaError(
            QStringLiteral("Aucune chambre n'est définie : la période n'a pas été enregistrée."));
    Transaction transaction(m_use.db());
    const int id = ajouterPeriode(libelle);
    for (int room = 1; room <= nombreChambres; ++room)
        creerTarifsPeriodeChambre(id, room);
    transaction.commit();
    return id;
}

int Periode::renommerPeriode(int id, const QString &libelle)
{
    Sql q(m_use.db(), QStringLiteral("UPDATE periodes SET libelle = :libelle WHERE id = :id"));
    q.bind(QStringLiteral(":libelle"), libelle).bind(QStringLiteral(":id"), id).exec();
    return q.numRowsAffected();
}

int Periode::supprimerPeriode(int id)
{
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    Sql(db, QStringLiteral("DELETE FROM calendrier_tarifaire WHERE id_periode = :id"))
        .bind(QStringLiteral(":id"), id)
        .exec();
    // Prices of a period that no longer exists could never be reached again.
    Sql(db, QStringLiteral("DELETE FROM prestations_tarifs WHERE id_periode = :id"))
        .bind(QStringLiteral(":id"), id)
        .exec();
    Sql q(db, QStringLiteral("DELETE FROM periodes WHERE id = :id"));
    q.bind(QStringLiteral(":id"), id).exec();
    const int deleted = q.numRowsAffected();
    transaction.commit();
    return deleted;
}

int Periode::ajouterPlageCalendrier(int idPeriode, const QDate &debut, const QDate &fin)
{
    checkRange(debut, fin);
    Sql q(m_use.db(), QStringLiteral("INSERT INTO calendrier_tarifaire (id_periode, date_debut, date_fin) "
                                     "VALUES (:periode, :debut, :fin)"));
    q.bind(QStringLiteral(":periode"), idPeriode)
        .bind(QStringLiteral(":debut"), Format::isoDate(debut))
        .bind(QStringLiteral(":fin"), Format::isoDate(fin))
        .exec();
    return q.lastInsertId().toInt();
}

void Periode::modifierPlageCalendrier(int id, int idPeriode, const QDate &debut, const QDate &fin)
{
    checkRange(debut, fin);
    Sql(m_use.db(),
        QStringLiteral("UPDATE calendrier_tarifaire SET id_periode = :periode, date_debut = :debut, "
                       "date_fin = :fin WHERE id = :id"))
        .bind(QStringLiteral(":periode"), idPeriode)
        .bind(QStringLiteral(":debut"), Format::isoDate(debut))
        .bind(QStringLiteral(":fin"), Format::isoDate(fin))
        .bind(QStringLiteral(":id"), id)
        .exec();
}

void Periode::supprimerPlageCalendrier(int id)
{
    Sql(m_use.db(), QStringLiteral("DELETE FROM calendrier_tarifaire WHERE id = :id"))
        .bind(QStringLiteral(":id"), id)
        .exec();
}

void Periode::afficherCalendrier(int annee, TextGrid &grille) const
{
    // A range belongs to the year of its first day.
    const QList<QVariantList> rows =
        Sql(m_use.db(), QStringLiteral("SELECT ct.id, ct.id_periode, p.libelle, ct.date_debut, ct.date_fin "
                                       "FROM calendrier_tarifaire ct JOIN periodes p ON p.id = ct.id_periode "
                                       "WHERE ct.date_debut >= :debut AND ct.date_debut < :suivante "
                                       "ORDER BY ct.date_debut, ct.id"))
            .bind(QStringLiteral(":debut"), Format::isoDate(QDate(annee, 1, 1)))
            .bind(QStringLiteral(":suivante"), Format::isoDate(QDate(annee + 1, 1, 1)))
            .rows();
    if (grille.rowCount() == 0)
        grille.setRowCount(1);
    grille.setColumnCount(qMax(grille.columnCount(), kCalendarColumns));
    grille.setRowCount(int(rows.size()) + 2);
    for (int i = 0; i < rows.size(); ++i) {
        const QVariantList &row = rows.at(i);
        grille.setRow(i + 1, {QString::number(row[0].toInt()), QString::number(row[1].toInt()),
                              row[2].toString(), Format::date(Format::fromIsoDate(row[3].toString())),
                              Format::date(Format::fromIsoDate(row[4].toString()))});
    }
    grille.clearRow(grille.rowCount() - 1);
    // A year planned up to its last day offers no entry row.
    if (!rows.isEmpty() && grille.cell(int(rows.size()), 4).left(5) == QLatin1String("31/12"))
        grille.setRowCount(grille.rowCount() - 1);
}
