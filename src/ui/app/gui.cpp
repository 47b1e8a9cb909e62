#include "ui/app/gui.h"

#include "commands/app_info.h"
#include "commands/startup.h"
#include "ui/app/main_window.h"
#include "ui/import/import_window.h"

#include <QApplication>

int runGui(const QString &dataDir)
{
    Q_UNUSED(dataDir);
    // Message boxes carry the application's title.
    QGuiApplication::setApplicationDisplayName(AppInfo::applicationTitle());
    // The desktop matches the window to its menu entry (and its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrova"));
    QApplication::setWindowIcon(AppInfo::applicationIcon());
    // A reserv.mdb of the old program found at start-up is imported with progress shown.
    ImportProgressWindow startupImport;
    Startup::setImportProgress(startupImport.callback());
    TForm1 window;
    // Without its database the planning can do nothing useful: the error has been
    // shown, the program stops there.
    if (!window.FormCreate())
        return 1;
    window.showMaximized();
    return QApplication::exec();
}
