// Import of the old program's data: ten years of a 25-room hotel in a Jet 4
// file (about 88 000 nights, 264 000 night services, 6 000 clients, 20 000
// invoices, written by the tests' generator), read and checked, then imported
// into a fresh data directory (staging database, checks, swap).

#include "common/paths.h"
#include "import/legacy_import.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString &hotelFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString out = dir.filePath(QStringLiteral("reserv.mdb"));
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(KESTROVA_SOURCE_DIR "/tests/import/jet4_writer.py"), out, QStringLiteral("--hotel"),
                 QStringLiteral("10"), QStringLiteral("25")});
        p.waitForFinished(300000);
        return out;
    }();
    return path;
}

void BM_Analyse(benchmark::State &state)
{
    const QString file = hotelFile();
    for (auto _ : state) {
        const LegacyImport::Report r = LegacyImport::analyse(file, 25);
        benchmark::DoNotOptimize(r.totalRead());
        state.counters["rows"] = double(r.totalRead());
    }
}
BENCHMARK(BM_Analyse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// What the user waits for: analysis, then the import itself.
void BM_ImportWhole(benchmark::State &state)
{
    const QString file = hotelFile();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir target;
        QFile ini(target.filePath(QStringLiteral("config.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Chambres]\nnombre=25\n");
        ini.close();
        QString error;
        Paths::useDataDir(target.path(), &error);
        state.ResumeTiming();
        LegacyImport::Report r = LegacyImport::analyse(file, 25);
        LegacyImport::run(file, r, {});
        state.counters["rows"] = double(r.totalWritten());
        if (r.totalWritten() != r.totalRead())
            state.SkipWithError("rows lost");
    }
}
BENCHMARK(BM_ImportWhole)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
