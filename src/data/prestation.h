#pragma once

#include "data/data_module.h"

#include <QString>

class TextGrid;

// The catalogue of chargeable services with their prices per room, and the
// services attached to each night of a stay. Holds no data between calls.
class Prestation
{
public:
    Prestation();

    // Brings the services of one night in line with a services grid (rows 1 to
    // row count - 2: column 0 service number, column 2 quantity): rows found are
    // updated, missing ones inserted, and every service of the night that is in
    // neither grille nor grilleConservee is removed. The services of
    // grilleConservee are only kept, never written. When neither grid names a
    // service the night keeps everything it has. Throws KestrovaError when a
    // quantity is not a whole number (nothing is then changed).
    void majPrestationsNuit(int idNuit, const TextGrid &grille, const TextGrid *grilleConservee = nullptr);

private:
    DataModule::Use m_use;
};
