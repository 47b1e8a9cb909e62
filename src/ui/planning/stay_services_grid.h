#pragma once

#include "ui/catalogue/service_lines_grid.h"

// The daily services of the advanced reservation form: service (number
// hidden) and quantity per night, a trailing empty row for the next entry.
// No prices: the stay is written only when the form is validated.
class StayServicesGrid : public ServiceLinesGrid
{
    Q_OBJECT

public:
    explicit StayServicesGrid(QWidget *parent = nullptr);

    // Titles "Prestation", "Nb / jour" and one empty row.
    static TextGrid emptyGrid();

    void clearServices() { setGrid(emptyGrid()); }

    void ajouter() { AjoutPrestation(); }
    void modifier() { MajPrestation(); }
    void supprimer() { SuppPrestation(); }

    // Grid row of the selected service, -1 when the selected row holds none.
    int selectedServicesRow() const { return selectedRow(); }

protected:
    TextGrid shaped(const TextGrid &grid) const override;
    void layOutColumns() override;
};
