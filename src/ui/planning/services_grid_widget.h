#pragma once

#include "ui/catalogue/service_lines_grid.h"

// The services grid of the entry panel: the services of the loaded night with
// their quantities and prices for the current room (columns 0 and 6 hidden).
// Every line added or changed is repriced for the room; nothing is written to
// the database until the panel saves.
class ServicesGridWidget : public ServiceLinesGrid
{
    Q_OBJECT

public:
    explicit ServicesGridWidget(QWidget *parent = nullptr);

    // Back to the titles and one empty row.
    void clearServices();

    // The room whose prices the grid shows.
    void setRoom(int room) { m_room = room; }
    int room() const { return m_room; }

    // Recomputes the price columns for the room.
    void MajListePrestations();

    // Grid row of the selected service, -1 when the selected row holds none.
    int selectedServicesRow() const { return selectedRow(); }

protected:
    void layOutColumns() override;
    void lineEdited() override { MajListePrestations(); }

private:
    int m_room = 1;
};
