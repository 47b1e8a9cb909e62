#pragma once

#include <QIcon>
#include <QString>

// Texts that describe the program itself, shared by the main window, the about
// window and the command line.
namespace AppInfo {

// "v3.2": shown in the main window's title and in the about window.
QString versionText();
// The application title: "Kestrova : Gérer vos réservations simplement".
QString applicationTitle();

// The program's icon, in every size compiled into it (windows, about box, task bar).
QIcon applicationIcon();
// Where the user guide is: the program's README.md when it is found beside the
// executable, in its share/doc folder or one level up, else a plain hint.
QString documentation();
// The message shown once, when a new database has just been created.
QString databaseCreatedMessage();

} // namespace AppInfo
