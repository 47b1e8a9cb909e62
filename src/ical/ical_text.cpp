#include "ical/ical_text.h"

#include <QCryptographicHash>
#include <QHash>
#include <QStringDecoder>
#include <QTime>

namespace IcalText {

QString escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case ';':
            out += QLatin1String("\\;");
            break;
        case ',':
            out += QLatin1String("\\,");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            break;
        default:
            // Other control characters are not allowed in a TEXT value.
            if (c.unicode() >= 0x20 || c.unicode() == '\t')
                out += c;
        }
    }
    return out;
}

QByteArray fold(const QByteArray &utf8)
{
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / 70 * 3 + 2);
    qsizetype pos = 0;
    qsizetype room = 75; // the first line holds 75 octets, the others a blank and 74
    while (utf8.size() - pos > room) {
        qsizetype cut = pos + room;
        // Never inside a UTF-8 sequence: back up to the byte that starts one.
        while (cut > pos && (static_cast<unsigned char>(utf8.at(cut)) & 0xC0) == 0x80)
            --cut;
        out += utf8.mid(pos, cut - pos);
        out += "\r\n ";
        pos = cut;
        room = 74;
    }
    out += utf8.mid(pos);
    return out;
}

QByteArray line(const QString &nameAndParameters, const QString &value)
{
    return fold((nameAndParameters + QLatin1Char(':') + value).toUtf8()) + "\r\n";
}

namespace {

struct ContentLine
{
    QString name; // upper case
    QHash<QString, QString> parameters; // names upper case, values unquoted
    QString value;
    int number = 0;
    bool begin = false; // BEGIN:component
};

// NAME *(";" param) ":" value, with quoted parameter values that may hold ":" or ";".
bool split(const QString &text, ContentLine &out)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] != QLatin1Char(';') && text[i] != QLatin1Char(':'))
        ++i;
    out.name = text.left(i).trimmed().toUpper();
    if (out.name.isEmpty() || i == n)
        return false;
    out.begin = text.trimmed().startsWith(QLatin1String("BEGIN:"), Qt::CaseInsensitive);
    while (i < n && text[i] == QLatin1Char(';')) {
        ++i;
        const qsizetype start = i;
        while (i < n && text[i] != QLatin1Char('=') && text[i] != QLatin1Char(';') && text[i] != QLatin1Char(':'))
            ++i;
        const QString key = text.mid(start, i - start).trimmed().toUpper();
        QString value;
        if (i < n && text[i] == QLatin1Char('=')) {
            ++i;
            bool quoted = false;
            while (i < n && (quoted || (text[i] != QLatin1Char(';') && text[i] != QLatin1Char(':')))) {
                if (text[i] == QLatin1Char('"'))
                    quoted = !quoted;
                else
                    value += text[i];
                ++i;
            }
        }
        out.parameters.insert(key, value);
    }
    if (i == n || text[i] != QLatin1Char(':'))
        return false;
    out.value = text.mid(i + 1);
    return true;
}

QString unescape(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        out += (next == QLatin1Char('n') || next == QLatin1Char('N')) ? QChar(QLatin1Char('\n')) : next;
    }
    return out;
}

struct RawEvent
{
    int line = 0;
    QString uid;
    QString summary;
    QString status;
    QString sequence;
    bool repeated = false;
    bool hasStart = false;
    bool hasEnd = false;
    ContentLine start;
    ContentLine end;
    QString duration;
};

QString who(const RawEvent &e)
{
    if (e.summary.isEmpty())
        return QStringLiteral("L'événement de la ligne %1").arg(e.line);
    return QStringLiteral("L'événement « %1 » (ligne %2)").arg(e.summary.left(60), QString::number(e.line));
}

struct When
{
    QDate date;
    bool isDate = false;
};

