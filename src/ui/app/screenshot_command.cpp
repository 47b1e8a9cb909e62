#include "ui/app/commands.h"
#include "ui/app/main_window.h"
#include "common/format.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QTabWidget>
#include <QTextStream>

namespace {

constexpr QSize kShotSize(1400, 900);

// Lets pending layout and paint events run, and the delayed refills that were
// asked for start, before the window is grabbed.
void settle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    } while (timer.elapsed() < milliseconds);
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
    settle(700);

    const QPixmap shot = window.grab();
    if (!shot.save(file, "PNG")) {
        err << "screenshot : impossible d'écrire « " << QFileInfo(file).absoluteFilePath() << " ».\n";
        return 1;
    }
    return 0;
}
