#include "data/reservation.h"

#include "common/errors.h"
#include "common/format.h"
#include "common/text_grid.h"
#include "data/log.h"
#include "data/prestation.h"
#include "data/dialect.h"
#include "data/sql.h"
#include "settings/settings.h"

#include <QHash>
#include <QSet>
#include <QVariant>

#include <algorithm>

// Dates are ISO text in r_date. Every date condition is a half-open range
// [day, next day) so that the (numero, r_date) and (r_date) indexes serve it,
// and so that a value written with a time of day still belongs to its day.

namespace {

// ISO text of a date, as r_date holds it. Written by hand: the statistics
// bind over a thousand dates per year, and a format string is parsed per call.
QString iso(const QDate &d)
{
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        return Format::isoDate(d);
    const int parts[3] = {d.year(), d.month(), d.day()};
    QChar text[10];
    const int widths[3] = {4, 2, 2};
    int at = 0;
    for (int p = 0; p < 3; ++p) {
        if (p > 0)
            text[at++] = QLatin1Char('-');
        for (int i = widths[p] - 1, v = parts[p]; i >= 0; --i, v /= 10)
            text[at + i] = QLatin1Char(char('0' + v % 10));
        at += widths[p];
    }
    return QString(text, 10);
}

// Reads "YYYY-MM-DD" (a time part after it is ignored) without the cost of a
// format parser: the planning reads hundreds of rows per fill.
QDate nightDate(const QVariant &value)
{
    const QString s = value.toString();
    if (s.size() < 10 || s.at(4) != QLatin1Char('-') || s.at(7) != QLatin1Char('-'))
        return {};
    auto number = [&s](int from, int count) {
        int n = 0;
        for (int i = from; i < from + count; ++i) {
            const int digit = s.at(i).digitValue();
            if (digit < 0)
                return -1;
            n = n * 10 + digit;
        }
        return n;
    };
    const int y = number(0, 4);
    const int m = number(5, 2);
    const int d = number(8, 2);
    if (y < 0 || m < 0 || d < 0)
        return {};
    return QDate(y, m, d);
}

QDate firstOfMonth(int year, int month)
{
    return QDate(year, month, 1);
}

// One night row with what the planning texts need of its client.
struct Night
{
    int room = 0;
    QDate date;
    int id = 0;
    int client = 0;
    QString etat;
    bool clientFound = false;
    int type = 0;
    QString nom;
    QString nomEts;
};

// Calls visit(night) for each night of [from, to), ordered by date then id
// (so "the last row of the day" is the last one visited); room 0 reads every
// room. The planning reads hundreds of rows per fill: nothing is kept.
template <typename Visit>
void forEachNight(const QSqlDatabase &db, int room, const QDate &from, const QDate &to, Visit visit)
{
    QString statement =
        QStringLiteral("SELECT r.numero, r.r_date, r.id, r.info, r.etat, i.id, i.type, i.nom, i.nom_ets "
                       "FROM reserv r LEFT JOIN infos i ON i.id = r.info "
                       "WHERE r.r_date >= :debut AND r.r_date < :fin ");
    if (room != 0)
        statement += QStringLiteral("AND r.numero = :numero ");
    statement += QStringLiteral("ORDER BY r.r_date, r.id");
    RowReader q(db, statement);
    q.bind(QStringLiteral(":debut"), iso(from)).bind(QStringLiteral(":fin"), iso(to));
    if (room != 0)
        q.bind(QStringLiteral(":numero"), room);
    Night n;
    while (q.next()) {
        n.room = q.toInt(0);
        n.date = q.isoDate(1);
        n.id = q.toInt(2);
        n.client = q.toInt(3);
        n.etat = q.text(4);
        n.clientFound = !q.isNull(5);
        n.type = q.toInt(6);
        n.nom = q.text(7);
        n.nomEts = q.text(8);
        visit(std::as_const(n));
    }
}

// Calls visit(date, state) for each night of one room in [from, to), in the
// same order; the state fills need nothing of the client.
template <typename Visit>
void forEachState(const QSqlDatabase &db, int room, const QDate &from, const QDate &to, Visit visit)
{
    RowReader q(db, QStringLiteral("SELECT r_date, etat FROM reserv WHERE numero = :numero "
                                   "AND r_date >= :debut AND r_date < :fin ORDER BY r_date, id"));
    q.bind(QStringLiteral(":numero"), room)
        .bind(QStringLiteral(":debut"), iso(from))
        .bind(QStringLiteral(":fin"), iso(to));
    while (q.next())
        visit(q.isoDate(0), q.text(1));
}

QList<Night> readNights(const QSqlDatabase &db, int room, const QDate &from, const QDate &to)
{
    QList<Night> out;
    forEachNight(db, room, from, to, [&out](const Night &n) { out.append(n); });
    return out;
}

// The name a planning cell shows for a night's client: the surname, else the
// company name (a company is normally saved with its company name alone),
// else nothing.
QString clientName(const Night &n)
{
    return !n.nom.isEmpty() ? n.nom : n.nomEts;
}

// Client text of one day: each night of the day in turn may replace it, the
// last one winning. Both client kinds show the client's name, else the state,
// so that a night of a client without a surname never looks free. A night
// whose client is gone shows nothing.
void applyClientText(QString &text, const Night &n)
{
    if (!n.clientFound || (n.type != 1 && n.type != 2))
        return;
    const QString name = clientName(n);
    text = !name.isEmpty() ? name : n.etat;
}

// Month text of one night ("name state", the state alone without a name);
// null when the night writes nothing (client gone, or a client kind the
// program does not know).
QString monthText(const Night &n)
{
    if (!n.clientFound || (n.type != 1 && n.type != 2))
        return {};
    // Never null once the night writes: an empty state still replaces the entry.
    const QString etat = n.etat.isNull() ? QStringLiteral("") : n.etat;
    const QString name = clientName(n);
    return name.isEmpty() ? etat : name + QLatin1Char(' ') + etat;
}

// Week text of the first night of a day ("state name", the state alone
// without a name or client).
QString stateAndName(const Night &n)
{
    const QString name = n.clientFound ? clientName(n) : QString();
    return name.isEmpty() ? n.etat : n.etat + QLatin1Char(' ') + name;
}

int dayIndex(const QDate &first, const QDate &date)
{
    return date.isValid() ? int(first.daysTo(date)) : -1;
}

// The last night of the stay whose night `date` is in `room` for `client`:
// the next night is looked up day by day until a day without one.
QDate walkToLastNight(const QSqlDatabase &db, const QDate &date, const QVariant &room, const QVariant &client)
{
    Sql next(db, QStringLiteral("SELECT 1 FROM reserv WHERE numero = :numero AND info = :client "
                                "AND r_date >= :debut AND r_date < :fin LIMIT 1"));
    next.bind(QStringLiteral(":numero"), room).bind(QStringLiteral(":client"), client);
    QDate last = date;
    for (;;) {
        const QDate candidate = last.addDays(1);
        next.bind(QStringLiteral(":debut"), iso(candidate))
            .bind(QStringLiteral(":fin"), iso(candidate.addDays(1)));
        next.exec();
        const bool found = next.next();
        next.query().finish();
        if (!found)
            return last;
        last = candidate;
    }
}

// Deletes the nights of one client in one room from `from` to `to` included,
// services first so that none is left pointing at a missing night.
void deleteNights(const QSqlDatabase &db, const QVariant &room, const QVariant &client, const QDate &from,
                  const QDate &to)
{
    if (from > to)
        return;
    const QString where =
        QStringLiteral("numero = :numero AND info = :client AND r_date >= :debut AND r_date < :fin");
    const QString services =
        QStringLiteral("DELETE FROM reserv_prestations WHERE id_reserv IN (SELECT id FROM reserv WHERE ") +
        where + QLatin1Char(')');
    const QString nights = QStringLiteral("DELETE FROM reserv WHERE ") + where;
    for (const QString &statement : {services, nights}) {
        Sql(db, statement)
            .bind(QStringLiteral(":numero"), room)
            .bind(QStringLiteral(":client"), client)
            .bind(QStringLiteral(":debut"), iso(from))
            .bind(QStringLiteral(":fin"), iso(to.addDays(1)))
            .exec();
    }
}

// Deletes nights by id, services first so that none is left pointing at a
// missing night.
void deleteNightIds(const QSqlDatabase &db, const QList<int> &ids)
{
    if (ids.isEmpty())
        return;
    Sql services(db, QStringLiteral("DELETE FROM reserv_prestations WHERE id_reserv = :id"));
    Sql nights(db, QStringLiteral("DELETE FROM reserv WHERE id = :id"));
    for (int id : ids) {
        services.bind(QStringLiteral(":id"), id).exec();
        nights.bind(QStringLiteral(":id"), id).exec();
    }
}

// A night of the stay being changed.
struct StayNight
{
    int id;
    QDate date;
};

// Throws RoomTakenError for the first of `days` on which room already holds a
// row other than those of `own` (the stay being changed). Run inside the
// writing transaction, whose write lock keeps the answer true until commit.
void refuseTakenNights(const QSqlDatabase &db, int room, const QList<QDate> &days, const QSet<int> &own)
{
    if (days.isEmpty())
        return;
    Dialect::serializeNightWrites(db);
    const QSet<QDate> wanted(days.cbegin(), days.cend());
    const auto [first, last] = std::minmax_element(days.cbegin(), days.cend());
    Sql q(db, QStringLiteral("SELECT id, r_date FROM reserv WHERE numero = :numero AND r_date >= :debut "
                             "AND r_date < :fin ORDER BY r_date, id"));
    q.bind(QStringLiteral(":numero"), room)
        .bind(QStringLiteral(":debut"), iso(*first))
        .bind(QStringLiteral(":fin"), iso(last->addDays(1)));
    for (const QVariantList &row : q.rows()) {
        const QDate date = nightDate(row.at(1));
        if (!own.contains(row.at(0).toInt()) && wanted.contains(date))
            throw RoomTakenError(room, date);
    }
}

// Inserts new nights of one stay, each with its operation log entry.
class NightWriter
{
public:
    NightWriter(const QSqlDatabase &db, int room, const QString &etat, int client, int adults, int children)
        : m_insert(db, QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, nbpers, nbenfants) "
                                      "VALUES (:r_date, :numero, :info, :etat, :nbpers, :nbenfants)")),
          m_room(room), m_etat(etat), m_client(client)
    {
        m_insert.bind(QStringLiteral(":numero"), room)
            .bind(QStringLiteral(":info"), client)
            .bind(QStringLiteral(":etat"), etat)
            .bind(QStringLiteral(":nbpers"), adults)
            .bind(QStringLiteral(":nbenfants"), children);
    }

    // Returns the new night's id.
    int insert(const QDate &day)
    {
        try {
            m_insert.bind(QStringLiteral(":r_date"), iso(day)).exec();
        } catch (const UniqueViolation &) {
            throw RoomTakenError::byIndex(m_room, day);
        }
        const int id = m_insert.lastInsertId().toInt();
        m_log.journaliserAjoutReservation(id, Format::date(day), QStringLiteral("0"), m_etat,
                                          QString::number(m_client), QString::number(m_room));
        return id;
    }

