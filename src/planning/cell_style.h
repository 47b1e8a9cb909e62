#pragma once

#include <QColor>
#include <QString>

// How a planning cell's text is shown: in the colour of the state it names,
// with that state word taken out when the text also holds a client's name
// ("Réservé Dupont" is shown " Dupont" in the colour of "Réservé"). Shared by
// the weekly and the monthly grids and kept free of widgets so that the rule
// can be checked on its own.
struct StateColors
{
    QColor reserve; // [couleurs] lib_R
    QColor acompte; // lib_A
    QColor paye;    // lib_P

    // The three colours of config.ini, read now.
    static StateColors fromSettings();
};

// What the planning cells show: the display mode of config.ini and the state
// colours, as the main window read them last.
struct PlanningLook
{
    bool showsNames = false;
    StateColors colors;
};

struct CellStyle
{
    QString text; // what is drawn
    QColor color; // invalid: the grid's ordinary text colour
    bool operator==(const CellStyle &) const = default;
};

namespace CellStyles {

// A text that is exactly a state keeps it; any other text is searched for the
// state words in the order Payé, Acompte, Réservé and the first one found
// gives the colour and loses its first occurrence. A text without a state word
// keeps the ordinary colour.
CellStyle style(const QString &text, const StateColors &colors);

} // namespace CellStyles