When readDate(const RawEvent &e, const ContentLine &l, const QTimeZone &hotelZone)
{
    const QString v = l.value.trimmed();
    const bool dateOnly = l.parameters.value(QStringLiteral("VALUE")).toUpper() == QLatin1String("DATE") ||
                          (v.size() == 8 && !v.contains(QLatin1Char('T')));
    const QDate day = QDate::fromString(v.left(8), QStringLiteral("yyyyMMdd"));
    if (!day.isValid())
        throw Error(QStringLiteral("%1 a une date illisible dans %2 : « %3 ».").arg(who(e), l.name, v.left(40)));
    if (dateOnly)
        return {day, true};
    const QTime time = QTime::fromString(v.mid(9, 6), QStringLiteral("HHmmss"));
    if (v.size() < 15 || v.at(8) != QLatin1Char('T') || !time.isValid())
        throw Error(QStringLiteral("%1 a une heure illisible dans %2 : « %3 ».").arg(who(e), l.name, v.left(40)));
    QTimeZone zone;
    if (v.endsWith(QLatin1Char('Z'))) {
        zone = QTimeZone::utc();
    } else if (l.parameters.contains(QStringLiteral("TZID"))) {
        QString id = l.parameters.value(QStringLiteral("TZID")).trimmed();
        if (id.startsWith(QLatin1Char('/')))
            id.remove(0, 1);
        // Only zones the system knows: some back-ends read any text as a POSIX rule.
        QByteArray iana = id.toUtf8();
        if (!QTimeZone::isTimeZoneIdAvailable(iana))
            iana = QTimeZone::windowsIdToDefaultIanaId(iana);
        if (!iana.isEmpty() && QTimeZone::isTimeZoneIdAvailable(iana))
            zone = QTimeZone(iana);
        if (!zone.isValid())
            throw Error(QStringLiteral("%1 utilise un fuseau horaire inconnu : « %2 ».").arg(who(e), id.left(60)));
    } else {
        return {day, false}; // floating: the hotel's own clock
    }
    return {QDateTime(day, time, zone).toTimeZone(hotelZone).date(), false};
}

// Days of a DURATION ("P3D", "P1W", "PT36H"...); hours round up to the next day
// only when they go past midnight of the last day, which for nights means: whole days.
qint64 durationDays(const RawEvent &e, const QString &text)
{
    QString v = text.trimmed().toUpper();
    if (v.startsWith(QLatin1Char('+')))
        v.remove(0, 1);
    if (v.startsWith(QLatin1Char('-')) || !v.startsWith(QLatin1Char('P')))
        throw Error(QStringLiteral("%1 a une durée illisible : « %2 ».").arg(who(e), text.left(40)));
    qint64 days = 0;
    qint64 seconds = 0;
    qint64 number = -1;
    bool inTime = false;
    for (qsizetype i = 1; i < v.size(); ++i) {
        const QChar c = v[i];
        if (c.isDigit()) {
            number = (number < 0 ? 0 : number) * 10 + c.digitValue();
            if (number > 100000)
                throw Error(QStringLiteral("%1 a une durée trop longue.").arg(who(e)));
            continue;
        }
        if (c == QLatin1Char('T')) {
            inTime = true;
            continue;
        }
        if (number < 0)
            throw Error(QStringLiteral("%1 a une durée illisible : « %2 ».").arg(who(e), text.left(40)));
        if (c == QLatin1Char('W') && !inTime)
            days += 7 * number;
        else if (c == QLatin1Char('D') && !inTime)
            days += number;
        else if (c == QLatin1Char('H') && inTime)
            seconds += 3600 * number;
        else if (c == QLatin1Char('M') && inTime)
            seconds += 60 * number;
        else if (c == QLatin1Char('S') && inTime)
            seconds += number;
        else
            throw Error(QStringLiteral("%1 a une durée illisible : « %2 ».").arg(who(e), text.left(40)));
        number = -1;
    }
    return days + seconds / 86400;
}

