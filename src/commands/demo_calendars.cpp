#include "commands/demo_calendars.h"

#include "ical/ical_feeds.h"

#include <QDate>

QString demoOnlineBookings(int room)
{
    const QDate first = QDate::currentDate().addMonths(3);
    auto event = [](const QByteArray &uid, const QDate &from, int nights, const QByteArray &summary) -> QByteArray {
        return "BEGIN:VEVENT\r\nUID:" + uid + "@site-de-reservation.example\r\nDTSTAMP:20260101T000000Z\r\n"
               "DTSTART;VALUE=DATE:" + from.toString(QStringLiteral("yyyyMMdd")).toLatin1() +
               "\r\nDTEND;VALUE=DATE:" + from.addDays(nights).toString(QStringLiteral("yyyyMMdd")).toLatin1() +
               "\r\nSUMMARY:" + summary + "\r\nEND:VEVENT\r\n";
    };
    const QByteArray feed = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Site de réservation//FR\r\n" +
                            event("demo-1", first, 3, "Famille Moreau") + event("demo-2", first.addDays(5), 2, "M. Lefèvre") +
                            "END:VCALENDAR\r\n";
    const IcalImport::Plan plan = IcalImport::preparer(feed, room);
    IcalImport::appliquer(plan);
    return QStringLiteral("%1 réservation(s) en ligne importée(s) en chambre %2")
        .arg(plan.count(IcalImport::Kind::Nouveau))
        .arg(room);
}