private:
    Sql m_insert;
    Log m_log;
    int m_room;
    QString m_etat;
    int m_client;
};

struct ServiceLine
{
    int service;
    int quantity;
};

// Service rows of a grid (1 to row count - 2); rows without a service number
// name nothing; a quantity that is not a whole number is refused before any
// write, with the same text as the night services update.
QList<ServiceLine> serviceLines(const TextGrid &grid)
{
    QList<ServiceLine> out;
    for (int r = 1; r <= grid.rowCount() - 2; ++r) {
        bool ok = false;
        const int service = grid.cell(r, 0).trimmed().toInt(&ok);
        if (!ok)
            continue;
        const QString quantityText = grid.cell(r, 2).trimmed();
        const int quantity = quantityText.toInt(&ok);
        if (!ok)
            throw KestrovaError(
                QStringLiteral("La quantité « %1 » de la prestation « %2 » n'est pas un nombre entier.")
                    .arg(quantityText, grid.cell(r, 1)));
        out.append({service, quantity});
    }
    return out;
}

// Turnover of a date range: the quantities of each service are added up per
// room first, then priced once with the room's base price. The sum is the same
// as pricing every service row (nb x price, added up), with the quantities
// added exactly, and it spares one price lookup per service row. The nights
// come first (CROSS JOIN keeps that order) so that the date range, not the
// price list, drives the search; grouping by service first keeps SQLite on
// the date index when every room is summed.
QString turnoverStatement(bool oneRoom)
{
    return QStringLiteral("SELECT SUM(s.nb * p.tarif_ht) FROM ("
                          "SELECT r.numero AS chambre, rp.id_prestations AS prestation, SUM(rp.nb) AS nb "
                          "FROM reserv r CROSS JOIN reserv_prestations rp "
                          "WHERE rp.id_reserv = r.id AND r.r_date >= :debut AND r.r_date < :fin ") +
           (oneRoom ? QStringLiteral("AND r.numero = :numero ") : QString()) +
           QStringLiteral("GROUP BY 2, 1) s CROSS JOIN prestations p "
                          "WHERE p.id_prestation = s.prestation AND p.numero_chambre = s.chambre");
}

