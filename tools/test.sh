#!/usr/bin/env bash
# Builds Lorvane twice, as it ships and under AddressSanitizer and
# UndefinedBehaviorSanitizer, once more with clang for the fuzz targets, and
# cross-builds it for Windows (build/win64, MinGW-w64) and for the web
# (build/web, Emscripten); runs the whole suite on both Linux builds, the fuzz
# tests, the Windows suite under Wine (each Windows test with the ANSI code
# page 950 and with 1252, the dialog driven end to end) and the web build's
# suite under Node in one ctest run, so the closing summary counts every test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

jobs=$(nproc)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j"$jobs"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DLORVANE_SANITIZE=ON
cmake --build build/sanitize -j"$jobs"
# The fuzz targets (clang, libFuzzer): their tests replay the seeds through
# every target and fuzz each for a short time (LORVANE_FUZZ_SECONDS, 20 s).
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DLORVANE_BUILD_FUZZ=ON -DLORVANE_BUILD_APP=OFF -DLORVANE_BUILD_TESTS=OFF
cmake --build build/fuzz -j"$jobs"

# --- Windows: the cross build and one wineserver for the whole run ---
# A fresh throwaway prefix; the server stays up until the run ends, so a test
# program starts in a tenth of a second instead of two or three.
tools/build-windows.sh
(source tools/wine-env.sh && lorvane_wine_start)
trap '(source tools/wine-env.sh && lorvane_wine_stop)' EXIT
# --- end Windows ---

# --- Web: the Emscripten build; its tests run under Node ---
tools/build-web.sh
# --- end Web ---

# One test tree over the five builds.
cat > build/CTestTestfile.cmake <<'TESTS'
subdirs("release")
subdirs("sanitize")
subdirs("fuzz")
subdirs("win64")
subdirs("web")
TESTS
# --- Release packages: tools/package.sh builds them into dist/ from the trees
# above (build/release, build/win64); the package tests check them.
tools/package.sh
echo "subdirs(\"$PWD/packaging/tests\")" >> build/CTestTestfile.cmake
# --- end of the release packages

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build --output-on-failure -j"$jobs"
