#include "data/prestation.h"

#include "common/amounts.h"
#include "common/choice_list.h"
#include "common/errors.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "data/sql.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

#include <optional>

namespace {

const int kServiceColumns = 6;

// Service rows of a grid: 1 to row count - 2 (the last row is the entry row).
int lastServiceRow(const TextGrid &grid)
{
    return grid.rowCount() - 2;
}

// The service numbers named in column 0 of a grid's service rows; empty cells
// and texts that are not numbers name nothing.
QList<int> serviceNumbers(const TextGrid &grid)
{
    QList<int> out;
    for (int r = 1; r <= lastServiceRow(grid); ++r) {
        bool ok = false;
        const int id = grid.cell(r, 0).trimmed().toInt(&ok);
        if (ok)
            out.append(id);
    }
    return out;
}

// An amount typed in a form: empty gives an empty column, text that is not a
// number is refused before anything is written.
QVariant optionalAmount(const QString &text)
{
    if (text.trimmed().isEmpty())
        return QVariant(QMetaType::fromType<double>());
    bool ok = false;
    const double value = Format::parseAmount(text, &ok);
    if (!ok)
        throw KestrovaError(QStringLiteral("« %1 » n'est pas un montant valide.").arg(text));
    return value;
}

QVariant requiredAmount(const QString &text)
{
    const QVariant v = optionalAmount(text);
    if (v.isNull())
        throw KestrovaError(QStringLiteral("Le tarif ne peut être vide."));
    return v;
}

bool isNoRate(const QString &rate)
{
    return rate.trimmed().isEmpty() || rate.trimmed() == Amounts::noRateText();
}

QVariant optionalRate(const QString &text)
{
    return isNoRate(text) ? QVariant(QMetaType::fromType<double>()) : optionalAmount(text);
}

// A service exists through its rows, one per room: without a room nothing
// would be stored, and saying "enregistrée" would be false.
void requireRooms(int nombreChambres)
{
    if (nombreChambres < 1)
        throw KestrovaError(
            QStringLiteral("Aucune chambre n'est définie : la prestation n'a pas été enregistrée."));
}

QString numberOrEmpty(const QVariant &v)
{
    return v.isNull() ? QString() : Format::number(v.toDouble());
}

QString placeholders(qsizetype count)
{
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

void clearServicesGrid(TextGrid &grid, int columns)
{
    if (grid.rowCount() == 0)
        grid.setRowCount(1);
    grid.setColumnCount(qMax(grid.columnCount(), columns));
    grid.setRowCount(2);
    grid.clearRow(1);
}

// One row of the join of a night's services with their prices.
struct ServiceLine
{
    int service = 0;
    QString label;
    int quantity = 0;
    QVariant ht;
    QVariant rate;
    QVariant ttc;
};

ServiceLine serviceLine(const QVariantList &row)
{
    return {row.at(0).toInt(), row.at(1).toString(), row.at(2).toInt(), row.at(3), row.at(4), row.at(5)};
}

// Writes a service into a services grid: on the row already naming it (the
// last one when several do), else on the trailing empty row, which is then
// followed by a new one. accumulate adds the quantity to the one listed.
void writeServiceLine(TextGrid &grid, const ServiceLine &line, bool accumulate)
{
    if (grid.rowCount() < 2)
        clearServicesGrid(grid, kServiceColumns);
    const QString number = QString::number(line.service);
    int target = -1;
    for (int r = 1; r < grid.rowCount(); ++r)
        if (grid.cell(r, 0) == number)
            target = r;
    if (target < 0) {
        target = grid.rowCount() - 1;
        grid.setRowCount(grid.rowCount() + 1);
    }
    const int previous = accumulate ? grid.cell(target, 2).toInt() : 0;
    const int quantity = previous + line.quantity;
    grid.setCell(target, 0, number);
    grid.setCell(target, 1, line.label);
    grid.setCell(target, 2, QString::number(quantity));
    grid.setCell(target, 3, Format::number(line.ht.toDouble() * quantity));
    if (!line.rate.isNull())
        grid.setCell(target, 4, Format::number(line.rate.toDouble()));
    grid.setCell(target, 5, Format::number(line.ttc.toDouble() * quantity));
}

// Night rows are stored one per day as ISO text; a day is matched as a range
// so that a value written with a time of day is found as well.
const char *const kDayRange = "r_date >= :jour AND r_date < :lendemain";

void bindDay(Sql &q, const QDate &day)
{
    q.bind(QStringLiteral(":jour"), Format::isoDate(day))
        .bind(QStringLiteral(":lendemain"), Format::isoDate(day.addDays(1)));
}

struct Night
{
    QDate day;
    QVariant room;
    QVariant client;
};

std::optional<Night> readNight(const QSqlDatabase &db, int id)
{
    const QList<QVariantList> rows =
        Sql(db, QStringLiteral("SELECT r_date, numero, info FROM reserv WHERE id = :id"))
            .bind(QStringLiteral(":id"), id)
            .rows();
    if (rows.isEmpty())
        return std::nullopt;
    return Night{Format::fromIsoDate(rows[0][0].toString()), rows[0][1], rows[0][2]};
}

int findNight(const QSqlDatabase &db, const QDate &day, const QVariant &room, const QVariant &client)
{
    if (!day.isValid())
        return -1;
    Sql q(db, QStringLiteral("SELECT id FROM reserv WHERE ") + QLatin1String(kDayRange) +
                  QStringLiteral(" AND numero = :numero AND info = :info ORDER BY id LIMIT 1"));
    bindDay(q, day);
    q.bind(QStringLiteral(":numero"), room).bind(QStringLiteral(":info"), client);
    const QVariant id = q.scalar();
    return id.isValid() ? id.toInt() : -1;
}

// The services of some nights joined with the prices of each night's room; a
// service deleted from the catalogue has no price row and drops out here.
const char *const kNightServicesJoin = " FROM reserv_prestations rp"
                                       " JOIN reserv r ON rp.id_reserv = r.id"
                                       " JOIN prestations p ON rp.id_prestations = p.id_prestation"
                                       " AND p.numero_chambre = r.numero ";

} // namespace

Prestation::Prestation() = default;

// ---- Catalogue ---------------------------------------------------------------

void Prestation::remplirListePrestations(ChoiceList &liste) const
{
    const QList<QVariantList> rows =
        Sql(m_use.db(),
            QStringLiteral("SELECT libelle, id_prestation FROM prestations WHERE numero_chambre = 1 "
                           "ORDER BY libelle, id_prestation"))
            .rows();
    liste.clear();
    liste.add(QStringLiteral("Liste des Prestations"), 0);
    for (const QVariantList &row : rows)
        liste.add(row[0].toString(), row[1].toInt());
}

int Prestation::nouveauNumeroPrestation() const
{
    const QVariant max =
        Sql(m_use.db(), QStringLiteral("SELECT MAX(id_prestation) FROM prestations")).scalar();
    return max.isNull() ? 1 : max.toInt() + 1;
}

void Prestation::ajouterPrestation(int id, const QString &libelle, int chambre, const QString &ht,
                                   const QString &tva, const QString &ttc, int gratuitEnfant, int ajoutAuto)
{
    Sql(m_use.db(),
        QStringLiteral("INSERT INTO prestations (id_prestation, libelle, numero_chambre, tarif_ht, "
                       "tarif_tva, tarif_ttc, chk_gratuit_enfant, chk_add_auto) "
                       "VALUES (:id, :libelle, :chambre, :ht, :tva, :ttc, :gratuit, :auto)"))
        .bind(QStringLiteral(":id"), id)
        .bind(QStringLiteral(":libelle"), libelle)
        .bind(QStringLiteral(":chambre"), chambre)
        .bind(QStringLiteral(":ht"), optionalAmount(ht))
        .bind(QStringLiteral(":tva"), optionalRate(tva))
        .bind(QStringLiteral(":ttc"), optionalAmount(ttc))
        .bind(QStringLiteral(":gratuit"), gratuitEnfant)
        .bind(QStringLiteral(":auto"), ajoutAuto)
        .exec();
}

void Prestation::creerTarifsPeriodes(int id, int chambre, const QString &ht, const QString &tva,
                                     const QString &ttc)
{
    const QVariant htValue = optionalAmount(ht);
    const QVariant rateValue = optionalRate(tva);
    const QVariant ttcValue = optionalAmount(ttc);
    // One statement for every period: all periods get the row or none does.
    Sql(m_use.db(),
        QStringLiteral("INSERT INTO prestations_tarifs (id_prestation, id_periode, numero_chambre, "
                       "tarif_ht, tarif_tva, tarif_ttc) "
                       "SELECT :id, id, :chambre, :ht, :tva, :ttc FROM periodes ORDER BY id"))
        .bind(QStringLiteral(":id"), id)
        .bind(QStringLiteral(":chambre"), chambre)
        .bind(QStringLiteral(":ht"), htValue)
        .bind(QStringLiteral(":tva"), rateValue)
        .bind(QStringLiteral(":ttc"), ttcValue)
        .exec();
}

int Prestation::ajouterPrestationToutesChambres(const QString &libelle, int nombreChambres, const QString &ht,
                                                const QString &tva, const QString &ttc, int gratuitEnfant,
                                                int ajoutAuto)
{
    requireRooms(nombreChambres);
    Transaction transaction(m_use.db());
    const int id = nouveauNumeroPrestation();
    for (int room = 1; room <= nombreChambres; ++room) {
        ajouterPrestation(id, libelle, room, ht, tva, ttc, gratuitEnfant, ajoutAuto);
        creerTarifsPeriodes(id, room, ht, tva, ttc);
    }
    transaction.commit();
    return id;
}

int Prestation::ajouterPrestationParChambre(const QString &libelle, const TextGrid &tarifs,
                                            int nombreChambres, int gratuitEnfant, int ajoutAuto)
{
    requireRooms(nombreChambres);
    Transaction transaction(m_use.db());
    const int id = nouveauNumeroPrestation();
    for (int room = 1; room <= nombreChambres; ++room)
        ajouterPrestation(id, libelle, room, tarifs.cell(room, 1), tarifs.cell(room, 2), tarifs.cell(room, 3),
                          gratuitEnfant, ajoutAuto);
    transaction.commit();
    return id;
}

void Prestation::modifierPrestation(int id, const QString &libelle, int chambre, const QString &ht,
                                    const QString &tva, const QString &ttc)
{
    const QSqlDatabase db = m_use.db();
    const bool exists = Sql(db, QStringLiteral("SELECT 1 FROM prestations WHERE id_prestation = :id "
                                               "AND numero_chambre = :chambre LIMIT 1"))
                            .bind(QStringLiteral(":id"), id)
                            .bind(QStringLiteral(":chambre"), chambre)
                            .scalar()
                            .isValid();
    if (!exists) {
        // A room added after the service (by raising the number of rooms) has
        // no row yet: prices typed for it create one; no price, no row.
        if (ht.trimmed().isEmpty() && ttc.trimmed().isEmpty())
            return;
        requiredAmount(ht);
        requiredAmount(ttc);
        const QList<QVariantList> flags =
            Sql(db, QStringLiteral("SELECT chk_gratuit_enfant, chk_add_auto FROM prestations "
                                   "WHERE id_prestation = :id ORDER BY numero_chambre, id LIMIT 1"))
                .bind(QStringLiteral(":id"), id)
                .rows();
        if (flags.isEmpty())
            return; // the service is gone: nothing to give the room
        ajouterPrestation(id, libelle, chambre, ht, tva, ttc, flags[0][0].toInt(), flags[0][1].toInt());
        return;
    }
    const QVariant htValue = requiredAmount(ht);
    const QVariant ttcValue = requiredAmount(ttc);
    // "---------" chosen means "no rate": keeping the old rate would store a
    // rate that the two prices do not show. Only an empty text keeps it.
    const bool keepRate = tva.trimmed().isEmpty();
    const QVariant rateValue = keepRate ? QVariant() : optionalRate(tva);
    Sql q(db,
          QStringLiteral("UPDATE prestations SET libelle = :libelle, tarif_ht = :ht, tarif_ttc = :ttc") +
              (keepRate ? QString() : QStringLiteral(", tarif_tva = :tva")) +
              QStringLiteral(" WHERE id_prestation = :id AND numero_chambre = :chambre"));
    q.bind(QStringLiteral(":libelle"), libelle)
        .bind(QStringLiteral(":ht"), htValue)
        .bind(QStringLiteral(":ttc"), ttcValue)
        .bind(QStringLiteral(":id"), id)
        .bind(QStringLiteral(":chambre"), chambre);
    if (!keepRate)
        q.bind(QStringLiteral(":tva"), rateValue);
    q.exec();
}

void Prestation::modifierPrestationToutesChambres(int id, const QString &libelle, int nombreChambres,
                                                  const QString &ht, const QString &tva, const QString &ttc)
{
    Transaction transaction(m_use.db());
    for (int room = 1; room <= nombreChambres; ++room)
        modifierPrestation(id, libelle, room, ht, tva, ttc);
    transaction.commit();
}

void Prestation::modifierPrestationParChambre(int id, const QString &libelle, const TextGrid &tarifs,
                                              int nombreChambres)
{
    Transaction transaction(m_use.db());
    for (int room = 1; room <= nombreChambres; ++room)
        modifierPrestation(id, libelle, room, tarifs.cell(room, 1), tarifs.cell(room, 2),
                           tarifs.cell(room, 3));
    transaction.commit();
}

int Prestation::renommerPrestation(int id, const QString &libelle)
{
    Sql q(m_use.db(), QStringLiteral("UPDATE prestations SET libelle = :libelle WHERE id_prestation = :id"));
    q.bind(QStringLiteral(":libelle"), libelle).bind(QStringLiteral(":id"), id).exec();
    return q.numRowsAffected();
}

int Prestation::supprimerPrestation(int id)
{
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    Sql(db, QStringLiteral("DELETE FROM prestations_tarifs WHERE id_prestation = :id"))
        .bind(QStringLiteral(":id"), id)
        .exec();
    Sql q(db, QStringLiteral("DELETE FROM prestations WHERE id_prestation = :id"));
    q.bind(QStringLiteral(":id"), id).exec();
    const int deleted = q.numRowsAffected();
    transaction.commit();
    return deleted;
}

bool Prestation::estTarifUniforme(int id, int n) const
{
    if (n < 1)
        return false;
    const QList<QVariantList> rows =
        Sql(m_use.db(), QStringLiteral("SELECT numero_chambre, tarif_ttc FROM prestations "
                                       "WHERE id_prestation = :id AND numero_chambre BETWEEN 1 AND :n"))
            .bind(QStringLiteral(":id"), id)
            .bind(QStringLiteral(":n"), n)
            .rows();
    // Prices compared to the cent; an empty price equals only an empty price.
    auto cents = [](const QVariant &v) -> std::optional<qint64> {
        if (v.isNull())
            return std::nullopt;
        return qRound64(Format::roundAmount(v.toDouble()) * 100.0);
    };
    QHash<int, std::optional<qint64>> byRoom;
    QList<std::optional<qint64>> all;
    for (const QVariantList &row : rows) {
        byRoom.insert(row[0].toInt(), cents(row[1]));
        all.append(cents(row[1]));
    }
    if (byRoom.size() != n)
        return false;
    const std::optional<qint64> reference = byRoom.value(1);
    for (const std::optional<qint64> &price : all)
        if (price != reference)
            return false;
    return true;
}

void Prestation::etendreChambres(int n)
{
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    const int highest =
        Sql(db, QStringLiteral("SELECT MAX(numero_chambre) FROM prestations")).scalar().toInt();
    if (highest <= 0 || n <= highest)
        return;
    for (int room = highest + 1; room <= n; ++room) {
        Sql(db, QStringLiteral(
                    "INSERT INTO prestations (id_prestation, libelle, numero_chambre, tarif_ht, tarif_tva, "
                    "tarif_ttc) SELECT id_prestation, libelle, :room, tarif_ht, tarif_tva, tarif_ttc "
                    "FROM prestations WHERE numero_chambre = :highest ORDER BY id"))
            .bind(QStringLiteral(":room"), room)
            .bind(QStringLiteral(":highest"), highest)
            .exec();
    }
    transaction.commit();
}

// ---- Prices of one service in one room -----------------------------------------

QVariant Prestation::priceColumn(const char *column, int id, int chambre) const
{
    return Sql(m_use.db(), QStringLiteral("SELECT ") + QLatin1String(column) +
                               QStringLiteral(" FROM prestations WHERE numero_chambre = :chambre AND "
                                              "id_prestation = :id ORDER BY libelle, id LIMIT 1"))
        .bind(QStringLiteral(":chambre"), chambre)
        .bind(QStringLiteral(":id"), id)
        .scalar();
}

QString Prestation::getTarifHT(int id, int chambre) const
{
    const QVariant v = priceColumn("tarif_ht", id, chambre);
    return v.isNull() ? QStringLiteral("0") : Format::number(v.toDouble());
}

QString Prestation::getTauxTva(int id, int chambre) const
{
    const QVariant v = priceColumn("tarif_tva", id, chambre);
    return v.isNull() ? Amounts::noRateText() : Format::number(v.toDouble());
}

QString Prestation::getTarifTTC(int id, int chambre) const
{
    const QVariant v = priceColumn("tarif_ttc", id, chambre);
    return v.isNull() ? QStringLiteral("0") : Format::number(v.toDouble());
}

bool Prestation::estGratuitEnfant(int id, int chambre) const
{
    return priceColumn("chk_gratuit_enfant", id, chambre).toInt() != 0;
}

bool Prestation::estAjoutAuto(int id, int chambre) const
{
    return priceColumn("chk_add_auto", id, chambre).toInt() != 0;
}

bool Prestation::afficherTarifsChambres(TextGrid &grille, int id) const
{
    const QList<QVariantList> rows =
        Sql(m_use.db(),
            QStringLiteral("SELECT tarif_ht, tarif_tva, tarif_ttc, numero_chambre FROM prestations "
                           "WHERE id_prestation = :id ORDER BY numero_chambre, id"))
            .bind(QStringLiteral(":id"), id)
            .rows();
    for (const QVariantList &row : rows) {
        const int room = row[3].toInt();
        // Rooms beyond the current number of rooms keep their rows but are not shown.
        if (room < 1 || room >= grille.rowCount())
            continue;
        grille.setCell(room, 1, numberOrEmpty(row[0]));
        grille.setCell(room, 2, row[1].isNull() ? Amounts::noRateText() : Format::number(row[1].toDouble()));
        grille.setCell(room, 3, numberOrEmpty(row[2]));
    }
    return !rows.isEmpty();
}

// ---- Services of nights --------------------------------------------------------

void Prestation::majPrestationsNuit(int idNuit, const TextGrid &grille, const TextGrid *grilleConservee)
{
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    for (int r = 1; r <= lastServiceRow(grille); ++r) {
        bool ok = false;
        const int service = grille.cell(r, 0).trimmed().toInt(&ok);
        if (!ok)
            continue;
        const QString quantityText = grille.cell(r, 2).trimmed();
        const int quantity = quantityText.toInt(&ok);
        if (!ok)
            throw KestrovaError(
                QStringLiteral("La quantité « %1 » de la prestation « %2 » n'est pas un nombre entier.")
                    .arg(quantityText, grille.cell(r, 1)));
        Sql update(db, QStringLiteral("UPDATE reserv_prestations SET nb = :nb "
                                      "WHERE id_reserv = :nuit AND id_prestations = :prestation"));
        update.bind(QStringLiteral(":nb"), quantity)
            .bind(QStringLiteral(":nuit"), idNuit)
            .bind(QStringLiteral(":prestation"), service)
            .exec();
        if (update.numRowsAffected() > 0)
            continue;
        Sql(db, QStringLiteral("INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) "
                               "VALUES (:nuit, :prestation, :nb)"))
            .bind(QStringLiteral(":nuit"), idNuit)
            .bind(QStringLiteral(":prestation"), service)
            .bind(QStringLiteral(":nb"), quantity)
            .exec();
    }

    QList<int> keep = serviceNumbers(grille);
    if (grilleConservee)
        keep += serviceNumbers(*grilleConservee);
    // A night whose grids name no service at all keeps what it has: an empty
    // grid means "not loaded", not "remove everything".
    if (!keep.isEmpty()) {
        Sql remove(db, QStringLiteral(
                           "DELETE FROM reserv_prestations WHERE id_reserv = ? AND id_prestations NOT IN (") +
                           placeholders(keep.size()) + QLatin1Char(')'));
        remove.add(idNuit);
        for (int id : keep)
            remove.add(id);
        remove.exec();
    }
    transaction.commit();
}

void Prestation::cumulerPrestationsNuit(int idNuit, bool vider, TextGrid &grille) const
{
    if (vider)
        clearServicesGrid(grille, kServiceColumns);
    const QList<QVariantList> rows =
        Sql(m_use.db(),
            QStringLiteral("SELECT p.id_prestation, p.libelle, rp.nb, p.tarif_ht, p.tarif_tva, p.tarif_ttc") +
                QLatin1String(kNightServicesJoin) +
                QStringLiteral("WHERE rp.id_reserv = :nuit ORDER BY rp.id"))
            .bind(QStringLiteral(":nuit"), idNuit)
            .rows();
    for (const QVariantList &row : rows)
        writeServiceLine(grille, serviceLine(row), true);
}

void Prestation::chargerPrestationsSejour(int idPremiereNuit, bool vider, TextGrid &quotidiennes,
                                          TextGrid &ponctuelles) const
{
    const QSqlDatabase db = m_use.db();
    if (vider) {
        clearServicesGrid(quotidiennes, kServiceColumns);
        clearServicesGrid(ponctuelles, 3);
    }
    const std::optional<Night> first = readNight(db, idPremiereNuit);
    if (!first)
        return;
    QList<int> nights{idPremiereNuit};
    for (int offset = 1;; ++offset) {
        const int next = findNight(db, first->day.addDays(offset), first->room, first->client);
        if (next < 0)
            break;
        nights.append(next);
    }

    // A service is daily when every night of the stay has it with the same quantity.
    Sql daily(
        db, QStringLiteral("SELECT p.id_prestation, p.libelle, rp.nb, p.tarif_ht, p.tarif_tva, p.tarif_ttc") +
                QLatin1String(kNightServicesJoin) + QStringLiteral("WHERE rp.id_reserv IN (") +
                placeholders(nights.size()) +
                QStringLiteral(") GROUP BY p.id_prestation, p.libelle, rp.nb, p.tarif_ht, p.tarif_tva, "
                               "p.tarif_ttc HAVING COUNT(DISTINCT rp.id_reserv) = ? ORDER BY MIN(rp.id)"));
    for (int id : nights)
        daily.add(id);
    daily.add(int(nights.size()));
    for (const QVariantList &row : daily.rows())
        writeServiceLine(quotidiennes, serviceLine(row), false);

    QSet<QString> dailyNumbers;
    for (int r = 1; r < quotidiennes.rowCount(); ++r)
        if (!quotidiennes.cell(r, 0).isEmpty())
            dailyNumbers.insert(quotidiennes.cell(r, 0));

    Sql oneOff(db, QStringLiteral("SELECT p.id_prestation, p.libelle, r.r_date") +
                       QLatin1String(kNightServicesJoin) + QStringLiteral("WHERE rp.id_reserv IN (") +
                       placeholders(nights.size()) + QStringLiteral(") ORDER BY r.r_date, rp.id"));
    for (int id : nights)
        oneOff.add(id);
    for (const QVariantList &row : oneOff.rows()) {
        const QString number = QString::number(row[0].toInt());
        if (dailyNumbers.contains(number))
            continue;
        if (ponctuelles.rowCount() < 2)
            clearServicesGrid(ponctuelles, 3);
        const int target = ponctuelles.rowCount() - 1;
        ponctuelles.setRowCount(target + 2);
        ponctuelles.setCell(target, 0, number);
        ponctuelles.setCell(target, 1, row[1].toString());
        ponctuelles.setCell(target, 2, Format::date(Format::fromIsoDate(row[2].toString())));
    }
}

int Prestation::getNuitVoisine(int idNuit, int decalage) const
{
    const QSqlDatabase db = m_use.db();
    const std::optional<Night> night = readNight(db, idNuit);
    if (!night)
        return -1;
    return findNight(db, night->day.addDays(decalage), night->room, night->client);
}

QDate Prestation::getDateNuit(int idNuit) const
{
    const std::optional<Night> night = readNight(m_use.db(), idNuit);
    return night && night->day.isValid() ? night->day : Format::zeroDate();
}