const QString kMonthTurnover = turnoverStatement(true);
const QString kDayTurnover = turnoverStatement(false);
const QString kMonthNights = QStringLiteral("SELECT COUNT(*), SUM(nbpers) FROM reserv WHERE numero = :numero "
                                            "AND r_date >= :debut AND r_date < :fin");

Sql &bindMonth(Sql &q, int room, const QString &from, const QString &to)
{
    return q.bind(QStringLiteral(":numero"), room)
        .bind(QStringLiteral(":debut"), from)
        .bind(QStringLiteral(":fin"), to);
}

Sql &bindMonth(Sql &q, int room, int year, int month)
{
    const QDate first = firstOfMonth(year, month);
    return bindMonth(q, room, iso(first), iso(first.addMonths(1)));
}

} // namespace

Reservation::Reservation() = default;

// ---- Single rows -------------------------------------------------------------

QString Reservation::getNomChambre(int numero)
{
    return Settings::roomName(numero);
}

QDate Reservation::getDateDebut(int id) const
{
    const QDate d = nightDate(Sql(m_use.db(), QStringLiteral("SELECT r_date FROM reserv WHERE id = :id"))
                                  .bind(QStringLiteral(":id"), id)
                                  .scalar());
    return d.isValid() ? d : Format::zeroDate();
}

