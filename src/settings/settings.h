#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

// Typed readers of the keys of config.ini that many windows share. Each call
// reads the file again (no cache), with the default given by the caller where
// readers differ.
namespace Settings {

// Number of rooms N: [Chambres] nombre. The main window and the settings form
// default to 25, the other readers to 15. Throws SettingsError on non-numeric text.
int roomCount(int defaultCount);
// Display name of room i: [Chambre<i>] nom, default the number itself.
QString roomName(int room);
// Display names of rooms 1..count from one reading of the file.
QStringList roomNames(int count);
QColor roomBorderColor(int room); // [Chambre<i>] Cbordure, default white
QColor roomBackgroundColor(int room); // [Chambre<i>] Cfond, default white

// [Hotel] nom; the main window's default is "Kestrova".
QString hotelName(const QString &defaultName = QString());

// Text colour of a state ("Réservé", "Acompte", "Payé") in the planning.
QColor stateColor(const QString &state);
QColor freeColor(); // [couleurs] lib_L

// [Affichage] type: true when planning cells show the client's name, that is
// for any value but "Etat" ("Nom" as the settings form writes it).
bool showsNames();

} // namespace Settings
