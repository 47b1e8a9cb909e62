#include "ui/app/commands.h"
#include "ui/app/main_window.h"
#include "common/format.h"
#include "planning/planning_refreshers.h"
#include "ui/app/paint_watch.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPixmap>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace {

constexpr QSize kShotSize(1400, 900);

// Waits on events until the window has painted with none of its delayed
// fills pending (they run half a second after their request and a fill may
// ask for another), or until the deadline. Each fill that runs repaints the
// whole window, so the last paint shows every fill.
void settle(TForm1 &window, int deadlineMs)
{
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    PlanningRefreshers *refreshers = window.refreshers();
    const QList<DelayedRefresher *> fills{refreshers->month(), refreshers->week(), refreshers->statistics()};
    bool painted = false;
    auto finishWhenDone = [&] {
        if (painted && std::none_of(fills.begin(), fills.end(), [](auto *f) { return f->isPending(); }))
            loop.quit();
    };
    PaintWatch watch([&] {
        painted = true;
        finishWhenDone();
    });
    window.installEventFilter(&watch);
    for (DelayedRefresher *fill : fills)
        QObject::connect(fill, &DelayedRefresher::ran, &loop, [&] {
            painted = false;
            window.update();
        });
    deadline.start(deadlineMs);
    loop.exec();
    window.removeEventFilter(&watch);
}

} // namespace

int runScreenshot(const QString &dataDir, const QStringList &args)
{
    Q_UNUSED(dataDir);
    QTextStream err(stderr);
    QString file;
    int tab = TForm1::WeeklyTab;
    QDate date;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--onglet") || a == QLatin1String("--date")) {
            if (i + 1 >= args.size()) {
                err << "screenshot : " << a << " attend une valeur.\n";
                return 2;
            }
            const QString value = args.at(++i);
            if (a == QLatin1String("--date")) {
                date = Format::parseDate(value);
                if (!date.isValid()) {
                    err << "screenshot : « " << value << " » n'est pas une date JJ/MM/AAAA.\n";
                    return 2;
                }
            } else if (value == QLatin1String("hebdomadaire")) {
                tab = TForm1::WeeklyTab;
            } else if (value == QLatin1String("mensuel")) {
                tab = TForm1::MonthlyTab;
            } else if (value == QLatin1String("statistiques")) {
                tab = TForm1::StatisticsTab;
            } else {
                err << "screenshot : onglet inconnu « " << value
                    << " » (hebdomadaire, mensuel ou statistiques).\n";
                return 2;
            }
        } else if (a.startsWith(QLatin1Char('-')) || !file.isEmpty()) {
            err << "screenshot : argument inattendu « " << a << " ».\n";
            return 2;
        } else {
            file = a;
        }
    }
    if (file.isEmpty()) {
        err << "screenshot : indiquez le fichier PNG à écrire.\n";
        return 2;
    }

    TForm1 window;
    if (!window.FormCreate())
        return 1;
    if (date.isValid())
        window.MonthCalendar1Click(date);
    window.tabs()->setCurrentIndex(tab);
    window.resize(kShotSize);
    window.show();
    settle(window, 10000);

    const QPixmap shot = window.grab();
    if (!shot.save(file, "PNG")) {
        err << "screenshot : impossible d'écrire « " << QFileInfo(file).absoluteFilePath() << " ».\n";
        return 1;
    }
    return 0;
}