QDate Reservation::getDateFin(int id) const
{
    const QSqlDatabase db = m_use.db();
    Sql first(db, QStringLiteral("SELECT r_date, numero, info FROM reserv WHERE id = :id"));
    first.bind(QStringLiteral(":id"), id);
    if (!first.next())
        return Format::zeroDate();
    const QDate date = nightDate(first.value(0));
    const QVariant room = first.value(1);
    const QVariant client = first.value(2);
    first.query().finish();
    if (!date.isValid())
        return Format::zeroDate();
    return walkToLastNight(db, date, room, client);
}

int Reservation::getNumeroChambre(int id) const
{
    return Sql(m_use.db(), QStringLiteral("SELECT numero FROM reserv WHERE id = :id"))
        .bind(QStringLiteral(":id"), id)
        .scalar()
        .toInt();
}

QString Reservation::getNomChambreReservation(int id) const
{
    return getNomChambre(getNumeroChambre(id));
}

QString Reservation::getEtat(int id) const
{
    return Sql(m_use.db(), QStringLiteral("SELECT etat FROM reserv WHERE id = :id"))
        .bind(QStringLiteral(":id"), id)
        .scalar()
        .toString();
}

// ---- Refusal of a taken night ----------------------------------------------

RoomTakenError::RoomTakenError(int room, const QDate &date)
    : RoomTakenError(room, date,
                     QStringLiteral("La chambre %1 est déjà occupée le %2 : rien n'a été enregistré.")
                         .arg(Settings::roomName(room), Format::date(date)))
{
}

RoomTakenError::RoomTakenError(int room, const QDate &date, const QString &text)
    : KestrovaError(text), m_room(room), m_date(date)
{
}

RoomTakenError RoomTakenError::byIndex(int room, const QDate &date)
{
    return RoomTakenError(room, date,
                          QStringLiteral("Chambre déjà prise : la chambre %1, nuit du %2, vient d'être réservée "
                                         "depuis un autre poste. Rien n'a été enregistré.")
                              .arg(Settings::roomName(room), Format::date(date)));
}

// ---- Stays of a client -------------------------------------------------------

void Reservation::listerReservationsClient(const QString &client, TextGrid &grille) const
{
    const QString wanted = client.trimmed();
    QString statement =
        QStringLiteral("SELECT id, r_date, numero, info, etat, nbpers, nbenfants FROM reserv ");
    if (!wanted.isEmpty())
        statement += QStringLiteral("WHERE info = :client ");
    statement += QStringLiteral("ORDER BY numero, r_date, id");
    Sql q(m_use.db(), statement);
    if (!wanted.isEmpty()) {
        bool ok = false;
        const int number = wanted.toInt(&ok);
        q.bind(QStringLiteral(":client"), ok ? QVariant(number) : QVariant(wanted));
    }

    const QList<QVariantList> rows = q.rows();
    // Room names from one reading of the settings, not one per line.
    int highestRoom = 0;
    for (const QVariantList &row : rows)
        highestRoom = qMax(highestRoom, row.at(2).toInt());
    const QStringList names = Settings::roomNames(highestRoom);
    const auto roomName = [&names](int room) {
        return room >= 1 && room <= names.size() ? names.at(room - 1) : getNomChambre(room);
    };

    int line = 0;
    QDate nextDate;
    QVariant lineRoom;
    QVariant lineClient;
    for (const QVariantList &row : rows) {
        const QDate date = nightDate(row.at(1));
        const QVariant room = row.at(2);
        const QVariant info = row.at(3);
        // The client is compared too: listing every row must not join two
        // clients' nights in one room into one stay.
        const bool continues =
            line > 0 && date.isValid() && date == nextDate && room == lineRoom && info == lineClient;
        if (continues) {
            grille.setCell(line, 2, Format::date(date));
        } else {
            ++line;
            grille.setRowCount(grille.rowCount() + 1);
            const auto orZero = [](const QVariant &v) {
                return v.isNull() ? QStringLiteral("0") : v.toString();
            };
            grille.setCell(line, 0, row.at(0).toString());
            grille.setCell(line, 1, Format::date(date));
            grille.setCell(line, 2, QString());
            grille.setCell(line, 3, roomName(room.toInt()));
            grille.setCell(line, 4, row.at(4).toString());
            grille.setCell(line, 5, room.toString());
            grille.setCell(line, 6, orZero(row.at(5)));
            grille.setCell(line, 7, orZero(row.at(6)));
            lineRoom = room;
            lineClient = info;
        }
        nextDate = date.isValid() ? date.addDays(1) : QDate();
    }
}

