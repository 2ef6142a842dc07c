#!/usr/bin/env bash
# Builds the release packages into dist/:
#   Lorvane-<version>-setup.exe   Windows setup (NSIS), per-user, no administrator
#   lorvane-<version>-win64.zip   the same files, to run without installing
#   lorvane_<version>_amd64.deb   Debian package (CPack)
#   lorvane-<version>.html        the page: the whole program in one HTML file
#   SHA256SUMS                    their SHA-256 checksums (sha256sum -c SHA256SUMS)
# The version is the CMake project's, as lorvane-cli --version prints it.
# Builds only the packaged programs, in the trees tools/test.sh uses
# (build/release, build/win64, build/web), so after a test run little is left
# to build.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
jobs=$(nproc)

# Linux: the programs, the icons, man pages and changelog, then CPack.
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build/release -j"$jobs" --target lorvane lorvane-cli lorvane-package-files
version=$(build/release/cli/lorvane-cli --version | sed -n 's/^lorvane-cli //p')
[ -n "$version" ] || { echo "package.sh: no version from lorvane-cli --version" >&2; exit 1; }

# Windows: the two programs of the cross build.
LORVANE_WIN64_TARGETS="lorvane lorvane-cli" tools/build-windows.sh > /dev/null

# The page, built with Emscripten.
tools/build-web.sh > /dev/null

rm -rf dist build/dist
mkdir -p dist build/dist
(cd build/release && cpack -G DEB -B "$PWD/../dist/cpack" > ../dist/cpack.log 2>&1) ||
  { echo "package.sh: cpack failed; see build/dist/cpack.log" >&2; exit 1; }
cp "build/dist/cpack/lorvane_${version}_amd64.deb" dist/

# The Windows files, as the setup installs them and the zip holds them. Their
# times are the last commit's, so the zip's bytes follow from the sources.
stage=build/dist/lorvane-$version-win64
mkdir -p "$stage/samples"
x86_64-w64-mingw32-strip -o "$stage/lorvane.exe" build/win64/lorvane.exe
x86_64-w64-mingw32-strip -o "$stage/lorvane-cli.exe" build/win64/cli/lorvane-cli.exe
# The read-me as Notepad reads it best: UTF-8 with a byte-order mark, CRLF.
{ printf '\xef\xbb\xbf'; sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/windows/README.txt; } \
  > "$stage/README.txt"
cp samples/demo.wtr samples/demo.gtm samples/demo.gpx "$stage/samples/"
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
find "$stage" -exec touch -h -d "@$stamp" {} +

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$PWD/$stage" \
  -DICON="$PWD/app/win32/lorvane.ico" -DOUTFILE="$PWD/dist/Lorvane-$version-setup.exe" \
  packaging/windows/lorvane.nsi
(cd build/dist && rm -f lorvane.zip && TZ=UTC zip -q -X -r -9 lorvane.zip "lorvane-$version-win64")
mv build/dist/lorvane.zip "dist/lorvane-$version-win64.zip"

cp build/web/lorvane.html "dist/lorvane-$version.html"

(cd dist && sha256sum "Lorvane-$version-setup.exe" "lorvane-$version-win64.zip" \
  "lorvane_${version}_amd64.deb" "lorvane-$version.html" > SHA256SUMS)
ls -l dist
