#include "planning/available_rooms.h"

#include "data/reservation.h"
#include "settings/settings.h"

namespace AvailableRooms {

QString dateErrorText()
{
    return QStringLiteral("Erreur de dates !!!");
}

QString noRoomText()
{
    return QStringLiteral("Pas de chambre disponible !!!");
}

Result compute(const Request &request, int roomCount)
{
    Result result;
    if (request.first > request.last) {
        result.entries = {dateErrorText()};
        result.selected = 0;
        return result;
    }

    Reservation reservation;
    // One statement for every room; the changed stay's own room is tested on
    // the nights it would add only, since its current nights hold the stay itself.
    const QSet<int> occupied = reservation.getChambresOccupees(request.first, request.last);
    const QStringList names = Settings::roomNames(roomCount);
    for (int room = 1; room <= roomCount; ++room) {
        bool listed = !occupied.contains(room);
        if (request.mode != Mode::NewStay && room == request.stayRoom) {
            listed = true;
            if (request.mode == Mode::EditingDates) {
                if (request.first < request.oldFirst)
                    listed = reservation.estDisponible(room, request.first,
                                                       qMin(request.oldFirst.addDays(-1), request.last));
                if (listed && request.last > request.oldLast)
                    listed = reservation.estDisponible(room, qMax(request.oldLast.addDays(1), request.first),
                                                       request.last);
            }
        }
        if (listed)
            result.entries.append(names.at(room - 1));
    }

    result.enabled = true;
    if (request.mode != Mode::NewStay && request.stayRoom >= 1 && request.stayRoom <= roomCount)
        result.selected = int(result.entries.indexOf(names.at(request.stayRoom - 1)));
    if (result.entries.isEmpty()) {
        result.entries = {noRoomText()};
        result.selected = 0;
    }
    return result;
}

Result compute(const Request &request)
{
    return compute(request, Settings::roomCount(15));
}

} // namespace AvailableRooms
