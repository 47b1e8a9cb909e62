#pragma once

#include "data/data_module.h"

#include <QDate>
#include <QString>

class ChoiceList;
class TextGrid;

// Tariff periods (named seasons), the calendar that gives date ranges of each
// year to a period, and the per-period prices of the services. Maintained and
// listed only: every price used elsewhere is the base price of the service.
// Holds no data between calls; database errors throw DatabaseError.
class Periode
{
public:
    Periode();

    // "Liste des Périodes" (worth 0), then the periods by name, each worth its id.
    void remplirListePeriodes(ChoiceList &liste) const;

    // Adds a period; returns its id.
    int ajouterPeriode(const QString &libelle);
    // Copies the base prices of every service of one room as the prices of
    // the period in that room.
    void creerTarifsPeriodeChambre(int idPeriode, int chambre);
    // ajouterPeriode, then creerTarifsPeriodeChambre for rooms 1 to
    // nombreChambres, all or nothing. Returns the new period's id.
    int creerPeriode(const QString &libelle, int nombreChambres);
    // Returns the number of periods renamed (0 or 1).
    int renommerPeriode(int id, const QString &libelle);
    // Deletes the period with its calendar ranges and its per-period prices;
    // returns the number of periods deleted (0 for the placeholder's 0).
    int supprimerPeriode(int id);

    // Calendar ranges, first and last day included. Throws KestrovaError when a
    // date is not valid or the end comes before the start.
    int ajouterPlageCalendrier(int idPeriode, const QDate &debut, const QDate &fin);
    // Changes a range; nothing happens when it does not exist.
    void modifierPlageCalendrier(int id, int idPeriode, const QDate &debut, const QDate &fin);
    void supprimerPlageCalendrier(int id);

    // The ranges starting in the given year, in date order: from row 1 one row
    // per range (column 0 range id, 1 period id, 2 period name, 3 start and
    // 4 end as dd/MM/yyyy), then one empty entry row, left out when the last
    // range ends on 31 December. Row 0 (titles) is left as the caller set it.
    // Ranges of a deleted period are not listed.
    void afficherCalendrier(int annee, TextGrid &grille) const;

private:
    DataModule::Use m_use;
};
