// Start-up on ten years of a 25-room hotel: from the launch of the program to
// the first paint of its main window. The program is started as a user starts
// it (offscreen), with KESTROVA_FIRST_PAINT set, so that it prints the
// monotonic clock and its own CPU time at that first paint and ends there:
// no fixed wait anywhere. Real time is launch to paint; the counter cpu_ms is
// the CPU the program spent up to its paint (what scripts/bench.sh compares
// with the target).

#include "bench_data.h"

#include "common/errors.h"
#include "data/data_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

QString g_dir;

void Startup_FirstPaint(benchmark::State &state)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KESTROVA_FIRST_PAINT"), QStringLiteral("1"));
    double cpuMs = 0;
    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(env);
        const auto launched = std::chrono::steady_clock::now();
        program.start(QStringLiteral(KESTROVA_BINARY), {QStringLiteral("--dir"), g_dir});
        if (!program.waitForFinished(30000) || program.exitCode() != 0) {
            state.SkipWithError("le programme ne s'est pas affiché");
            return;
        }
        // "premier affichage <monotonic ns> <cpu ns>"
        const QList<QByteArray> words = program.readAllStandardOutput().trimmed().split(' ');
        if (words.size() != 4) {
            state.SkipWithError("pas d'heure de premier affichage");
            return;
        }
        const auto painted = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(words.at(2).toLongLong()));
        state.SetIterationTime(std::chrono::duration<double>(painted - launched).count());
        cpuMs += words.at(3).toLongLong() / 1e6;
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}

} // namespace

// One launch per repetition: the median is that of eleven launches.
BENCHMARK(Startup_FirstPaint)->UseManualTime()->Iterations(1)->Repetitions(11)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchData::absoluteOutputPath(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir temporary(QDir::current().filePath(QStringLiteral("bench-XXXXXX")));
    g_dir = qEnvironmentVariableIsSet("KESTROVA_BENCH_DIR") ? qEnvironmentVariable("KESTROVA_BENCH_DIR")
                                                           : temporary.path();
    try {
        const BenchData::Summary s = BenchData::create(g_dir);
        std::fprintf(stderr, "Base d'essai : %d chambres, %d nuits, %d factures, %d clients\n", s.rooms, s.nights,
                     s.invoices, s.clients);
    } catch (const KestrovaError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    // The program opens the file itself, as at any start.
    DataModule::release();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
