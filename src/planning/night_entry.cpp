#include "planning/night_entry.h"

#include "common/dialogs.h"
#include "common/format.h"
#include "data/prestation.h"
#include "data/sql.h"

#include <algorithm>

namespace {

const QString kAcompte = QStringLiteral("Acompte");
const QString kPaye = QStringLiteral("Payé");

// A day of one room is the half-open range [day, next day) of r_date, so that
// the (numero, r_date) index serves it and a value with a time is found too.
Sql &bindDay(Sql &q, int room, const QDate &day)
{
    return q.bind(QStringLiteral(":numero"), room)
        .bind(QStringLiteral(":debut"), Format::isoDate(day))
        .bind(QStringLiteral(":fin"), Format::isoDate(day.addDays(1)));
}

const char *const kDayCondition = " numero = :numero AND r_date >= :debut AND r_date < :fin ";

// A count typed in the panel; not given when empty or not a whole number.
QVariant count(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? QVariant(value) : QVariant();
}

QVariant payment(const NightEntry::Request &r)
{
    if (r.etat == kAcompte && !r.acompte.isEmpty())
        return count(r.acompte);
    if (r.etat == kPaye && !r.paye.isEmpty())
        return count(r.paye);
    return {};
}

struct Planned
{
    enum Kind { Change, Delete, Create };
    Kind kind;
    QDate day;
    int nightId = 0;
    bool takesClient = false;   // the night's client becomes the chosen one
    bool takesServices = false; // the night's services become the grid's
};

} // namespace

QString NightEntry::pastDateQuestion()
{
    return QStringLiteral("Attention, la réservation débute à une date antérieure à celle d'aujourd'hui, "
                          "confirmez-vous cette enregistrement ?");
}

QString NightEntry::clientChangeQuestion(const QDate &day)
{
    return QStringLiteral("Confirmez-vous le changement de client pour la réservation du ") +
           Format::date(day) + QStringLiteral(" ?");
}

QString NightEntry::deletionQuestion(const QDate &day)
{
    return QStringLiteral("Confirmez-vous la suppression de la réservation du ") + Format::date(day) +
           QStringLiteral(" ?");
}

TextGrid NightEntry::emptyServicesGrid()
{
    TextGrid grid(2, 7);
    grid.setRow(0, {QString(), QStringLiteral("Prestation"), QStringLiteral("Nb"), QStringLiteral("Tarif HT"),
                    QStringLiteral("TVA"), QStringLiteral("Tarif TTC"), QString()});
    return grid;
}

std::optional<NightEntry::LoadedNight> NightEntry::charger(int room, const QDate &day) const
{
    // The client is joined from the left: a night whose client row is gone
    // still shows its state, guests and services.
    Sql q(m_use.db(),
          QStringLiteral("SELECT r.id, r.info, r.etat, r.reglement, r.nbpers, r.nbenfants, i.id, i.type, "
                         "i.nom_ets, i.nom, i.prenom, i.tel, i.fax, i.email, i.informations "
                         "FROM reserv r LEFT JOIN infos i ON i.id = r.info "
                         "WHERE r.numero = :numero AND r.r_date >= :debut AND r.r_date < :fin "
                         "ORDER BY r.r_date, r.id LIMIT 1"));
    const QList<QVariantList> rows = bindDay(q, room, day).rows();
    if (rows.isEmpty())
        return std::nullopt;
    const QVariantList &row = rows.first();
    LoadedNight night;
    night.id = row[0].toInt();
    night.info = row[1];
    night.etat = row[2].toString();
    night.reglement = row[3];
    night.nbpers = row[4];
    night.nbenfants = row[5];
    night.clientFound = !row[6].isNull();
    night.client.id = row[6].toInt();
    night.client.type = row[7].toInt();
    night.client.nomEts = row[8].toString();
    night.client.nom = row[9].toString();
    night.client.prenom = row[10].toString();
    night.client.tel = row[11].toString();
    night.client.fax = row[12].toString();
    night.client.email = row[13].toString();
    night.informations = row[14];
    night.client.informations = row[14].toString();
    return night;
}

void NightEntry::chargerPrestations(int idNuit, int room, TextGrid &services) const
{
    services = emptyServicesGrid();
    Prestation().cumulerPrestationsNuit(idNuit, true, services);
    services.setColumnCount(7);
    majListePrestations(services, room);
}

void NightEntry::majListePrestations(TextGrid &services, int room)
{
    Prestation prestation;
    for (int r = 1; r < services.rowCount(); ++r) {
        const QString number = services.cell(r, 0).trimmed();
        if (number.isEmpty())
            continue;
        const int service = number.toInt();
        const double quantity = Format::parseAmount(services.cell(r, 2));
        const double ht = Format::parseAmount(prestation.getTarifHT(service, room));
        const double ttc = Format::parseAmount(prestation.getTarifTTC(service, room));
        services.setCell(r, 3, Format::number(ht * quantity));
        services.setCell(r, 4, prestation.getTauxTva(service, room));
        services.setCell(r, 5, Format::number(ttc * quantity));
    }
}

