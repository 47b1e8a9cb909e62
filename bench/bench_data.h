#pragma once

#include <QDate>
#include <QString>

#include <benchmark/benchmark.h>

// A hotel's worth of data for benchmarks: 25 rooms, ten years of nights
// (about 90 000) with their services and clients in the proportions of a busy
// small hotel, built through the program's own schema routine. Deterministic:
// the same seed gives the same database.
namespace BenchData {

struct Summary
{
    int rooms = 0;
    int clients = 0;
    int nights = 0;
    int services = 0; // reserv_prestations rows
    int invoices = 0; // about one per stay, with their lines
    int invoiceLines = 0;
    QDate firstNight;
    QDate lastNight;
    QDate today; // nights before it are mostly paid; after it occupancy thins out
};

// Makes dir (created when missing) the data directory and working directory,
// replaces reserv.mdb and config.ini there, and fills them. The shared
// connection is left open on the new file. Throws KestrovaError on failure.
Summary create(const QString &dir, unsigned seed = 20240611u);

// Makes a relative "--benchmark_out=FILE" (or "--benchmark_out FILE") absolute
// against the directory the program was started in: create() moves the working
// directory into the data directory before the results are written. Call it
// before benchmark::Initialize; argv is rewritten in place.
void absoluteOutputPath(int argc, char **argv);

// One committed 7-night stay with three services per iteration, on the shared
// connection, in weeks from 2030 on (past the data); those stays are deleted
// every 200 iterations, outside the timing, and at the end.
void commitWeekStays(benchmark::State &state, int rooms);

} // namespace BenchData
