// The statistics tab and the advanced reservation form on ten years of a
// 25-room hotel: a change of measure or year (computation and grid refresh
// included), the day-by-day turnover window, and opening the advanced form on
// a 14-night stay with daily services (its free-room list included).

#include "bench_data.h"

#include "ui/app/main_window.h"
#include "common/errors.h"
#include "common/text_grid.h"
#include "data/data_module.h"
#include "data/reservation.h"
#include "data/sql.h"
#include "ui/planning/available_rooms_filler.h"
#include "ui/planning/daily_turnover_window.h"
#include "planning/planning_refreshers.h"
#include "ui/planning/resa_avancee.h"
#include "ui/planning/statistics_page.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<TForm1> g_window;
int g_stay = 0; // first night of the 14-night stay

void settle()
{
    QApplication::processEvents();
}

// Measures 1 and 2 in turn, the delayed fill run at once, then the grid drawn.
void MeasureChange(benchmark::State &state, bool draw)
{
    TForm1 &w = *g_window;
    w.tabs()->setCurrentIndex(TForm1::StatisticsTab);
    StatisticsPage *page = w.statisticsPage();
    page->yearList()->setCurrentText(QStringLiteral("2021"));
    w.refreshers()->statistics()->flush();
    settle();
    int i = 0;
    for (auto _ : state) {
        page->measureList()->setCurrentIndex(i++ % 2 == 0 ? 1 : 2);
        w.refreshers()->statistics()->flush();
        if (draw)
            w.repaint();
    }
    state.counters["nuits2021"] = page->grid().cell(13, w.roomCount() + 1).toDouble();
}

// Two years in turn, turnover measure.
void YearChange(benchmark::State &state)
{
    TForm1 &w = *g_window;
    StatisticsPage *page = w.statisticsPage();
    page->measureList()->setCurrentIndex(0);
    w.refreshers()->statistics()->flush();
    int i = 0;
    for (auto _ : state) {
        page->yearList()->setCurrentText(i++ % 2 == 0 ? QStringLiteral("2020") : QStringLiteral("2021"));
        w.refreshers()->statistics()->flush();
        w.repaint();
    }
}

void DayByDay(benchmark::State &state)
{
    TForm8 *details = g_window->statisticsPage()->detailsWindow();
    int i = 0;
    for (auto _ : state)
        details->afficherDetailsMois(2021, 1 + (i++ % 12));
    state.counters["semaines"] = details->grid().rowCount() - 1;
}

void OpenStay(benchmark::State &state)
{
    TResaAvancee *form = g_window->resaAvancee();
    const int client = 1;
    for (auto _ : state) {
        form->presetClient(client);
        form->presetReservation(g_stay);
        form->prepare(true, false);
        form->roomsFiller()->refresher()->flush();
    }
    state.counters["lignes"] = form->roomList()->count();
}

void Measure_Change(benchmark::State &s)
{
    MeasureChange(s, false);
}
void Measure_Change_Drawn(benchmark::State &s)
{
    MeasureChange(s, true);
}

} // namespace

BENCHMARK(Measure_Change)->Unit(benchmark::kMillisecond);
BENCHMARK(Measure_Change_Drawn)->Unit(benchmark::kMillisecond);
BENCHMARK(YearChange)->Unit(benchmark::kMillisecond);
BENCHMARK(DayByDay)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenStay)->Unit(benchmark::kMillisecond);

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
        // A 14-night stay with three daily services, after every other night.
        TextGrid services(5, 4);
        for (int row = 1; row <= 3; ++row) {
            services.setCell(row, 0, QString::number(row));
            services.setCell(row, 2, QStringLiteral("1"));
        }
        const QDate first = s.lastNight.addDays(30);
        {
            Reservation reservation;
            reservation.ajouterReservation(3, QStringLiteral("Réservé"), 1, first, first.addDays(13), services,
                                           2, 0);
        }
        g_stay = Sql(DataModule::shared(), QStringLiteral("SELECT id FROM reserv WHERE numero = 3 AND r_date = ?"))
                     .add(first.toString(Qt::ISODate))
                     .scalar()
                     .toInt();
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
