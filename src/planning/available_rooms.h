#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The list of free rooms that the advanced reservation form offers for a range
// of nights: room display names, or one entry saying why there is none. Plain
// data, so that the form only copies it into its drop-down list.
namespace AvailableRooms {

enum class Mode {
    NewStay,      // every room must be free over the whole range
    EditingDates, // a stay is being changed: its own room needs only the nights it adds
    FirstDisplay, // a stay has just been opened: its own room is listed as it is
};

struct Request
{
    QDate first; // first night wanted
    QDate last;  // last night wanted, included
    Mode mode = Mode::NewStay;
    int stayRoom = 0; // the changed stay's room (EditingDates, FirstDisplay)
    QDate oldFirst;   // the changed stay's stored nights (EditingDates)
    QDate oldLast;
};

struct Result
{
    QStringList entries;
    int selected = -1;    // entry to select, -1 for none
    bool enabled = false; // false while the dates are wrong
    bool operator==(const Result &) const = default;
};

QString dateErrorText(); // "Erreur de dates !!!"
QString noRoomText();    // "Pas de chambre disponible !!!"

// Rooms 1..roomCount, named from config.ini. Throws DatabaseError.
Result compute(const Request &request, int roomCount);
// The same with the number of rooms of config.ini.
Result compute(const Request &request);

} // namespace AvailableRooms
