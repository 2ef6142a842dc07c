#!/usr/bin/env bash
# Cross-builds the Windows programs into build/win64/: lorvane-cli.exe, the
# dialog lorvane.exe (when the Win32 front end is present) and the Windows
# test programs, each a single statically linked .exe. LORVANE_WIN64_TARGETS
# (say "lorvane lorvane-cli", as tools/package.sh does) builds only those.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
# expat, built static from Debian's source package (once; kept in build/).
expat=$(tools/build-expat.sh cmake/MinGW64.cmake build/expat-mingw)
expat_dir=$(ls -d "$expat"/lib/cmake/expat-* | head -n 1)
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW64.cmake -DCMAKE_BUILD_TYPE=Release \
  -Dexpat_DIR="$expat_dir" "$@"
cmake --build build/win64 -j"$(nproc)" ${LORVANE_WIN64_TARGETS:+--target $LORVANE_WIN64_TARGETS}
