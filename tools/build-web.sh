#!/usr/bin/env bash
# Builds the web build into build/web/ with Debian's Emscripten: the core and
# the dialog's logic compiled to WebAssembly, the page where app/web/ has one,
# and the core's test programs, which CTest runs under Node (as the Windows
# ones run under Wine). Arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
# Emscripten's Node scripts need Debian's acorn, which Node finds only here.
export NODE_PATH=/usr/share/nodejs
toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
# expat, built static from Debian's source package (once; kept in build/).
expat=$(tools/build-expat.sh "$toolchain" build/expat-web)
expat_dir=$(ls -d "$expat"/lib/cmake/expat-* | head -n 1)
# emcmake would run the tests with Node's --experimental-wasm-threads, which
# Node 20 refuses; it keeps an emulator given here.
emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/node \
  -Dexpat_DIR="$expat_dir" "$@"
cmake --build build/web -j"$(nproc)"
