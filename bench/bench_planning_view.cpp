// The planning window on ten years of a 25-room hotel: one step of the week or
// month buttons, from the click to the grid refilled, and the same followed by
// a synchronous repaint of the window so that drawing every cell is counted.
// Both display modes (states, then names). The window is shown offscreen at
// 1400 x 900 pixels.

#include "bench_data.h"

#include "ui/app/main_window.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "ui/planning/month_grid.h"
#include "planning/planning_refreshers.h"
#include "ui/planning/week_grid.h"
#include "settings/ini_file.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

const QDate kWeek(2021, 3, 10); // a busy week of the past
const QDate kMonth(2021, 7, 14);

std::unique_ptr<TForm1> g_window;

void useMode(bool names)
{
    IniFile().writeString(QStringLiteral("Affichage"), QStringLiteral("type"),
                          names ? QStringLiteral("Nom") : QStringLiteral("Etat"));
    g_window->personnalidation();
}

void settle()
{
    QApplication::processEvents();
}

// One click on " Suivant" or "Précédent" in turn, so the weeks stay in the past.
void Week(benchmark::State &state, bool names, bool draw)
{
    TForm1 &w = *g_window;
    useMode(names);
    w.tabs()->setCurrentIndex(TForm1::WeeklyTab);
    w.MonthCalendar1Click(kWeek);
    settle();
    int i = 0;
    for (auto _ : state) {
        if (i++ % 2 == 0)
            w.SuivantClick();
        else
            w.PrecedentClick();
        if (draw)
            w.repaint();
    }
    w.refreshers()->cancelAll();
    int filled = 0;
    for (int room = 1; room <= w.roomCount(); ++room)
        for (int d = 0; d < 7; ++d)
            filled += w.weekGrid()->cellText(room, d).isEmpty() ? 0 : 1;
    state.counters["cellules"] = filled;
}

// One click on "Suivant -->" or "<-- Précédent" in turn, its delayed fill run at once.
void Month(benchmark::State &state, bool names, bool draw)
{
    TForm1 &w = *g_window;
    useMode(names);
    w.MonthCalendar1Click(kMonth);
    w.tabs()->setCurrentIndex(TForm1::MonthlyTab);
    w.AffichageMois(kMonth);
    w.refreshers()->month()->flush();
    settle();
    int i = 0;
    for (auto _ : state) {
        if (i++ % 2 == 0)
            w.Button2Click();
        else
            w.Button1Click();
        w.refreshers()->month()->flush();
        if (draw)
            w.repaint();
    }
    int filled = 0;
    for (int room = 1; room <= w.roomCount(); ++room)
        for (int d = 0; d < w.monthGrid()->dayCount(); ++d)
            filled += w.monthGrid()->cellText(room, d).isEmpty() ? 0 : 1;
    state.counters["cellules"] = filled;
}

void Week_States(benchmark::State &s)
{
    Week(s, false, false);
}
void Week_States_Drawn(benchmark::State &s)
{
    Week(s, false, true);
}
void Week_Names_Drawn(benchmark::State &s)
{
    Week(s, true, true);
}
void Month_States(benchmark::State &s)
{
    Month(s, false, false);
}
void Month_States_Drawn(benchmark::State &s)
{
    Month(s, false, true);
}
void Month_Names_Drawn(benchmark::State &s)
{
    Month(s, true, true);
}

} // namespace

BENCHMARK(Week_States)->Unit(benchmark::kMillisecond);
BENCHMARK(Week_States_Drawn)->Unit(benchmark::kMillisecond);
BENCHMARK(Week_Names_Drawn)->Unit(benchmark::kMillisecond);
BENCHMARK(Month_States)->Unit(benchmark::kMillisecond);
BENCHMARK(Month_States_Drawn)->Unit(benchmark::kMillisecond);
BENCHMARK(Month_Names_Drawn)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchData::absoluteOutputPath(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir temporary(QDir::current().filePath(QStringLiteral("bench-XXXXXX")));
    const QString dir = qEnvironmentVariableIsSet("KESTROVA_BENCH_DIR")
                            ? qEnvironmentVariable("KESTROVA_BENCH_DIR")
                            : temporary.path();
    try {
        const BenchData::Summary s = BenchData::create(dir);
        std::fprintf(stderr, "Base d'essai : %d chambres, %d nuits, du %s au %s\n", s.rooms, s.nights,
                     qPrintable(s.firstNight.toString(Qt::ISODate)),
                     qPrintable(s.lastNight.toString(Qt::ISODate)));
        g_window = std::make_unique<TForm1>();
        if (!g_window->FormCreate())
            return 1;
        g_window->resize(1400, 900);
        g_window->show();
        settle();
        benchmark::RunSpecifiedBenchmarks();
    } catch (const KestrovaError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    g_window.reset();
    benchmark::Shutdown();
    DataModule::release();
    return 0;
}
