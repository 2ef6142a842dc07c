#!/usr/bin/env bash
# Builds Lorvane and starts the dialog.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j"$(nproc)" --target lorvane
exec build/release/app/lorvane