Event finish(const RawEvent &raw, const QTimeZone &hotelZone)
{
    if (raw.repeated)
        throw Error(QStringLiteral("%1 se répète (RRULE) : les réservations répétées ne sont pas prises en charge.")
                        .arg(who(raw)));
    if (!raw.hasStart)
        throw Error(QStringLiteral("%1 n'a pas de date de début (DTSTART).").arg(who(raw)));
    Event e;
    e.line = raw.line;
    e.summary = raw.summary;
    e.cancelled = raw.status.trimmed().toUpper() == QLatin1String("CANCELLED");
    e.sequence = raw.sequence.trimmed().toInt();
    const When start = readDate(raw, raw.start, hotelZone);
    e.debut = start.date;
    if (raw.hasEnd) {
        e.fin = readDate(raw, raw.end, hotelZone).date;
    } else if (!raw.duration.isEmpty()) {
        e.fin = e.debut.addDays(durationDays(raw, raw.duration));
    } else {
        e.fin = start.isDate ? e.debut.addDays(1) : e.debut;
    }
    if (e.fin < e.debut)
        throw Error(QStringLiteral("%1 finit (DTEND %2) avant de commencer (DTSTART %3).")
                        .arg(who(raw), e.fin.toString(QStringLiteral("dd/MM/yyyy")),
                             e.debut.toString(QStringLiteral("dd/MM/yyyy"))));
    // An event within one day still holds the night it begins.
    if (e.fin == e.debut)
        e.fin = e.debut.addDays(1);
    if (e.debut.daysTo(e.fin) > maxNights)
        throw Error(QStringLiteral("%1 dure %2 nuits : un séjour de plus de %3 nuits n'est pas une réservation.")
                        .arg(who(raw), QString::number(e.debut.daysTo(e.fin)), QString::number(maxNights)));
    e.uid = raw.uid.trimmed();
    if (e.uid.isEmpty()) {
        // Without a UID the same event must still be recognised at the next import.
        const QByteArray key = (raw.start.value + QLatin1Char('|') + raw.end.value + QLatin1Char('|') +
                                raw.duration + QLatin1Char('|') + raw.summary)
                                   .toUtf8();
        e.uid = QStringLiteral("sans-uid-") +
                QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex());
    }
    return e;
}

} // namespace

