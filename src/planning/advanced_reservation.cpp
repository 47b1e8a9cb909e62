#include "planning/advanced_reservation.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "data/client.h"
#include "data/data_module.h"
#include "data/log.h"
#include "data/prestation.h"
#include "data/reservation.h"
#include "data/sql.h"
#include "planning/view_freshness.h"
#include "settings/settings.h"

namespace AdvancedReservation {

namespace {

// Adults and children as typed: digits only (the fields filter keys), but an
// empty field must not reach the database as a number it is not.
std::optional<int> count(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

// The client typed in "Nouveau Client", inside the caller's transaction, and
// its entry in the operation log.
int creerClient(const NewClient &client)
{
    ClientRecord record;
    record.type = client.entreprise ? 1 : 2;
    record.nomEts = client.entreprise ? client.nomEts : QString();
    record.nom = client.nom;
    record.prenom = client.prenom;
    record.tel = client.tel;
    record.fax = client.fax;
    record.email = client.email;
    record.informationsNull = false;
    const int id = Client().ajouterClient(record);
    Log().journaliserAjoutClient(id);
    return id;
}

} // namespace

QString noRoomText()
{
    return QStringLiteral("Veuillez sélectionner une chambre !");
}

QString noStateText()
{
    return QStringLiteral("Veuillez sélectionner état de réservation !");
}

QString pastDateQuestion()
{
    return QStringLiteral("Attention, la réservation débute à une date antérieure à celle d'aujourd'hui, "
                          "confirmez-vous cette enregistrement ?");
}

QString createdText()
{
    return QStringLiteral("Réservation enregistrée");
}

QString modifiedText()
{
    return QStringLiteral("Modification enregistrée");
}

int NumChambreFromNomChambre(const QString &nom, int roomCount)
{
    const QStringList names = Settings::roomNames(roomCount);
    for (int room = 1; room <= names.size(); ++room)
        if (names.at(room - 1) == nom)
            return room;
    return 0;
}

int NumChambreFromNomChambre(const QString &nom)
{
    return NumChambreFromNomChambre(nom, Settings::roomCount(15));
}

int premiereNuit(int id)
{
    const Prestation prestation;
    // Bounded by the nights a room can hold: a stay never spans more.
    for (int guard = 0; guard < 100000; ++guard) {
        const int previous = prestation.getNuitPrecedente(id);
        if (previous < 0)
            break;
        id = previous;
    }
    return id;
}

Stay charger(int idResa)
{
    Stay stay;
    const Reservation reservation;
    stay.debut = reservation.getDateDebut(idResa);
    stay.fin = reservation.getDateFin(idResa);
    stay.room = reservation.getNumeroChambre(idResa);
    stay.etat = reservation.getEtat(idResa);
    stay.adultes = reservation.getNbAdultes(idResa);
    stay.enfants = reservation.getNbEnfants(idResa);
    stay.daily = TextGrid(2, 4);
    stay.daily.setRow(0, {QString(), QStringLiteral("Prestation"), QStringLiteral("Nb / jour"), QString()});
    stay.oneOff = TextGrid(2, 3);
    stay.oneOff.setRow(0, {QString(), QStringLiteral("Prestation"), QStringLiteral("Date")});
    Prestation().chargerPrestationsSejour(idResa, true, stay.daily, stay.oneOff);
    return stay;
}

Outcome valider(const Request &request)
{
    Outcome outcome;
    int room = 0;
    try {
        room = NumChambreFromNomChambre(request.roomName);
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return outcome;
    }
    if (room < 1) {
        Dialogs::information(noRoomText());
        return outcome;
    }
    if (request.etat.isEmpty()) {
        Dialogs::information(noStateText());
        return outcome;
    }
    if (request.debut < request.today && !Dialogs::question(pastDateQuestion(), false))
        return outcome;

    const std::optional<int> adultes = count(request.adultes);
    const std::optional<int> enfants = count(request.enfants);
    if (!adultes || !enfants) {
        Dialogs::information(QStringLiteral("Veuillez indiquer le nombre d'adultes et le nombre d'enfants."));
        return outcome;
    }
    if (!request.newClient && request.clientId <= 0) {
        Dialogs::information(QStringLiteral("Veuillez choisir un client dans la liste."));
        return outcome;
    }

    try {
        const DataModule::Use use;
        Transaction transaction(use.db());
        int client = request.clientId;
        if (request.newClient)
            client = creerClient(*request.newClient);
        Reservation reservation;
        if (!request.modification) {
            reservation.ajouterReservation(room, request.etat, client, request.debut, request.fin, request.daily,
                                           *adultes, *enfants);
        } else {
            const bool change = room != request.oldRoom || request.etat != request.oldEtat;
            reservation.modifierReservation(change, room, request.oldRoom, request.etat, client, request.debut,
                                            request.fin, request.daily, request.oneOff, request.oldDebut,
                                            request.oldFin, *adultes, *enfants);
        }
        transaction.commit();
        outcome.client = client;
    } catch (const RoomTakenError &e) {
        // The free-room list was out of date: another window took a night meanwhile.
        outcome.roomTaken = true;
        Dialogs::error(e.text());
        return outcome;
    } catch (const KestrovaError &e) {
        // Nothing of this validation stays written: neither nights nor client.
        Dialogs::error(e.text());
        return outcome;
    }
    outcome.saved = true;
    Dialogs::information(request.modification ? modifiedText() : createdText());
    ViewFreshness::markStale();
    return outcome;
}

} // namespace AdvancedReservation
