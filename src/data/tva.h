#pragma once

#include "data/data_module.h"

#include <QString>

class ChoiceList;
class TextGrid;

// The VAT rates offered when service prices are typed (table `tva`). A rate
// chosen for a service is copied into it: changing or deleting a rate later
// leaves the services as they are. Database errors throw DatabaseError.
class Tva
{
public:
    Tva();

    // "---------" (no rate, worth 0), then every rate in the general number
    // format, highest first, each worth its id. Equal rates are all listed.
    void remplirListeTva(ChoiceList &liste) const;

    // The VAT window's grid: from row 1 one row per rate in id order, column 0
    // the id, column 1 the rate; with no rate a single empty row 1. Row 0
    // (titles) is left as the caller set it. Returns the number of rates.
    int afficherTaux(TextGrid &grille) const;
    // The rate of an id in the general number format; empty when missing.
    QString getTaux(int id) const;
    // Stores a rate typed with "," or "."; returns its id. Throws KestrovaError
    // when the text is not a number or the rate already exists.
    int ajouterTaux(const QString &taux);
    // Returns false when the rate does not exist. Throws KestrovaError when
    // the text is not a number or another rate already has that value.
    bool modifierTaux(int id, const QString &taux);
    // Returns false when the rate does not exist.
    bool supprimerTaux(int id);

private:
    DataModule::Use m_use;
};