void Reservation::supprimerReservation(int id)
{
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    Sql first(db, QStringLiteral("SELECT r_date, numero, info FROM reserv WHERE id = :id"));
    first.bind(QStringLiteral(":id"), id);
    if (!first.next())
        return;
    const QDate date = nightDate(first.value(0));
    const QVariant room = first.value(1);
    const QVariant client = first.value(2);
    first.query().finish();

    Sql(db, QStringLiteral("DELETE FROM reserv_prestations WHERE id_reserv = :id"))
        .bind(QStringLiteral(":id"), id)
        .exec();
    Sql(db, QStringLiteral("DELETE FROM reserv WHERE id = :id")).bind(QStringLiteral(":id"), id).exec();
    if (date.isValid())
        deleteNights(db, room, client, date.addDays(1), walkToLastNight(db, date, room, client));
    transaction.commit();
}

// ---- Planning texts ----------------------------------------------------------

QString Reservation::getNomClientJour(int numero, const QDate &jour) const
{
    QString text;
    for (const Night &n : readNights(m_use.db(), numero, jour, jour.addDays(1)))
        applyClientText(text, n);
    return text;
}

QString Reservation::getEtatJour(int numero, const QDate &jour) const
{
    Sql q(m_use.db(), QStringLiteral("SELECT etat FROM reserv WHERE numero = :numero AND r_date >= :debut "
                                     "AND r_date < :fin ORDER BY r_date DESC, id DESC LIMIT 1"));
    return q.bind(QStringLiteral(":numero"), numero)
        .bind(QStringLiteral(":debut"), iso(jour))
        .bind(QStringLiteral(":fin"), iso(jour.addDays(1)))
        .scalar()
        .toString();
}

void Reservation::remplirClientsSemaine(int numero, QStringList &liste, const QDate &premierJour) const
{
    const int days = int(qMin<qsizetype>(7, liste.size()));
    QStringList texts(days);
    for (const Night &n : readNights(m_use.db(), numero, premierJour, premierJour.addDays(days))) {
        const int d = dayIndex(premierJour, n.date);
        if (d >= 0 && d < days)
            applyClientText(texts[d], n);
    }
    for (int d = 0; d < days; ++d)
        liste[d] = texts.at(d);
}

void Reservation::remplirEtatsSemaine(int numero, QStringList &liste, const QDate &premierJour) const
{
    const int days = int(qMin<qsizetype>(7, liste.size()));
    QStringList states(days);
    forEachState(m_use.db(), numero, premierJour, premierJour.addDays(days),
                 [&](const QDate &date, const QString &etat) {
                     const int d = dayIndex(premierJour, date);
                     if (d >= 0 && d < days)
                         states[d] = etat;
                 });
    for (int d = 0; d < days; ++d)
        liste[d] = states.at(d);
}

void Reservation::remplirEtatsMois(int numero, QStringList &liste, const QDate &jour) const
{
    const QDate first = firstOfMonth(jour.year(), jour.month());
    forEachState(m_use.db(), numero, first, first.addMonths(1), [&](const QDate &date, const QString &etat) {
        const int d = dayIndex(first, date);
        if (d >= 0 && d < liste.size())
            liste[d] = etat;
    });
}

void Reservation::remplirClientsMois(int numero, QStringList &liste, const QDate &jour) const
{
    const QDate first = firstOfMonth(jour.year(), jour.month());
    const QList<Night> nights = readNights(m_use.db(), numero, first, first.addMonths(1));
    QHash<int, QList<const Night *>> byDay;
    for (const Night &n : nights) {
        const int d = dayIndex(first, n.date);
        byDay[d].append(&n);
        const QString text = monthText(n);
        if (!text.isNull() && d >= 0 && d < liste.size())
            liste[d] = text;
    }
    // Nights whose client row is gone wrote nothing: when the texts written do
    // not account for every night, each empty day with exactly one night shows
    // that night's state.
    const int last = int(qMin<qsizetype>(first.daysInMonth(), liste.size() - 1));
    int written = 0;
    for (int i = 0; i <= last; ++i)
        written += liste.at(i).isEmpty() ? 0 : 1;
    if (written == nights.size())
        return;
    for (int i = 0; i <= last; ++i) {
        if (!liste.at(i).isEmpty())
            continue;
        const QList<const Night *> day = byDay.value(i);
        if (day.size() == 1)
            liste[i] = day.first()->etat;
    }
}

