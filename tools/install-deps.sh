#!/usr/bin/env bash
# Installs the Debian packages Lorvane needs to build, test and run.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libicu-dev libexpat1-dev dpkg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev fonts-arphic-uming
  clang libclang-rt-dev
  g++-mingw-w64-x86-64-posix wine wine64 googletest
  nsis zip unzip lintian
  # The web build: Emscripten, and Node to run its tests; for the page's
  # tests Chromium and npm (below), which installs playwright-core.
  emscripten nodejs chromium
  # The Windows suite under Wine: locales for its file names (zh_TW, en_US);
  # Xvfb and ImageMagick for the dialog's screenshots.
  locales xvfb imagemagick
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
# npm comes with Node.js where Node is not Debian's own (its package then
# conflicts with Debian's npm): only a machine without the command needs it.
command -v npm >/dev/null 2>&1 || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
