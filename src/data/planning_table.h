#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// What the planning shows for one room and one night, read once for all rooms
// of a week or a month so that a view fills every column from one statement.
struct PlanningCell
{
    int id = 0;     // reserv.id of the night, 0 when the room is free
    int client = 0; // infos.id of the night's client
    QString etat;   // state of the night, empty when free (as getEtatJour)
    // Client text of the night as getNomClientJour gives it: the client's name,
    // or the company name or the state when the name is empty.
    QString texteClient;
    // Name and state as remplirClientsMois writes them into a cleared month list
    // ("Dupont Payé"), the state alone when no name is known or the client is gone.
    QString texteMois;
    // The weekly grid reads a day's first night where the other readers take the
    // last one; the two differ only on a day that holds several nights.
    // State of that first night:
    QString premierEtat;
    // and its state, one blank and the client's name ("Payé Dupont"; the
    // company name when the surname is empty), the state alone when the client
    // is gone or has no name.
    QString texteEtatNom;

    bool isFree() const { return id == 0; }
    bool operator==(const PlanningCell &) const = default;
};

// Rooms 1..roomCount() against consecutive days from firstDay(). When a room
// holds several rows on one night (the program never writes that), the cell
// describes the last one, as the per-day readers do.
class PlanningTable
{
public:
    PlanningTable() = default;
    PlanningTable(const QDate &firstDay, int dayCount, int roomCount);

    QDate firstDay() const { return m_firstDay; }
    int dayCount() const { return m_dayCount; }
    int roomCount() const { return m_roomCount; }

    // room 1..roomCount(), day 0..dayCount()-1; out of range gives a free cell.
    const PlanningCell &cell(int room, int day) const;
    PlanningCell &cell(int room, int day);

    // One entry per day of the table, ready for a room's list.
    QStringList etats(int room) const;
    QStringList textesClients(int room) const;
    QStringList textesMois(int room) const;
    QStringList textesEtatNom(int room) const;

private:
    QDate m_firstDay;
    int m_dayCount = 0;
    int m_roomCount = 0;
    QList<PlanningCell> m_cells; // room-major
};
