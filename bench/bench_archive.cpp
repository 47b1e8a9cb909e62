// The backup archive on the ten-year benchmark database: packing it (read,
// compress at zlib's default level, write the archive) beside zlib alone
// compressing the same bytes in memory, and unpacking it with every entry
// checked. Before timing, the unpacked database is checked equal to the source.

#include "bench_data.h"

#include "common/errors.h"
#include "data/data_module.h"
#include "net/archive_format.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <zlib.h>

#include <cstdio>

namespace {

QTemporaryDir *g_dir = nullptr;
QString g_database;
QByteArray g_bytes;

void BM_ZlibDefaultLevel(benchmark::State &state)
{
    QByteArray out(qsizetype(compressBound(uLong(g_bytes.size()))), Qt::Uninitialized);
    for (auto _ : state) {
        uLongf size = uLongf(out.size());
        compress2(reinterpret_cast<Bytef *>(out.data()), &size,
                  reinterpret_cast<const Bytef *>(g_bytes.constData()), uLong(g_bytes.size()),
                  Z_DEFAULT_COMPRESSION);
        benchmark::DoNotOptimize(size);
    }
    state.SetBytesProcessed(state.iterations() * g_bytes.size());
}

void BM_ArchivePack(benchmark::State &state)
{
    const QString archive = g_dir->filePath(QStringLiteral("pack.zip"));
    for (auto _ : state)
        Archive::pack(archive, {{QStringLiteral("reserv2.mdb"), g_database}});
    state.SetBytesProcessed(state.iterations() * g_bytes.size());
}

void BM_ArchiveUnpackVerified(benchmark::State &state)
{
    const QString archive = g_dir->filePath(QStringLiteral("unpack.zip"));
    Archive::pack(archive, {{QStringLiteral("reserv2.mdb"), g_database}});
    const QString target = g_dir->filePath(QStringLiteral("cible"));
    for (auto _ : state)
        Archive::unpack(archive, target);
    state.SetBytesProcessed(state.iterations() * g_bytes.size());
}

} // namespace

int main(int argc, char **argv)
{
    BenchData::absoluteOutputPath(argc, argv); // before the data directory becomes current
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    try {
        BenchData::create(dir.filePath(QStringLiteral("hotel")));
        DataModule::release();
        g_database =
            QDir(dir.filePath(QStringLiteral("hotel"))).absoluteFilePath(QStringLiteral("reserv.mdb"));
        QFile f(g_database);
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        g_bytes = f.readAll();
        const QString archive = dir.filePath(QStringLiteral("check.zip"));
        Archive::pack(archive, {{QStringLiteral("reserv2.mdb"), g_database}});
        Archive::unpack(archive, dir.filePath(QStringLiteral("check")));
        QFile back(dir.filePath(QStringLiteral("check/reserv2.mdb")));
        if (!back.open(QIODevice::ReadOnly) || back.readAll() != g_bytes) {
            std::fprintf(stderr, "unpacked database differs from the source\n");
            return 1;
        }
        std::fprintf(stderr, "database: %lld bytes, archive: %lld bytes\n",
                     static_cast<long long>(g_bytes.size()),
                     static_cast<long long>(QFileInfo(archive).size()));
    } catch (const KestrovaError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    benchmark::RegisterBenchmark("zlib default level (memory)", BM_ZlibDefaultLevel)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("archive pack (file to file)", BM_ArchivePack)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("archive unpack, verified", BM_ArchiveUnpackVerified)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