Feed parse(const QByteArray &bytes, const QTimeZone &hotelZone)
{
    if (bytes.size() > maxBytes)
        throw Error(QStringLiteral("Le fichier dépasse %1 Mo : ce n'est pas le calendrier d'une chambre.")
                        .arg(maxBytes / (1024 * 1024)));
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(view);
    if (decoder.hasError())
        throw Error(QStringLiteral("Ce fichier n'est pas un calendrier iCalendar : son texte n'est pas en UTF-8."));

    // Logical lines: a line that begins with a blank or a tab continues the previous one.
    QList<ContentLine> lines;
    {
        QString current;
        int currentNumber = 0;
        int number = 0;
        auto flush = [&] {
            if (current.trimmed().isEmpty())
                return;
            ContentLine l;
            l.number = currentNumber;
            if (!split(current, l))
                throw Error(lines.isEmpty()
                                ? QStringLiteral("Ce fichier n'est pas un calendrier iCalendar.")
                                : QStringLiteral("Ligne %1 illisible : ce calendrier iCalendar est endommagé.")
                                      .arg(currentNumber));
            lines.append(l);
        };
        for (QStringView raw : QStringView(text).split(QLatin1Char('\n'))) {
            ++number;
            if (raw.endsWith(QLatin1Char('\r')))
                raw.chop(1);
            if (!raw.isEmpty() && (raw.front() == QLatin1Char(' ') || raw.front() == QLatin1Char('\t'))) {
                if (currentNumber == 0)
                    throw Error(QStringLiteral("Ce fichier n'est pas un calendrier iCalendar."));
                current += raw.mid(1);
                continue;
            }
            flush();
            current = raw.toString();
            currentNumber = number;
        }
        flush();
    }
    if (lines.isEmpty() || !lines.first().begin ||
        lines.first().value.trimmed().toUpper() != QLatin1String("VCALENDAR"))
        throw Error(QStringLiteral("Ce fichier n'est pas un calendrier iCalendar (il ne commence pas par "
                                   "BEGIN:VCALENDAR)."));

    Feed feed;
    QStringList stack;
    RawEvent event;
    bool ended = false;
    QHash<QString, int> uidLines;
    for (const ContentLine &l : lines) {
        if (ended)
            throw Error(QStringLiteral("Ligne %1 : du texte suit la fin du calendrier (END:VCALENDAR).").arg(l.number));
        if (l.begin) {
            const QString component = l.value.trimmed().toUpper();
            if (stack.size() > 8)
                throw Error(QStringLiteral("Ligne %1 : composants imbriqués trop profondément.").arg(l.number));
            if (stack.isEmpty() && component != QLatin1String("VCALENDAR"))
                throw Error(QStringLiteral("Ce fichier n'est pas un calendrier iCalendar."));
            if (!stack.isEmpty() && component == QLatin1String("VCALENDAR"))
                throw Error(QStringLiteral("Ligne %1 : un calendrier dans un calendrier.").arg(l.number));
            if (stack.size() == 1 && component == QLatin1String("VEVENT")) {
                if (feed.events.size() >= maxEvents)
                    throw Error(QStringLiteral("Le calendrier contient plus de %1 événements : ce n'est pas le "
                                               "calendrier d'une chambre. Rien n'a été importé.")
                                    .arg(maxEvents));
                event = RawEvent();
                event.line = l.number;
            }
            stack.append(component);
            continue;
        }
        if (l.name == QLatin1String("END")) {
            const QString component = l.value.trimmed().toUpper();
            if (stack.isEmpty() || stack.last() != component)
                throw Error(QStringLiteral("Ligne %1 : END:%2 ne ferme aucun BEGIN:%2.").arg(l.number).arg(component));
            stack.removeLast();
            if (stack.size() == 1 && component == QLatin1String("VEVENT")) {
                Event e = finish(event, hotelZone);
                if (const int other = uidLines.value(e.uid); other != 0)
                    throw Error(QStringLiteral("Le même événement (UID « %1 ») figure deux fois, lignes %2 et %3.")
                                    .arg(e.uid.left(80))
                                    .arg(other)
                                    .arg(e.line));
                uidLines.insert(e.uid, e.line);
                feed.events.append(e);
            }
            if (stack.isEmpty())
                ended = true;
            continue;
        }
        if (stack.size() == 1 && l.name == QLatin1String("PRODID"))
            feed.produit = unescape(l.value).trimmed();
        if (stack.size() != 2 || stack.last() != QLatin1String("VEVENT"))
            continue; // properties of the calendar, of time zones, of alarms
        if (l.name == QLatin1String("UID"))
            event.uid = l.value;
        else if (l.name == QLatin1String("SUMMARY"))
            event.summary = unescape(l.value);
        else if (l.name == QLatin1String("STATUS"))
            event.status = l.value;
        else if (l.name == QLatin1String("SEQUENCE"))
            event.sequence = l.value;
        else if (l.name == QLatin1String("RRULE") || l.name == QLatin1String("RDATE"))
            event.repeated = true;
        else if (l.name == QLatin1String("DTSTART")) {
            event.start = l;
            event.hasStart = true;
        } else if (l.name == QLatin1String("DTEND")) {
            event.end = l;
            event.hasEnd = true;
        } else if (l.name == QLatin1String("DURATION"))
            event.duration = l.value;
    }
    if (!ended)
        throw Error(QStringLiteral("Le calendrier est incomplet (END:VCALENDAR manque) : le fichier a-t-il été "
                                   "entièrement téléchargé ?"));
    return feed;
}

} // namespace IcalText
