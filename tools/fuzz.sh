#!/usr/bin/env bash
# Fuzzes every target (or the ones named) for SECONDS each and prints, per
# target, the inputs executed, the coverage reached and the crashes found.
#
#   tools/fuzz.sh SECONDS [TARGET...]      targets: wtr evo gdb mps gpx gtm repair
#
# Environment:
#   LORVANE_FUZZ_BUILD  the clang build folder (default build/fuzz); configured
#                       and built here when needed
#   LORVANE_FUZZ_JOBS   how many targets run at once (default 1)
#
# Each target grows its corpus in BUILD/fuzz/corpus/TARGET, starting from the
# seeds in BUILD/fuzz/seeds/TARGET; a crashing input goes to
# BUILD/fuzz/artifacts/TARGET-crash-* (or leak-, timeout-, oom-) and the full
# output to BUILD/fuzz/logs/TARGET.log. Exits 1 when any target found a crash.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
  sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
seconds=$1
shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(wtr evo gdb mps gpx gtm repair)
build=${LORVANE_FUZZ_BUILD:-build/fuzz}
jobs=${LORVANE_FUZZ_JOBS:-1}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DLORVANE_BUILD_FUZZ=ON -DLORVANE_BUILD_APP=OFF -DLORVANE_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" >/dev/null

fuzz=$build/fuzz
mkdir -p "$fuzz/logs" "$fuzz/artifacts"
start=$fuzz/logs/.start
touch "$start"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run() {
  local target=$1
  mkdir -p "$fuzz/corpus/$target"
  "$fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$fuzz/artifacts/$target-" "$fuzz/corpus/$target" "$fuzz/seeds/$target" \
    >"$fuzz/logs/$target.log" 2>&1 || true
}

running=0
for target in "${targets[@]}"; do
  if [ ! -x "$fuzz/fuzz_$target" ]; then
    echo "no fuzz target $target" >&2
    exit 2
  fi
  run "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

found=0
printf '%-8s %14s %8s %8s %8s\n' target executions edges corpus crashes
for target in "${targets[@]}"; do
  log=$fuzz/logs/$target.log
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  # Coverage: the closing "DONE" line, or the last status line before a crash.
  status=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1 || true)
  edges=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$status")
  corpus=$(find "$fuzz/corpus/$target" -type f | wc -l)
  crashes=$(find "$fuzz/artifacts" -name "$target-*" ! -name "$target-slow-unit-*" -newer "$start" | wc -l)
  printf '%-8s %14s %8s %8s %8s\n' "$target" "${executions:-?}" "${edges:-?}" "$corpus" "$crashes"
  if [ "$crashes" -gt 0 ]; then
    found=1
    find "$fuzz/artifacts" -name "$target-*" ! -name "$target-slow-unit-*" -newer "$start" -printf '  %p\n'
    grep -m1 -E 'ERROR: |check failed' "$log" | sed 's/^/  /' || true
  fi
done
exit $found