PlanningTable Reservation::lirePlanningSemaine(const QDate &premierJour, int nbChambres) const
{
    return lirePlanning(premierJour, 7, nbChambres);
}

PlanningTable Reservation::lirePlanningMois(const QDate &jour, int nbChambres) const
{
    const QDate first = firstOfMonth(jour.year(), jour.month());
    return lirePlanning(first, first.daysInMonth(), nbChambres);
}

PlanningTable Reservation::lirePlanning(const QDate &premierJour, int nbJours, int nbChambres) const
{
    PlanningTable table(premierJour, nbJours, nbChambres);
    if (nbJours <= 0 || nbChambres <= 0)
        return table;
    QList<int> nightsPerCell(qsizetype(nbJours) * nbChambres, 0);
    forEachNight(m_use.db(), 0, premierJour, premierJour.addDays(nbJours), [&](const Night &n) {
        const int d = dayIndex(premierJour, n.date);
        if (n.room < 1 || n.room > nbChambres || d < 0 || d >= nbJours)
            return;
        PlanningCell &cell = table.cell(n.room, d);
        const bool firstOfDay = ++nightsPerCell[qsizetype(n.room - 1) * nbJours + d] == 1;
        cell.id = n.id;
        cell.client = n.client;
        cell.etat = n.etat;
        applyClientText(cell.texteClient, n);
        const QString text = monthText(n);
        if (!text.isNull())
            cell.texteMois = text;
        if (firstOfDay) {
            cell.premierEtat = n.etat;
            cell.texteEtatNom = stateAndName(n);
        }
    });
    // As in a month list: a night that wrote no text shows its state when it
    // is the day's only night.
    for (int room = 1; room <= nbChambres; ++room) {
        for (int d = 0; d < nbJours; ++d) {
            PlanningCell &cell = table.cell(room, d);
            if (cell.texteMois.isEmpty() && nightsPerCell.at(qsizetype(room - 1) * nbJours + d) == 1)
                cell.texteMois = cell.etat;
        }
    }
    return table;
}

// ---- Availability ------------------------------------------------------------

bool Reservation::estDisponible(int numero, const QDate &debut, const QDate &fin) const
{
    if (debut > fin)
        return true;
    Sql q(m_use.db(), QStringLiteral("SELECT 1 FROM reserv WHERE numero = :numero AND r_date >= :debut "
                                     "AND r_date < :fin LIMIT 1"));
    return !q.bind(QStringLiteral(":numero"), numero)
                .bind(QStringLiteral(":debut"), iso(debut))
                .bind(QStringLiteral(":fin"), iso(fin.addDays(1)))
                .scalar()
                .isValid();
}

QSet<int> Reservation::getChambresOccupees(const QDate &debut, const QDate &fin) const
{
    QSet<int> rooms;
    if (debut > fin)
        return rooms;
    Sql q(m_use.db(),
          QStringLiteral("SELECT DISTINCT numero FROM reserv WHERE r_date >= :debut AND r_date < :fin"));
    q.bind(QStringLiteral(":debut"), iso(debut)).bind(QStringLiteral(":fin"), iso(fin.addDays(1)));
    for (const QVariantList &row : q.rows())
        rooms.insert(row.at(0).toInt());
    return rooms;
}

// ---- Creation and change -----------------------------------------------------

void Reservation::ajouterReservation(int numero, const QString &etat, int client, const QDate &debut,
                                     const QDate &fin, const TextGrid &prestationsQuotidiennes, int nbAdultes,
                                     int nbEnfants)
{
    const QList<ServiceLine> services = serviceLines(prestationsQuotidiennes);
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);
    QList<QDate> days;
    for (QDate day = debut; day <= fin; day = day.addDays(1))
        days.append(day);
    refuseTakenNights(db, numero, days, {});
    NightWriter writer(db, numero, etat, client, nbAdultes, nbEnfants);
    Sql service(db, QStringLiteral("INSERT INTO reserv_prestations (id_reserv, id_prestations, nb) "
                                   "VALUES (:id_reserv, :id_prestations, :nb)"));
    for (const QDate &day : std::as_const(days)) {
        const int id = writer.insert(day);
        for (const ServiceLine &line : services) {
            service.bind(QStringLiteral(":id_reserv"), id)
                .bind(QStringLiteral(":id_prestations"), line.service)
                .bind(QStringLiteral(":nb"), line.quantity)
                .exec();
        }
    }
    transaction.commit();
}

