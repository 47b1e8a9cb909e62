#include "ical/ical_feeds.h"

#include "common/errors.h"
#include "common/format.h"
#include "data/client_data.h"
#include "settings/settings.h"

#include <QDir>
#include <QHash>
#include <QMap>
#include <QSaveFile>
#include <QUuid>

#include <algorithm>

namespace IcalExport {

namespace {

// Past stays are of no use to a booking site; a month back is kept so that a
// stay that has just ended does not vanish from a site's view at once.
constexpr int kDaysKept = 31;

struct Stay
{
    int room = 0;
    int client = 0;
    QString clientName;
    QDate debut;
    QDate fin; // departure
    QList<int> nights;
    QHash<QString, int> uids; // UID -> nights exported under it
    QString uid;
    QString summary;
    IcalStore::Published published;
};

QString stamp(const QDateTime &utc)
{
    return utc.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

QString day(const QDate &d)
{
    return d.toString(QStringLiteral("yyyyMMdd"));
}

QByteArray calendar(int room, const QList<const Stay *> &stays)
{
    QString name = Settings::hotelName();
    name = (name.isEmpty() ? QString() : name + QStringLiteral(" – ")) + Settings::roomName(room);
    QByteArray out;
    out += "BEGIN:VCALENDAR\r\n";
    out += IcalText::line(QStringLiteral("VERSION"), QStringLiteral("2.0"));
    out += IcalText::line(QStringLiteral("PRODID"), QStringLiteral("-//Kestrova//Calendrier des chambres//FR"));
    out += IcalText::line(QStringLiteral("CALSCALE"), QStringLiteral("GREGORIAN"));
    out += IcalText::line(QStringLiteral("X-WR-CALNAME"), IcalText::escape(name));
    for (const Stay *s : stays) {
        out += "BEGIN:VEVENT\r\n";
        out += IcalText::line(QStringLiteral("UID"), s->uid);
        // Without METHOD, DTSTAMP is the time the event last changed: an
        // export where nothing changed writes the same bytes.
        out += IcalText::line(QStringLiteral("DTSTAMP"), stamp(s->published.dtstamp));
        out += IcalText::line(QStringLiteral("DTSTART;VALUE=DATE"), day(s->debut));
        out += IcalText::line(QStringLiteral("DTEND;VALUE=DATE"), day(s->fin));
        out += IcalText::line(QStringLiteral("SUMMARY"), IcalText::escape(s->summary));
        out += IcalText::line(QStringLiteral("SEQUENCE"), QString::number(s->published.sequence));
        out += IcalText::line(QStringLiteral("TRANSP"), QStringLiteral("OPAQUE"));
        out += "END:VEVENT\r\n";
    }
    out += "END:VCALENDAR\r\n";
    return out;
}

} // namespace

QString fileName(int room)
{
    return QStringLiteral("chambre-%1.ics").arg(room);
}

QList<RoomFile> exporter(const QString &dir, const Options &options)
{
    IcalStore store;
    const QDate keptFrom = options.today.addDays(-kDaysKept);
    // Read a year further back so that a stay that began before keptFrom is whole.
    const QList<IcalStore::ExportNight> nights = store.nuitsAExporter(keptFrom.addDays(-IcalText::maxNights - 1));

    QList<Stay> stays;
    for (const IcalStore::ExportNight &n : nights) {
        Stay *last = stays.isEmpty() ? nullptr : &stays.last();
        if (!last || last->room != n.night.room || last->client != n.night.client || last->fin != n.night.date) {
            stays.append(Stay{n.night.room, n.night.client, n.night.clientName, n.night.date, n.night.date, {}, {}, {}, {}, {}});
            last = &stays.last();
        }
        last->fin = n.night.date.addDays(1);
        last->nights.append(n.night.id);
        if (!n.uid.isEmpty())
            ++last->uids[n.uid];
    }
    stays.erase(std::remove_if(stays.begin(), stays.end(), [&](const Stay &s) { return s.fin < keptFrom; }),
                stays.end());

    // A stay takes the UID most of its nights had; a stay split in two leaves it
    // to the larger part (the earlier one on a tie), the other gets a new one.
    QList<int> order(stays.size());
    for (int i = 0; i < stays.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return stays[a].nights.size() > stays[b].nights.size(); });
    QSet<QString> claimed;
    const QHash<QString, IcalStore::Published> published = store.publies();
    for (int i : order) {
        Stay &s = stays[i];
        QString best;
        int bestCount = 0;
        for (auto it = s.uids.cbegin(); it != s.uids.cend(); ++it)
            if (!claimed.contains(it.key()) && (it.value() > bestCount || (it.value() == bestCount && it.key() < best))) {
                best = it.key();
                bestCount = it.value();
            }
        s.uid = best.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("@kestrova")
                               : best;
        claimed.insert(s.uid);
        s.summary = options.noms && !s.clientName.isEmpty() ? s.clientName : QStringLiteral("Réservé");
        const QString empreinte =
            QStringLiteral("%1|%2|%3|%4").arg(QString::number(s.room), day(s.debut), day(s.fin), s.summary);
        const auto found = published.constFind(s.uid);
        if (found == published.cend()) {
            s.published = {0, empreinte, options.now};
        } else {
            s.published = found.value();
            if (s.published.empreinte != empreinte || !s.published.dtstamp.isValid())
                s.published = {s.published.sequence + 1, empreinte, options.now};
        }
    }

