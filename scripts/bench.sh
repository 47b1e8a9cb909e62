#!/bin/sh
# Builds and runs every benchmark of bench/ and prints one table: operation,
# median CPU and wall time, target, met or not. Extra arguments go to every
# benchmark (for instance --benchmark_repetitions=5). The JSON results stay in
# build/bench-results/. Medians of 3 repetitions by default.
set -eu
cd "$(dirname "$0")/.."
[ -d build ] || ./scripts/build.sh
programs="reservation engines planning_view statistics startup clients invoices documents archive pdf"
# Only the benchmarks (and the program the start-up one launches), not the tests.
cmake --build build --target $(for b in $programs; do printf 'bench_%s ' "$b"; done)
out=build/bench-results
mkdir -p "$out"
for b in $programs; do
  exe=build/bench/bench_$b
  [ -x "$exe" ] || { echo "bench_$b absent (Google Benchmark missing?)" >&2; continue; }
  echo "bench_$b ..." >&2
  QT_QPA_PLATFORM=offscreen "$exe" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$out/bench_$b.json" --benchmark_out_format=json "$@" >/dev/null \
    || echo "bench_$b a échoué" >&2
done
echo "Machine : $(nproc) cœurs, $(uptime | sed 's/.*load average/charge/')"
/usr/bin/python3 scripts/bench_table.py "$out"
