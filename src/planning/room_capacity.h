#pragma once

#include <QString>

// The guests a room takes ([Chambre<i>] NbPersMax and NbEnfantsMax of
// config.ini) and the question asked before a night is saved with more.
namespace RoomCapacity {

// The question for adults and children typed (digits or empty) in a room;
// empty when both fit, or when the room sets no maximum (or one that is not
// a number).
QString question(int room, const QString &adultes, const QString &enfants);

} // namespace RoomCapacity
