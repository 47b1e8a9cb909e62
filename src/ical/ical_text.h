#pragma once

#include "common/errors.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QTimeZone>

// iCalendar (RFC 5545) as text: writing content lines (escaped, folded at 75
// octets, CRLF) and reading the events of a feed into plain values. Only what
// a room's availability needs is read: UID, dates, summary, status, sequence.
namespace IcalText {

// A feed that cannot be read; the text says why, in French.
class Error : public KestrovaError
{
public:
    using KestrovaError::KestrovaError;
};

// TEXT value escaping: backslash, semicolon, comma and line breaks.
QString escape(const QString &text);
// One content line "NAME:value" (or with parameters), folded so that no line
// exceeds 75 octets and no UTF-8 sequence is split, ended by CRLF.
QByteArray line(const QString &nameAndParameters, const QString &value);
// Folds an already built line (without its CRLF).
QByteArray fold(const QByteArray &utf8);

struct Event
{
    QString uid;
    QString summary;
    QDate debut;    // first night, in the hotel's time zone
    QDate fin;      // day of departure (exclusive)
    int sequence = 0;
    bool cancelled = false; // STATUS:CANCELLED
    int line = 0;   // line of BEGIN:VEVENT, for messages
};

struct Feed
{
    QString produit; // PRODID: tells the feeds of different sites apart
    QList<Event> events;
};

// Limits of a feed, so that a hostile file costs bounded time and memory.
constexpr qint64 maxBytes = 16 * 1024 * 1024;
constexpr int maxEvents = 10000;
constexpr int maxNights = 365;

// Reads a feed. Date-times are converted to the hotel's zone (UTC when they
// end in Z, the named zone for TZID, as written when floating). Throws Error
// on anything that is not a well-formed calendar of usable events.
Feed parse(const QByteArray &bytes, const QTimeZone &hotelZone);

} // namespace IcalText
