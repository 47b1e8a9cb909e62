#pragma once

#include "data/data_module.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

// Every statement of the channel calendars (iCalendar feeds of the rooms):
// the nights read for an export and the UIDs and sequence numbers they were
// published under; the stays imported from a booking site's feed and the
// writing of one import, all of it in one transaction. Holds no data;
// database errors throw DatabaseError.
class IcalStore
{
public:
    IcalStore();

    // ---- Export ----------------------------------------------------------
    struct Night
    {
        int id = 0;
        QDate date;
        int room = 0;
        int client = 0;
        QString clientName; // as the planning shows it (name, else company name)
    };
    // Nights from `from` on, by room then date, with the UID each was last
    // exported under (empty when never).
    struct ExportNight
    {
        Night night;
        QString uid;
    };
    QList<ExportNight> nuitsAExporter(const QDate &from) const;

    struct Published
    {
        int sequence = 0;
        QString empreinte; // what the event said: room, dates, summary
        QDateTime dtstamp; // UTC, when it last changed
    };
    QHash<QString, Published> publies() const;

    struct ExportedStay
    {
        QString uid;
        Published published;
        QList<int> nights;
    };
    // Records what an export published, in one transaction: each stay's state
    // and the UID of each of its nights; forgets the nights that no longer exist.
    void enregistrerExport(const QList<ExportedStay> &stays);

    // ---- Import ----------------------------------------------------------
    // A stay imported earlier from one feed (a room and the producer of the file).
    struct Imported
    {
        QString uid;
        int client = 0;
        QDate debut;
        QDate fin; // day of departure
        QString resume;
        bool efface = false; // its client's data were erased: the summary is gone for good
        int room = 0; // room its nights are in now (the feed's room when none)
    };
    QList<Imported> importes(int room, const QString &produit) const;

    // Nights of a room from debut to fin excluded, with whose they are.
    struct Taken
    {
        QDate date;
        int client = 0;
        QString clientName;
    };
    QList<Taken> nuitsOccupees(int room, const QDate &debut, const QDate &fin) const;

    // One import as it will be written. Nights go from debut to fin excluded.
    struct NewStay
    {
        QString uid;
        QString clientName;
        QString resume;
        QDate debut;
        QDate fin;
    };
    struct ChangedStay
    {
        QString uid;
        int client = 0;
        int room = 0;
        QString clientName;
        QString resume;
        QDate debut;
        QDate fin;
    };
    struct Removal
    {
        QString uid;
        int client = 0;
    };
    struct Writes
    {
        int room = 0;
        QString produit;
        QString etat;
        QList<NewStay> nouveaux;
        QList<ChangedStay> modifies;
        QList<Removal> supprimes;
        bool isEmpty() const { return nouveaux.isEmpty() && modifies.isEmpty() && supprimes.isEmpty(); }
    };
    // Writes an import in one transaction. A night already held by another
    // client (taken since the preview) throws RoomTakenError with nothing written.
    void appliquerImport(const Writes &writes);

private:
    DataModule::Use m_use;
};
