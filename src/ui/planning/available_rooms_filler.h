#pragma once

#include "planning/available_rooms.h"
#include "planning/delayed_refresher.h"

class QComboBox;

// Keeps the advanced reservation form's room list in step with its dates: half
// a second after the latest change the free rooms are computed and the list is
// refilled, on the window thread. A database error leaves the list as it was.
class AvailableRoomsFiller : public QObject
{
    Q_OBJECT

public:
    explicit AvailableRoomsFiller(QComboBox *list, QObject *parent = nullptr,
                                  int delayMs = DelayedRefresher::defaultDelayMs);

    // Replaces any pending request; the list is filled for the latest one.
    void request(const AvailableRooms::Request &request);
    DelayedRefresher *refresher() const { return m_refresher; }

    // Writes a result into a list: its entries, the entry to select, the list
    // enabled or not, the edit text emptied. Drawn once, at the end.
    static void apply(QComboBox &list, const AvailableRooms::Result &result);

private:
    QComboBox *m_list;
    DelayedRefresher *m_refresher;
};