void Reservation::modifierReservation(bool change, int nouvelleChambre, int ancienneChambre,
                                      const QString &etat, int client, const QDate &nouveauDebut,
                                      const QDate &nouvelleFin, const TextGrid &prestationsQuotidiennes,
                                      const TextGrid &prestationsPonctuelles, const QDate &ancienDebut,
                                      const QDate &ancienneFin, int nbAdultes, int nbEnfants)
{
    const QSqlDatabase db = m_use.db();
    Transaction transaction(db);

    // The nights of the stay being changed, collected before anything moves.
    // Every later step acts on these ids or on the nights it inserts itself:
    // a condition on room, client and dates would also catch another stay of
    // the same client lying in the new room.
    QList<StayNight> kept;
    QList<int> dropped;
    QSet<int> own;
    {
        Sql q(db, QStringLiteral("SELECT id, r_date FROM reserv WHERE numero = :numero AND info = :client "
                                 "AND r_date >= :debut AND r_date < :fin ORDER BY r_date, id"));
        q.bind(QStringLiteral(":numero"), ancienneChambre)
            .bind(QStringLiteral(":client"), client)
            .bind(QStringLiteral(":debut"), iso(ancienDebut))
            .bind(QStringLiteral(":fin"), iso(ancienneFin.addDays(1)));
        for (const QVariantList &row : q.rows()) {
            const StayNight night{row.at(0).toInt(), nightDate(row.at(1))};
            own.insert(night.id);
            if (night.date >= nouveauDebut && night.date <= nouvelleFin)
                kept.append(night);
            else
                dropped.append(night.id);
        }
    }
    // Nights added at either end: the new dates outside the old ones.
    QList<QDate> added;
    for (QDate day = nouveauDebut; day <= nouvelleFin; day = day.addDays(1)) {
        if (day < ancienDebut || day > ancienneFin)
            added.append(day);
    }

    // Nothing is written when a night would join another row of its room.
    QList<QDate> written = added;
    if (change && nouvelleChambre != ancienneChambre) {
        for (const StayNight &night : std::as_const(kept))
            written.append(night.date);
    }
    refuseTakenNights(db, nouvelleChambre, written, own);

    // 1. A new room or state applies to every night the stay keeps.
    if (change) {
        Sql update(db, QStringLiteral("UPDATE reserv SET numero = :nouvelle, etat = :etat, nbpers = :nbpers, "
                                      "nbenfants = :nbenfants WHERE id = :id"));
        update.bind(QStringLiteral(":nouvelle"), nouvelleChambre)
            .bind(QStringLiteral(":etat"), etat)
            .bind(QStringLiteral(":nbpers"), nbAdultes)
            .bind(QStringLiteral(":nbenfants"), nbEnfants);
        for (const StayNight &night : std::as_const(kept))
            update.bind(QStringLiteral(":id"), night.id).exec();
    }

    // 2. Dropped nights go with their services.
    deleteNightIds(db, dropped);

    // 3. Added nights take the new room, state and numbers of guests.
    NightWriter writer(db, nouvelleChambre, etat, client, nbAdultes, nbEnfants);
    for (const QDate &day : std::as_const(added))
        kept.append({writer.insert(day), day});

    // 4. Every night of the new stay gets the daily services and keeps its
    // one-off ones.
    std::sort(kept.begin(), kept.end(), [](const StayNight &a, const StayNight &b) {
        return a.date != b.date ? a.date < b.date : a.id < b.id;
    });
    Prestation prestation;
    for (const StayNight &night : std::as_const(kept))
        prestation.majPrestationsNuit(night.id, prestationsQuotidiennes, &prestationsPonctuelles);

    transaction.commit();
}

// ---- Sums --------------------------------------------------------------------

int Reservation::getNbNuitsMois(int numero, int annee, int mois) const
{
    Sql q(m_use.db(), kMonthNights);
    return bindMonth(q, numero, annee, mois).scalar().toInt();
}

int Reservation::getNbPersonnesMois(int numero, int annee, int mois) const
{
    Sql q(m_use.db(), kMonthNights);
    bindMonth(q, numero, annee, mois).next();
    return q.value(1).toInt();
}

double Reservation::getChiffreAffairesMois(int numero, int annee, int mois) const
{
    Sql q(m_use.db(), kMonthTurnover);
    return bindMonth(q, numero, annee, mois).scalar().toDouble();
}

double Reservation::getChiffreAffairesJour(int annee, int mois, int jour) const
{
    const QDate day(annee, mois, jour);
    if (!day.isValid())
        return 0.0;
    return Sql(m_use.db(), kDayTurnover)
        .bind(QStringLiteral(":debut"), iso(day))
        .bind(QStringLiteral(":fin"), iso(day.addDays(1)))
        .scalar()
        .toDouble();
}

