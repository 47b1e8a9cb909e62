#pragma once

#include <QString>

// The free text describing a room, kept in description/<room>.txt of the data
// directory and shown in the entry panel's "Chambre" tab. A missing file gives
// the empty text; files of older installations in Windows-1252 read correctly.
namespace RoomDescription {

QString path(int room);
QString text(int room);

} // namespace RoomDescription
