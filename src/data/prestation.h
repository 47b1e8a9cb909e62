#pragma once

#include "data/data_module.h"

#include <QDate>
#include <QString>

class ChoiceList;
class TextGrid;

// The catalogue of chargeable services with their prices per room, and the
// services attached to each night of a stay. Holds no data between calls.
//
// A service (its number, `id_prestation`) has one `prestations` row per room,
// each with its own price before VAT, rate and price with VAT; the rows of
// room 1 are the reference list. Every price read is the one of the night's
// room. Amounts and rates are taken as typed in the forms ("12,5" or "12.5");
// a rate "---------" or empty means "no rate". Operations that write several
// rows write all or none. Database errors throw DatabaseError; text that is
// not a number where one is needed throws KestrovaError (French text) before
// anything is written.
//
// Services grids (row 0 titles, one row per service, a trailing empty row):
// column 0 service number, 1 label, 2 quantity, and in the grids filled here
// 3 total before VAT, 4 VAT rate, 5 total with VAT (general number format).
class Prestation
{
public:
    Prestation();

    // ---- Catalogue -------------------------------------------------------

    // "Liste des Prestations" (worth 0), then the services of room 1 by label,
    // each worth its service number.
    void remplirListePrestations(ChoiceList &liste) const;
    // The largest service number + 1; 1 for an empty catalogue.
    int nouveauNumeroPrestation() const;

    // Adds the row of one service in one room. Empty prices and an empty or
    // "---------" rate are stored as empty; flags are 1 or 0.
    void ajouterPrestation(int id, const QString &libelle, int chambre, const QString &ht, const QString &tva,
                           const QString &ttc, int gratuitEnfant, int ajoutAuto);
    // Adds the per-period prices of one service in one room, one row per
    // tariff period (none when there is no period), prices as in ajouterPrestation.
    void creerTarifsPeriodes(int id, int chambre, const QString &ht, const QString &tva, const QString &ttc);

    // Standard add: a new service with the same prices in rooms 1 to
    // nombreChambres, with its per-period prices. Returns its service number.
    int ajouterPrestationToutesChambres(const QString &libelle, int nombreChambres, const QString &ht,
                                        const QString &tva, const QString &ttc, int gratuitEnfant,
                                        int ajoutAuto);
    // Advanced add: a new service priced per room from a room-prices grid
    // (row r = room r; columns 1 HT, 2 rate, 3 TTC) for rooms 1 to
    // nombreChambres. Returns its service number.
    int ajouterPrestationParChambre(const QString &libelle, const TextGrid &tarifs, int nombreChambres,
                                    int gratuitEnfant, int ajoutAuto);

    // Changes the label and prices of a service in one room. ht and ttc must be
    // numbers; "---------" stores "no rate", an empty rate leaves the stored
    // rate as it was. A room without a row of the service gets one (flags as in
    // the service's lowest room), so that prices typed for it are kept.
    void modifierPrestation(int id, const QString &libelle, int chambre, const QString &ht,
                            const QString &tva, const QString &ttc);
    // modifierPrestation for rooms 1 to nombreChambres with the same prices.
    void modifierPrestationToutesChambres(int id, const QString &libelle, int nombreChambres,
                                          const QString &ht, const QString &tva, const QString &ttc);
    // modifierPrestation for rooms 1 to nombreChambres with the prices of the
    // room-prices grid (row r = room r).
    void modifierPrestationParChambre(int id, const QString &libelle, const TextGrid &tarifs,
                                      int nombreChambres);
    // Sets the label in every room; returns the number of rows changed.
    int renommerPrestation(int id, const QString &libelle);
    // Deletes the service in every room with its per-period prices; returns the
    // number of `prestations` rows deleted. Nights that used the service keep
    // their rows, which no longer match a price and drop out of every total.
    int supprimerPrestation(int id);

    // True when the service exists in every room 1 to n with the same price
    // with VAT (to the cent) as in room 1.
    bool estTarifUniforme(int id, int n) const;
    // When the number of rooms grows to n, each new room receives a copy of
    // every service of the highest room, with its prices but without the
    // flags. Nothing happens for an empty catalogue or when n is not larger.
    void etendreChambres(int n);

    // ---- Prices of one service in one room ---------------------------------

    QString getTarifHT(int id, int chambre) const;  // "0" when missing
    QString getTauxTva(int id, int chambre) const;  // "---------" when missing
    QString getTarifTTC(int id, int chambre) const; // "0" when missing
    bool estGratuitEnfant(int id, int chambre) const;
    bool estAjoutAuto(int id, int chambre) const;
    // Writes the prices of the service into a room-prices grid: row r = room r,
    // columns 1 HT, 2 rate ("---------" when none), 3 TTC. Rooms outside the
    // grid's rows are left out. True when the service has at least one row.
    bool afficherTarifsChambres(TextGrid &grille, int id) const;

    // ---- Services of nights ----------------------------------------------

    // Brings the services of one night in line with a services grid (rows 1 to
    // row count - 2: column 0 service number, column 2 quantity): rows found are
    // updated, missing ones inserted, and every service of the night that is in
    // neither grille nor grilleConservee is removed. The services of
    // grilleConservee are only kept, never written. When neither grid names a
    // service the night keeps everything it has. Throws KestrovaError when a
    // quantity is not a whole number (nothing is then changed).
    void majPrestationsNuit(int idNuit, const TextGrid &grille, const TextGrid *grilleConservee = nullptr);

    // Adds the services of one night into a services grid: a service already
    // listed gets its quantity increased, a new one takes the trailing empty
    // row and a new empty row follows. Totals are price x accumulated quantity
    // at the prices of the night's room. vider first empties the grid to its
    // title row and one empty row. Called once per night of a stay.
    void cumulerPrestationsNuit(int idNuit, bool vider, TextGrid &grille) const;

    // Loads the services of the stay that starts with the given night. Daily
    // services (on every night with the same quantity) go to quotidiennes as in
    // cumulerPrestationsNuit with the per-night quantity; every other service
    // gives one line per night in ponctuelles, in date order: column 0 service
    // number, 1 label, 2 the night's date. vider empties both grids first.
    void chargerPrestationsSejour(int idPremiereNuit, bool vider, TextGrid &quotidiennes,
                                  TextGrid &ponctuelles) const;

    // The night of the same room and client decalage days away, or -1.
    int getNuitVoisine(int idNuit, int decalage) const;
    int getNuitPrecedente(int idNuit) const { return getNuitVoisine(idNuit, -1); }
    int getNuitSuivante(int idNuit) const { return getNuitVoisine(idNuit, 1); }
    // The day of a night; Format::zeroDate() when the night does not exist.
    QDate getDateNuit(int idNuit) const;

private:
    QVariant priceColumn(const char *column, int id, int chambre) const;

    DataModule::Use m_use;
};