QString Reservation::statistiquesAnneeSql()
{
    // Every room and month is a row; its measures are read by subqueries on
    // that room and that month's range of r_date. The turnover groups the
    // month's services of the room by service only (the room is fixed), then
    // prices each sum once, in the same order as the monthly statement, so
    // that the sums agree with it to the last digit. Groups this small sort
    // in a fraction of the time one sort of the year's service rows takes.
    QString months;
    for (int month = 1; month <= 12; ++month) {
        if (month > 1)
            months += QLatin1Char(',');
        months += QStringLiteral("(%1, :debut%1, :fin%1)").arg(month);
    }
    return QStringLiteral("WITH RECURSIVE chambres(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM chambres "
                          "WHERE n < :chambres), mois(m, debut, fin) AS (VALUES ") +
           months +
           QStringLiteral(") SELECT c.n, mois.m, "
                          "(SELECT COUNT(*) FROM reserv WHERE numero = c.n "
                          "AND r_date >= mois.debut AND r_date < mois.fin), "
                          "(SELECT SUM(nbpers) FROM reserv WHERE numero = c.n "
                          "AND r_date >= mois.debut AND r_date < mois.fin), "
                          "(SELECT SUM(s.nb * p.tarif_ht) FROM ("
                          "SELECT rp.id_prestations AS prestation, SUM(rp.nb) AS nb "
                          "FROM reserv r CROSS JOIN reserv_prestations rp WHERE rp.id_reserv = r.id "
                          "AND r.numero = c.n AND r.r_date >= mois.debut AND r.r_date < mois.fin "
                          "GROUP BY 1) s CROSS JOIN prestations p "
                          "WHERE p.id_prestation = s.prestation AND p.numero_chambre = c.n) "
                          "FROM chambres c CROSS JOIN mois");
}

YearFigures Reservation::lireStatistiquesAnnee(int annee, int nbChambres) const
{
    // One statement for the whole year (see statistiquesAnneeSql).
    YearFigures figures(annee, nbChambres);
    if (nbChambres <= 0 || annee < 1 || annee > 9998)
        return figures;
    static const QString statement = statistiquesAnneeSql();
    Sql q(m_use.db(), statement);
    q.bind(QStringLiteral(":chambres"), nbChambres);
    for (int month = 1; month <= 12; ++month) {
        const QDate first = firstOfMonth(annee, month);
        q.bind(QStringLiteral(":debut%1").arg(month), iso(first))
            .bind(QStringLiteral(":fin%1").arg(month), iso(first.addMonths(1)));
    }
    q.exec();
    while (q.next()) {
        const int room = q.value(0).toInt();
        const int month = q.value(1).toInt();
        figures.setNights(room, month, q.value(2).toInt());
        figures.setPersons(room, month, q.value(3).toInt());
        figures.setTurnover(room, month, q.value(4).toDouble());
    }
    return figures;
}

QList<double> Reservation::getChiffreAffairesJours(const QDate &debut, const QDate &fin) const
{
    // The daily statement itself, prepared once, so that each day shows what
    // the daily operation gives.
    QList<double> out;
    Sql q(m_use.db(), kDayTurnover);
    for (QDate day = debut; day <= fin; day = day.addDays(1)) {
        out.append(q.bind(QStringLiteral(":debut"), iso(day))
                       .bind(QStringLiteral(":fin"), iso(day.addDays(1)))
                       .exec()
                       .scalar()
                       .toDouble());
    }
    return out;
}

QList<int> Reservation::getAnneesReservees() const
{
    // One index seek per year instead of reading every night.
    QList<int> years;
    Sql q(m_use.db(), QStringLiteral("SELECT MIN(r_date) FROM reserv WHERE r_date >= :debut"));
    QString from = QStringLiteral("0");
    for (;;) {
        const QDate d = nightDate(q.bind(QStringLiteral(":debut"), from).exec().scalar());
        if (!d.isValid())
            return years;
        years.append(d.year());
        from = QString::number(d.year() + 1) + QStringLiteral("-01-01");
    }
}

int Reservation::getNbAdultes(int id) const
{
    return Sql(m_use.db(), QStringLiteral("SELECT nbpers FROM reserv WHERE id = :idResa"))
        .bind(QStringLiteral(":idResa"), id)
        .scalar()
        .toInt();
}

int Reservation::getNbEnfants(int id) const
{
    return Sql(m_use.db(), QStringLiteral("SELECT nbenfants FROM reserv WHERE id = :idResa"))
        .bind(QStringLiteral(":idResa"), id)
        .scalar()
        .toInt();
}
