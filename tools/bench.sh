#!/bin/bash
# Builds the benchmarks in release mode (build/bench), runs them, then runs the
# peer comparison with GPSBabel (bench/peer.sh).
#
#   tools/bench.sh [options for lorvane-bench, e.g. --benchmark_filter=Correct]
#
# Every benchmark runs 5 times and is reported as mean, median and spread;
# compare medians taken in the same run, since the machine may be shared.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/bench
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DLORVANE_BUILD_BENCH=ON \
    -DLORVANE_BUILD_TESTS=OFF -DLORVANE_BUILD_APP=OFF > /dev/null
cmake --build "$build" -j2 --target lorvane-bench lorvane-make-inputs lorvane-cli

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), load $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/lorvane-bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
"$root/bench/peer.sh" "$build"
