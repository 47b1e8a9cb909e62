#include "ui/planning/available_rooms_filler.h"

#include <QComboBox>
#include <QPointer>

AvailableRoomsFiller::AvailableRoomsFiller(QComboBox *list, QObject *parent, int delayMs)
    : QObject(parent), m_list(list), m_refresher(new DelayedRefresher(this, delayMs))
{}

void AvailableRoomsFiller::request(const AvailableRooms::Request &request)
{
    QPointer<QComboBox> list = m_list;
    m_refresher->request([list, request] {
        if (!list)
            return;
        // Computed before the list is touched: a failure leaves it as it was.
        const AvailableRooms::Result result = AvailableRooms::compute(request);
        apply(*list, result);
    });
}

void AvailableRoomsFiller::apply(QComboBox &list, const AvailableRooms::Result &result)
{
    list.setUpdatesEnabled(false);
    list.clear();
    list.addItems(result.entries);
    if (list.isEditable())
        list.clearEditText();
    list.setCurrentIndex(result.selected);
    list.setEnabled(result.enabled);
    list.setUpdatesEnabled(true);
}
