#pragma once

#include "data/ical_store.h"
#include "ical/ical_text.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QTimeZone>

// The rooms' availability as iCalendar feeds for booking sites, and the
// bookings of a site's feed brought into the planning.
namespace IcalExport {

struct Options
{
    bool noms = false; // SUMMARY = the guest's name rather than "Réservé"
    QDate today = QDate::currentDate();
    QDateTime now = QDateTime::currentDateTimeUtc();
};

struct RoomFile
{
    int room = 0;
    QString path;
    int events = 0;
};

// "chambre-N.ics"
QString fileName(int room);

// Writes one feed per room into dir (created when missing): one event per stay
// (consecutive nights of one client in one room) whose departure is at most
// 31 days ago, DTEND the day of departure. A stay keeps its UID from one export
// to the next (moved to another room, lengthened or shortened, it keeps the UID
// of the nights it kept) and its SEQUENCE rises each time what it says changes.
// Throws KestrovaError (French) when a file cannot be written.
QList<RoomFile> exporter(const QString &dir, const Options &options = {});

} // namespace IcalExport

namespace IcalImport {

// The client of every imported stay is named after this text and the event's summary.
QString nomClient(const QString &resume);
// State of the nights written.
QString etat();

enum class Kind { Nouveau, Modifie, Inchange, Disparu, Conflit };

struct Item
{
    Kind kind = Kind::Nouveau;
    QString uid;
    QString resume;
    QDate debut;
    QDate fin; // day of departure
    int room = 0;
    QDate ancienDebut; // Modifie, Disparu: what was imported before
    QDate ancienneFin;
    QDate nuitPrise; // Conflit: the first night already held
    QString autreClient;
};

struct Options
{
    QDate today = QDate::currentDate();
    QTimeZone zone = QTimeZone::systemTimeZone();
};

struct Plan
{
    int room = 0;
    QString produit;
    QList<Item> items;
    int annulesIgnores = 0; // cancelled events never imported
    IcalStore::Writes writes;
    QList<IcalStore::Removal> disparus; // may be removed if the user chooses so

    int count(Kind kind) const;
    // The preview as text, one section per kind, for the command and the window.
    QString texte() const;
};

// Reads a feed for a room and compares it with the planning, writing nothing.
// Throws IcalText::Error on a feed that cannot be read.
Plan preparer(const QByteArray &bytes, int room, const Options &options = {});

// Writes the new and changed stays of the plan and removes the disappeared ones
// whose UID is in `supprimer`, in one transaction. RoomTakenError (nothing
// written) when a night was taken since the preview.
void appliquer(const Plan &plan, const QSet<QString> &supprimer = {});

} // namespace IcalImport
