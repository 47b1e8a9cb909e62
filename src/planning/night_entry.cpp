#include "planning/night_entry.h"

#include "common/dialogs.h"
#include "common/format.h"
#include "data/nuit.h"
#include "data/prestation.h"
#include "data/sql.h"

#include <algorithm>

namespace {

const QString kAcompte = QStringLiteral("Acompte");
const QString kPaye = QStringLiteral("Payé");

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
    const std::optional<Nuit::Ligne> row = Nuit().premiere(room, day);
    if (!row)
        return std::nullopt;
    LoadedNight night;
    night.id = row->id;
    night.info = row->info;
    night.etat = row->etat;
    night.reglement = row->reglement;
    night.nbpers = row->nbpers;
    night.nbenfants = row->nbenfants;
    // A night whose client row is gone still shows its state, guests and services.
    const std::optional<ClientRecord> client = row->info.isNull() ? std::nullopt : Client().lire(row->info.toInt());
    night.clientFound = client.has_value();
    if (client) {
        night.client.id = client->id;
        night.client.type = client->type;
        night.client.nomEts = client->nomEts;
        night.client.nom = client->nom;
        night.client.prenom = client->prenom;
        night.client.tel = client->tel;
        night.client.fax = client->fax;
        night.client.email = client->email;
        night.client.informations = client->informations;
        night.informations = client->informationsNull ? QVariant() : QVariant(client->informations);
    }
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
    int client = Client::defaultClient;
    if (!newClient && request.client.id > 0)
        client = request.client.id;

    // Every question is asked before anything is written, so that the answers
    // cannot leave half a validation behind.
    QList<Planned> plan;
    Nuit nuits;
    for (int d : days) {
        const QDate day = request.monday.addDays(d);
        const std::optional<Nuit::Ligne> night = nuits.premiere(request.room, day);
        const bool occupied = night.has_value();
        if (occupied && !request.etat.isEmpty()) {
            Planned change{Planned::Change, day, night->id};
            if (!newClient && !night->info.isNull() && night->info.toInt() == client) {
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
    Client clients;
    if (request.source == ClientSource::Infos && request.client.id > 0)
        clients.majClientPanneau(request.client);
    // A new client is only worth a row when a night is going to be his.
    const bool clientUsed =
        std::any_of(plan.cbegin(), plan.cend(), [](const Planned &p) { return p.takesClient; });
    if (newClient && clientUsed) {
        client = clients.creerClientPanneau(request.client);
        outcome.clientCreated = true;
    }

    const QVariant reglement = payment(request);
    const QVariant adultes = count(request.adultes);
    const QVariant enfants = count(request.enfants);
    Prestation prestation;
    for (const Planned &p : plan) {
        switch (p.kind) {
        case Planned::Change:
            nuits.modifier(p.nightId, request.etat, reglement, adultes, enfants,
                           p.takesClient ? QVariant(client) : QVariant());
            if (p.takesServices)
                prestation.majPrestationsNuit(p.nightId, request.services);
            ++outcome.changed;
            break;
        case Planned::Delete:
            nuits.supprimerJour(request.room, p.day);
            ++outcome.deleted;
            break;
        case Planned::Create:
            prestation.majPrestationsNuit(
                nuits.creer(request.room, p.day, client, request.etat, reglement, adultes, enfants),
                request.services);
            ++outcome.created;
            break;
        }
        ++outcome.nightsWritten;
    }
    transaction.commit();
    outcome.saved = true;
    outcome.clientId = client;
    return outcome;
}