    int roomCount = Settings::roomCount(25);
    QMap<int, QList<const Stay *>> byRoom;
    for (const Stay &s : stays) {
        byRoom[s.room].append(&s);
        roomCount = std::max(roomCount, s.room);
    }
    if (!QDir().mkpath(dir))
        throw KestrovaError(QStringLiteral("Impossible de créer le dossier « %1 ».").arg(QDir::toNativeSeparators(dir)));
    QList<RoomFile> files;
    for (int room = 1; room <= roomCount; ++room) {
        const QString path = QDir(dir).filePath(fileName(room));
        QSaveFile file(path);
        const QByteArray bytes = calendar(room, byRoom.value(room));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw KestrovaError(QStringLiteral("Impossible d'écrire « %1 » : %2")
                                    .arg(QDir::toNativeSeparators(path), file.errorString()));
        files.append({room, path, int(byRoom.value(room).size())});
    }

    QList<IcalStore::ExportedStay> record;
    record.reserve(stays.size());
    for (const Stay &s : stays)
        record.append({s.uid, s.published, s.nights});
    store.enregistrerExport(record);
    return files;
}

} // namespace IcalExport

namespace IcalImport {

QString nomClient(const QString &resume)
{
    const QString r = resume.trimmed();
    return r.isEmpty() ? QStringLiteral("Réservation en ligne") : QStringLiteral("Réservation en ligne – ") + r;
}

QString etat()
{
    return QStringLiteral("Réservé");
}

int Plan::count(Kind kind) const
{
    return int(std::count_if(items.cbegin(), items.cend(), [kind](const Item &i) { return i.kind == kind; }));
}

namespace {

QString range(const QDate &debut, const QDate &fin)
{
    const qint64 n = debut.daysTo(fin);
    return QStringLiteral("du %1 au %2 (%3 nuit%4)")
        .arg(Format::date(debut), Format::date(fin), QString::number(n), n > 1 ? QStringLiteral("s") : QString());
}

QString quoted(const QString &resume)
{
    // One line per stay, whatever the summary holds.
    QString r = resume;
    r.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return QStringLiteral("« %1 »").arg(r.size() > 80 ? r.left(79) + QStringLiteral("…") : r);
}

} // namespace

QString Plan::texte() const
{
    QStringList out;
    const QString room = Settings::roomName(this->room);
    auto section = [&](Kind kind, const QString &title, auto describe) {
        const int n = count(kind);
        out << QStringLiteral("%1 : %2").arg(title).arg(n);
        for (const Item &i : items)
            if (i.kind == kind)
                out << QStringLiteral("  ") + describe(i);
    };
    section(Kind::Nouveau, QStringLiteral("Nouveaux séjours"),
            [&](const Item &i) -> QString { return range(i.debut, i.fin) + QStringLiteral(" : ") + quoted(i.resume); });
    section(Kind::Modifie, QStringLiteral("Séjours déjà importés, mis à jour"), [&](const Item &i) -> QString {
        return range(i.debut, i.fin) + QStringLiteral(" (avant ") + range(i.ancienDebut, i.ancienneFin) +
               QStringLiteral(") : ") + quoted(i.resume);
    });
    out << QStringLiteral("Séjours déjà importés, inchangés : %1").arg(count(Kind::Inchange));
    section(Kind::Disparu, QStringLiteral("Séjours disparus du calendrier (peut-être annulés, gardés)"),
            [&](const Item &i) -> QString { return range(i.debut, i.fin) + QStringLiteral(" : ") + quoted(i.resume); });
    section(Kind::Conflit, QStringLiteral("Conflits, non importés"), [&](const Item &i) -> QString {
        return QStringLiteral("chambre %1, %2 : %3, la nuit du %4 est déjà prise par %5")
            .arg(Settings::roomName(i.room), range(i.debut, i.fin), quoted(i.resume), Format::date(i.nuitPrise),
                 i.autreClient.isEmpty() ? QStringLiteral("un autre client") : quoted(i.autreClient));
    });
    if (annulesIgnores > 0)
        out << QStringLiteral("Événements annulés jamais importés, ignorés : %1").arg(annulesIgnores);
    Q_UNUSED(room);
    return out.join(QLatin1Char('\n'));
}

Plan preparer(const QByteArray &bytes, int room, const Options &options)
{
    if (room < 1)
        throw IcalText::Error(QStringLiteral("Indiquez la chambre du calendrier (un numéro à partir de 1)."));
    const IcalText::Feed feed = IcalText::parse(bytes, options.zone);
    Plan plan;
    plan.room = room;
    plan.produit = feed.produit;
    plan.writes.room = room;
    plan.writes.produit = feed.produit;
    plan.writes.etat = etat();

    IcalStore store;
    QHash<QString, IcalStore::Imported> imported;
    for (const IcalStore::Imported &i : store.importes(room, feed.produit))
        imported.insert(i.uid, i);

    QList<IcalText::Event> events = feed.events;
    std::stable_sort(events.begin(), events.end(),
                     [](const IcalText::Event &a, const IcalText::Event &b) { return a.debut < b.debut; });

    // Nights already held, read once per room over the whole feed.
    QDate first;
    QDate last;
    for (const IcalText::Event &e : events) {
        if (!first.isValid() || e.debut < first)
            first = e.debut;
        if (!last.isValid() || e.fin > last)
            last = e.fin;
    }
    QHash<int, QHash<QDate, IcalStore::Taken>> taken;
    auto takenIn = [&](int r) -> const QHash<QDate, IcalStore::Taken> & {
        auto it = taken.find(r);
        if (it == taken.end()) {
            QHash<QDate, IcalStore::Taken> nights;
            if (first.isValid())
                for (const IcalStore::Taken &t : store.nuitsOccupees(r, first, last))
                    nights.insert(t.date, t);
            it = taken.insert(r, nights);
        }
        return it.value();
    };
    // Nights this feed gives to one of its events, so that two events never share one.
    QHash<int, QHash<QDate, QString>> claimed;

    QSet<QString> seen;
    for (const IcalText::Event &e : events) {
        const auto old = imported.constFind(e.uid);
        if (e.cancelled) {
            if (old == imported.cend())
                ++plan.annulesIgnores;
            continue; // a cancelled stay that was imported is reported below as gone
        }
        seen.insert(e.uid);
        Item item;
        item.uid = e.uid;
        item.resume = e.summary;
        item.debut = e.debut;
        item.fin = e.fin;
        item.room = old == imported.cend() ? room : old->room;
        const int ownClient = old == imported.cend() ? -1 : old->client;
        if (old != imported.cend()) {
            item.ancienDebut = old->debut;
            item.ancienneFin = old->fin;
            // An erased guest's name never comes back from the feed: only dates count then.
            const bool sameText = old->efface || old->resume == e.summary;
            item.kind = (old->debut == e.debut && old->fin == e.fin && sameText) ? Kind::Inchange : Kind::Modifie;
        }
        if (item.kind != Kind::Inchange) {
            const auto &held = takenIn(item.room);
            const auto &mine = claimed[item.room];
            for (QDate d = e.debut; d < e.fin; d = d.addDays(1)) {
                const auto t = held.constFind(d);
                if (t != held.cend() && t->client != ownClient) {
                    item.kind = Kind::Conflit;
                    item.nuitPrise = d;
                    item.autreClient = t->clientName;
                    break;
                }
                if (const auto c = mine.constFind(d); c != mine.cend()) {
                    item.kind = Kind::Conflit;
                    item.nuitPrise = d;
                    item.autreClient = nomClient(c.value());
                    break;
                }
            }
        }
        if (item.kind != Kind::Conflit)
            for (QDate d = e.debut; d < e.fin; d = d.addDays(1))
                claimed[item.room].insert(d, e.summary);
        if (item.kind == Kind::Nouveau)
            plan.writes.nouveaux.append({e.uid, nomClient(e.summary), e.summary, e.debut, e.fin});
        else if (item.kind == Kind::Modifie)
            plan.writes.modifies.append({e.uid, old->client, old->room,
                                         old->efface ? ClientData::nomEfface(old->client) : nomClient(e.summary),
                                         old->efface ? QString() : e.summary, e.debut, e.fin});
        plan.items.append(item);
    }

    // Stays imported before that the feed no longer holds. Sites drop past stays
    // from their feeds: only those not over yet are reported.
    for (const IcalStore::Imported &i : store.importes(room, feed.produit)) {
        if (seen.contains(i.uid) || i.fin <= options.today)
            continue;
        Item item;
        item.kind = Kind::Disparu;
        item.uid = i.uid;
        item.resume = i.resume;
        item.debut = i.debut;
        item.fin = i.fin;
        item.ancienDebut = i.debut;
        item.ancienneFin = i.fin;
        item.room = i.room;
        plan.items.append(item);
        plan.disparus.append({i.uid, i.client});
    }
    return plan;
}

void appliquer(const Plan &plan, const QSet<QString> &supprimer)
{
    IcalStore::Writes writes = plan.writes;
    for (const IcalStore::Removal &r : plan.disparus)
        if (supprimer.contains(r.uid))
            writes.supprimes.append(r);
    IcalStore().appliquerImport(writes);
}

} // namespace IcalImport