NightEntry::Outcome NightEntry::valider(const Request &request)
{
    Outcome outcome;
    QList<int> days;
    for (int d : request.days)
        if (d >= 0 && d < 7 && !days.contains(d))
            days << d;
    std::sort(days.begin(), days.end());
    if (request.room <= 0 || days.isEmpty() || !request.monday.isValid())
        return outcome;

    const QDate start = request.monday.addDays(days.first());
    if (start < request.today && !Dialogs::question(pastDateQuestion(), false))
        return outcome;

    const QSqlDatabase db = m_use.db();
    const bool newClient = request.source == ClientSource::Nouveau;
    int client = EntryClients::defaultClient;
    if (!newClient && request.client.id > 0)
        client = request.client.id;

    // Every question is asked before anything is written, so that the answers
    // cannot leave half a validation behind.
    QList<Planned> plan;
    for (int d : days) {
        const QDate day = request.monday.addDays(d);
        Sql q(db, QStringLiteral("SELECT id, info FROM reserv WHERE") + QLatin1String(kDayCondition) +
                      QStringLiteral("ORDER BY r_date, id LIMIT 1"));
        const QList<QVariantList> rows = bindDay(q, request.room, day).rows();
        const bool occupied = !rows.isEmpty();
        if (occupied && !request.etat.isEmpty()) {
            Planned change{Planned::Change, day, rows.first()[0].toInt()};
            if (!newClient && !rows.first()[1].isNull() && rows.first()[1].toInt() == client) {
                change.takesClient = true;
                change.takesServices = true;
            } else if (Dialogs::question(clientChangeQuestion(day), false)) {
                change.takesClient = true;
            } else {
                // "Non" keeps another guest's night exactly as it is: writing the
                // chosen state or payment onto it would change his stay unnoticed.
                continue;
            }
            plan << change;
        } else if (occupied) {
            if (Dialogs::question(deletionQuestion(day), false))
                plan << Planned{Planned::Delete, day};
        } else if (!request.etat.isEmpty()) {
            plan << Planned{Planned::Create, day, 0, true, true};
        }
    }

    Transaction transaction(db);
    EntryClients clients;
    if (request.source == ClientSource::Infos && request.client.id > 0)
        clients.mettreAJour(request.client);
    // A new client is only worth a row when a night is going to be his.
    const bool clientUsed =
        std::any_of(plan.cbegin(), plan.cend(), [](const Planned &p) { return p.takesClient; });
    if (newClient && clientUsed) {
        client = clients.creer(request.client);
        outcome.clientCreated = true;
    }

    const QVariant reglement = payment(request);
    const QVariant adultes = count(request.adultes);
    const QVariant enfants = count(request.enfants);
    Prestation prestation;
    for (const Planned &p : plan) {
        switch (p.kind) {
        case Planned::Change: {
            QString set = QStringLiteral("UPDATE reserv SET etat = :etat");
            if (reglement.isValid())
                set += QStringLiteral(", reglement = :reglement");
            if (adultes.isValid())
                set += QStringLiteral(", nbpers = :nbpers");
            if (enfants.isValid())
                set += QStringLiteral(", nbenfants = :nbenfants");
            if (p.takesClient)
                set += QStringLiteral(", info = :info");
            Sql update(db, set + QStringLiteral(" WHERE id = :id"));
            update.bind(QStringLiteral(":etat"), request.etat).bind(QStringLiteral(":id"), p.nightId);
            if (reglement.isValid())
                update.bind(QStringLiteral(":reglement"), reglement);
            if (adultes.isValid())
                update.bind(QStringLiteral(":nbpers"), adultes);
            if (enfants.isValid())
                update.bind(QStringLiteral(":nbenfants"), enfants);
            if (p.takesClient)
                update.bind(QStringLiteral(":info"), client);
            update.exec();
            if (p.takesServices)
                prestation.majPrestationsNuit(p.nightId, request.services);
            ++outcome.changed;
            break;
        }
        case Planned::Delete: {
            Sql services(db, QStringLiteral("DELETE FROM reserv_prestations WHERE id_reserv IN "
                                            "(SELECT id FROM reserv WHERE") +
                                 QLatin1String(kDayCondition) + QLatin1Char(')'));
            bindDay(services, request.room, p.day).exec();
            Sql nights(db, QStringLiteral("DELETE FROM reserv WHERE") + QLatin1String(kDayCondition));
            bindDay(nights, request.room, p.day).exec();
            ++outcome.deleted;
            break;
        }
        case Planned::Create: {
            Sql insert(db,
                       QStringLiteral("INSERT INTO reserv (r_date, numero, info, etat, reglement, nbpers, "
                                      "nbenfants) VALUES (:r_date, :numero, :info, :etat, :reglement, "
                                      ":nbpers, :nbenfants)"));
            insert.bind(QStringLiteral(":r_date"), Format::isoDate(p.day))
                .bind(QStringLiteral(":numero"), request.room)
                .bind(QStringLiteral(":info"), client)
                .bind(QStringLiteral(":etat"), request.etat)
                .bind(QStringLiteral(":reglement"), reglement)
                .bind(QStringLiteral(":nbpers"), adultes)
                .bind(QStringLiteral(":nbenfants"), enfants)
                .exec();
            prestation.majPrestationsNuit(insert.lastInsertId().toInt(), request.services);
            ++outcome.created;
            break;
        }
        }
        ++outcome.nightsWritten;
    }
    transaction.commit();
    outcome.saved = true;
    outcome.clientId = client;
    return outcome;
}
