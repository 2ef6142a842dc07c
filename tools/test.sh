#!/usr/bin/env bash
# Builds Lorvane twice, as it ships and under AddressSanitizer and
# UndefinedBehaviorSanitizer, and once more with clang for the fuzz targets,
# and runs the whole suite on both builds and the fuzz tests in one ctest run,
# so the closing summary counts every test.
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

# One test tree over the three builds.
cat > build/CTestTestfile.cmake <<'TESTS'
subdirs("release")
subdirs("sanitize")
subdirs("fuzz")
TESTS
# --- Release packages: tools/package.sh builds them into dist/ from the trees
# above (build/release, build/win64); the package tests check them.
tools/package.sh
echo "subdirs(\"$PWD/packaging/tests\")" >> build/CTestTestfile.cmake
# --- end of the release packages

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build --output-on-failure -j"$jobs"
