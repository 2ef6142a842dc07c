#!/usr/bin/env bash
# The expat build for Windows under its former name: tools/build-expat.sh with
# the work folder build/expat-mingw.
#   tools/build-expat-mingw.sh TOOLCHAIN_FILE [WORK_FOLDER]
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$root/tools/build-expat.sh" "$1" "${2:-$root/build/expat-mingw}"
