#include "ui/app/gui.h"

#include "commands/app_info.h"
#include "commands/startup.h"
#include "ui/app/main_window.h"
#include "ui/app/paint_watch.h"
#include "ui/import/import_window.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

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
    // For the start-up benchmark: KESTROVA_FIRST_PAINT set, the program prints
    // the monotonic clock and the CPU time it has used (nanoseconds) once the
    // window has first painted, and ends there.
    std::unique_ptr<PaintWatch> firstPaint;
    if (qEnvironmentVariableIsSet("KESTROVA_FIRST_PAINT")) {
        firstPaint = std::make_unique<PaintWatch>([&window] {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            timespec cpu{};
            clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
            std::printf("premier affichage %lld %lld\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                        static_cast<long long>(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
        window.installEventFilter(firstPaint.get());
    }
    window.showMaximized();
    return QApplication::exec();
}
