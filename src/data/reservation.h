#pragma once

#include "common/errors.h"
#include "data/data_module.h"
#include "data/planning_table.h"
#include "data/year_figures.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class TextGrid;

// A stay would put a second row on a room and night already held: nothing was
// written. text() names the room (display name) and the date for the user.
class RoomTakenError : public KestrovaError
{
public:
    RoomTakenError(int room, const QDate &date);
    // The unique index on room and night refused the row: another desk saved
    // that night between our check and our write.
    static RoomTakenError byIndex(int room, const QDate &date);
    int room() const { return m_room; }
    QDate date() const { return m_date; }

private:
    RoomTakenError(int room, const QDate &date, const QString &text);
    int m_room;
    QDate m_date;
};

// The night rows of table reserv: one row per room and night, a stay being the
// run of one client's rows in one room on consecutive days, designated by the id
// of its first night. Reads the planning texts, the availability and the monthly
// sums; creates, changes and deletes stays, each in one transaction. Holds no
// data; database errors are thrown as DatabaseError, missing rows give the zero
// date, room 0, the empty text or 0.
class Reservation
{
public:
    Reservation();

    // Single rows.
    static QString getNomChambre(int numero);
    QDate getDateDebut(int id) const;
    QDate getDateFin(int id) const;
    int getNumeroChambre(int id) const;
    QString getNomChambreReservation(int id) const;
    QString getEtat(int id) const;

    // Stays of a client (every row when client is empty): one grid line per
    // stay from row 1 on, the grid growing by one row per line. Columns: 0 id of
    // the first night, 1 first night, 2 last night (empty for one night), 3 room
    // name, 4 state, 5 room number, 6 adults, 7 children.
    void listerReservationsClient(const QString &client, TextGrid &grille) const;
    // Deletes the stay that begins at night id, with the services of its nights.
    void supprimerReservation(int id);

    // Planning texts of one room. Week lists hold 7 entries (entry 0 the first
    // day); month lists one entry per day (entry d-1 for day d). Entries are
    // replaced, never added.
    QString getNomClientJour(int numero, const QDate &jour) const;
    QString getEtatJour(int numero, const QDate &jour) const;
    void remplirClientsSemaine(int numero, QStringList &liste, const QDate &premierJour) const;
    void remplirEtatsSemaine(int numero, QStringList &liste, const QDate &premierJour) const;
    void remplirEtatsMois(int numero, QStringList &liste, const QDate &jour) const;
    void remplirClientsMois(int numero, QStringList &liste, const QDate &jour) const;

    // Every room 1..nbChambres of a week (7 days from premierJour) or of the
    // month of jour (from its 1st), in one statement.
    PlanningTable lirePlanningSemaine(const QDate &premierJour, int nbChambres) const;
    PlanningTable lirePlanningMois(const QDate &jour, int nbChambres) const;
    PlanningTable lirePlanning(const QDate &premierJour, int nbJours, int nbChambres) const;

    // True when the room has no night from debut to fin included (any state
    // counts), and when debut is after fin.
    bool estDisponible(int numero, const QDate &debut, const QDate &fin) const;
    // The rooms that hold at least one night from debut to fin included.
    QSet<int> getChambresOccupees(const QDate &debut, const QDate &fin) const;

    // Creates one night per day from debut to fin in room numero, each with the
    // service rows of the grid (rows 1 to row count - 2, column 0 service number,
    // column 2 quantity) and an operation log entry. All nights or none; when
    // the room already holds a row on one of those nights, nothing is written
    // and RoomTakenError names the first such night.
    void ajouterReservation(int numero, const QString &etat, int client, const QDate &debut, const QDate &fin,
                            const TextGrid &prestationsQuotidiennes, int nbAdultes, int nbEnfants);
    // Brings the stay ancienDebut..ancienneFin of the client in ancienneChambre
    // to nouveauDebut..nouvelleFin in nouvelleChambre. With change set, the old
    // nights take the new room, state and numbers of guests; nights added at
    // either end take them too; dropped nights go with their services; every
    // night's services end up as the daily grid says, one-off services kept.
    // Only the rows of that stay are touched, never another stay of the client.
    // All or nothing: RoomTakenError, with nothing written, when a night would
    // land on a night of the new room already held by another row.
    void modifierReservation(bool change, int nouvelleChambre, int ancienneChambre, const QString &etat,
                             int client, const QDate &nouveauDebut, const QDate &nouvelleFin,
                             const TextGrid &prestationsQuotidiennes, const TextGrid &prestationsPonctuelles,
                             const QDate &ancienDebut, const QDate &ancienneFin, int nbAdultes,
                             int nbEnfants);

    // Monthly and daily sums; 0 when there is nothing to sum. Turnover is before
    // tax, at the current base price of each service for the night's room.
    int getNbNuitsMois(int numero, int annee, int mois) const;
    int getNbPersonnesMois(int numero, int annee, int mois) const;
    double getChiffreAffairesMois(int numero, int annee, int mois) const;
    double getChiffreAffairesJour(int annee, int mois, int jour) const;

    // The three monthly measures of rooms 1..nbChambres for a year, in one
    // statement; equal to the per-month sums above.
    YearFigures lireStatistiquesAnnee(int annee, int nbChambres) const;
    // That statement (values :chambres, and :debut1..12 and :fin1..12 the
    // first days of each month and of the next), for measuring its bare cost.
    static QString statistiquesAnneeSql();
    // Turnover of all rooms for each day from debut to fin (entry 0 = debut).
    QList<double> getChiffreAffairesJours(const QDate &debut, const QDate &fin) const;
    // Years that hold at least one night, in increasing order.
    QList<int> getAnneesReservees() const;
    // Adults and children of night id (0 when empty or when there is no row).
    int getNbAdultes(int id) const;
    int getNbEnfants(int id) const;

private:
    DataModule::Use m_use;
};
