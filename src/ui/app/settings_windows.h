#pragma once

class QAction;
class TForm1;

// Opens the settings form from "Personnalisation" and the planning print from
// "Imprimer", and brings the main window up to date after new settings.
namespace SettingsWindows {
void install(TForm1 *window, QAction *personnalisation, QAction *imprimer);
}
