#!/usr/bin/env bash
# Cross-builds the Windows programs into build/win64/: lorvane-cli.exe, the
# dialog lorvane.exe (when the Win32 front end is present) and the Windows
# test programs, each a single statically linked .exe.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW64.cmake -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build build/win64 -j"$(nproc)"
