#!/usr/bin/env bash
# Builds expat as a static library for a cross build (Windows with MinGW-w64,
# the web with Emscripten), from Debian's source package (Debian ships no MinGW
# or Emscripten expat), and installs it with its CMake package so that
# find_package(expat CONFIG) finds it.
#
#   tools/build-expat.sh TOOLCHAIN_FILE WORK_FOLDER
#
# WORK_FOLDER (build/expat-mingw, build/expat-web) receives the private apt
# state, the extracted source (kept, so the download happens once) and the
# build; the library is installed in WORK_FOLDER/install, the folder this
# script prints last. The system's apt sources are not touched: a private list of deb-src
# entries is used, with the updates of bookworm-security, so the source comes
# with Debian's security patches applied (dpkg-source applies them).
set -euo pipefail

if [ $# -lt 2 ]; then
  sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
toolchain=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$2
mkdir -p "$work"
work=$(cd "$work" && pwd)
install=$work/install

if [ -f "$install/.built" ]; then
  echo "$install"
  exit 0
fi

# The source: Debian's package, fetched and unpacked with apt's own tools.
if ! ls -d "$work"/source/expat-*/CMakeLists.txt > /dev/null 2>&1 &&
   ! ls "$work"/source/expat-*/expat/CMakeLists.txt > /dev/null 2>&1; then
  command -v dpkg-source > /dev/null || { echo "build-expat.sh: dpkg-dev is needed" >&2; exit 1; }
  apt=$work/apt
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$work/source"
  cat > "$apt/src.sources" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  options=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt"
           -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache")
  apt-get "${options[@]}" update > "$work/apt.log" 2>&1 ||
    { echo "build-expat.sh: apt-get update failed; see $work/apt.log" >&2; exit 1; }
  # The newest version first; where a mirror lacks its files, the next one.
  fetched=
  for version in $(apt-cache "${options[@]}" showsrc expat | sed -n 's/^Version: //p' | sort -V -r -u); do
    if (cd "$work/source" && apt-get "${options[@]}" source "expat=$version" >> "$work/apt.log" 2>&1); then
      fetched=$version
      break
    fi
  done
  [ -n "$fetched" ] || { echo "build-expat.sh: apt-get source expat failed; see $work/apt.log" >&2; exit 1; }
  echo "build-expat.sh: expat $fetched from Debian's source package" >&2
fi

# The package's tree holds expat's CMake project at its top or in expat/.
source_dir=$(dirname "$(ls -d "$work"/source/expat-*/CMakeLists.txt "$work"/source/expat-*/expat/CMakeLists.txt 2>/dev/null | head -n 1)")
cmake -S "$source_dir" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$install" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
  -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF > "$work/cmake.log" 2>&1 ||
  { echo "build-expat.sh: configuring expat failed; see $work/cmake.log" >&2; exit 1; }
# Debian builds expat with its autotools, whose configuration header defines
# the feature macros as 1; Debian's backported patches test "XML_DTD == 1",
# which the CMake header's empty definitions do not satisfy.
sed -i -E 's/^#define (XML_DTD|XML_NS)$/#define \1 1/' "$work/build/expat_config.h"
cmake --build "$work/build" -j2 > "$work/build.log" 2>&1 &&
  cmake --install "$work/build" >> "$work/build.log" 2>&1 ||
  { echo "build-expat.sh: building expat failed; see $work/build.log" >&2; exit 1; }
touch "$install/.built"
echo "$install"
