#!/usr/bin/env bash
# Tests the packages tools/package.sh wrote into dist/ (or DIST):
#   test-packages.sh dist     [DIST]  the checksums and the zip's file list
#   test-packages.sh windows  [DIST]  the setup under Wine: silent install, a
#                                     repair with the installed lorvane-cli.exe,
#                                     silent uninstall that keeps the settings
#   test-packages.sh deb      [DIST]  apt-get install, a repair, the dialog on
#                                     the offscreen platform, apt-get remove
#                                     (root only: exits 77, skipped, otherwise)
#   test-packages.sh lintian  [DIST]  lintian on the .deb: no error or warning
#                                     beyond the package's own overrides
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
case_name=$1
dist=$(cd "${2:-$root/dist}" && pwd)
version=$(sed -n 's/^project(Lorvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
samples=$root/samples
work=$(mktemp -d "${TMPDIR:-/tmp}/lorvane-packages.XXXXXX")
cleanup() { rm -rf "$work"; }
trap 'cleanup' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# The files of the Windows programs, in the zip under one folder and in the
# install folder (which also holds uninstall.exe).
windows_files=(README.txt lorvane-cli.exe lorvane.exe samples/demo.gpx samples/demo.gtm samples/demo.wtr)

listed() { printf '%s\n' "$@" | LC_ALL=C sort; }

test_dist() {
  (cd "$dist" && sha256sum --strict -c SHA256SUMS) || fail "checksums"
  listed "Lorvane-$version-setup.exe" "lorvane-$version-win64.zip" "lorvane_${version}_amd64.deb" "lorvane-$version.html" \
    > "$work/expected"
  awk '{print $2}' "$dist/SHA256SUMS" | LC_ALL=C sort | diff "$work/expected" - || fail "SHA256SUMS lists other files"
  grep -q "connect-src 'none'" "$dist/lorvane-$version.html" || fail "the page lacks its Content-Security-Policy"

  local folder=lorvane-$version-win64
  { echo "$folder/"; echo "$folder/samples/"; printf "$folder/%s\n" "${windows_files[@]}"; } |
    LC_ALL=C sort > "$work/expected"
  zipinfo -1 "$dist/lorvane-$version-win64.zip" | LC_ALL=C sort | diff "$work/expected" - ||
    fail "the zip holds other files than the listed ones"
  unzip -q "$dist/lorvane-$version-win64.zip" -d "$work"
  for name in demo.wtr demo.gtm demo.gpx; do
    cmp "$work/$folder/samples/$name" "$samples/$name" || fail "samples/$name in the zip"
  done
  head -c 3 "$work/$folder/README.txt" | cmp - <(printf '\xef\xbb\xbf') || fail "README.txt is not marked UTF-8"
  grep -q "Lorvane $version" "$work/$folder/README.txt" || fail "README.txt does not name the version"
  echo "checksums and the zip's $(zipinfo -1 "$dist/lorvane-$version-win64.zip" | wc -l) entries as listed"
}

test_windows() {
  local setup=$dist/Lorvane-$version-setup.exe
  # Installs without administrator rights: the setup asks Windows for none.
  grep -aq 'level="asInvoker"' "$setup" || fail "the setup's manifest does not run it as the invoking user"

  # A prefix of its own, thrown away afterwards; no menu entries on this
  # machine for the shortcuts the setup makes (winemenubuilder off).
  export LORVANE_WINEPREFIX=$work/prefix
  source "$root/tools/wine-env.sh"
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  lorvane_wine_start
  trap 'lorvane_wine_stop; cleanup' EXIT

  wine "$setup" /S || fail "the silent setup exited with $?"
  local local_app_data app_data dir
  local_app_data=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")
  app_data=$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')")
  dir=$local_app_data/Programs/Lorvane
  [ -d "$dir" ] || fail "nothing installed in $dir"
  listed "${windows_files[@]}" uninstall.exe > "$work/expected"
  (cd "$dir" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) | diff "$work/expected" - ||
    fail "the install folder holds other files than the listed ones"
  unzip -q "$dist/lorvane-$version-win64.zip" -d "$work/zip"
  for name in "${windows_files[@]}"; do
    cmp "$dir/$name" "$work/zip/lorvane-$version-win64/$name" || fail "$name differs from the zip's"
  done
  local shortcut="$app_data/Microsoft/Windows/Start Menu/Programs/Lorvane.lnk"
  [ -f "$shortcut" ] || fail "no Start-menu shortcut"

  local uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lorvane'
  value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z]* *//p"; }
  [ "$(value "$uninstall" DisplayName)" = Lorvane ] || fail "no uninstall entry"
  [ "$(value "$uninstall" DisplayVersion)" = "$version" ] || fail "the uninstall entry's version"
  local quiet
  quiet=$(value "$uninstall" QuietUninstallString)
  [ "$quiet" = "\"$(winepath -w "$dir/uninstall.exe")\" /S" ] || fail "QuietUninstallString is $quiet"

  [ "$(wine "$dir/lorvane-cli.exe" --version | tr -d '\r')" = "lorvane-cli $version" ] ||
    fail "lorvane-cli.exe --version"
  mkdir "$work/repair"
  cp "$samples/demo.wtr" "$samples/demo.gtm" "$work/repair/"
  wine "$dir/lorvane-cli.exe" repair --prefix "$(winepath -w "$work/repair/demo.wtr")" \
    "$(winepath -w "$work/repair/demo.gtm")" > /dev/null 2>&1 || fail "the installed lorvane-cli.exe repair exited with $?"
  cmp "$work/repair/demo.gtm" "$samples/demo.repaired.gtm" || fail "the repaired file differs"

  # The user's settings, as the dialog keeps them; the uninstaller leaves them.
  local settings='HKCU\Software\Tobrin\Ellaste\Lorvane\Dialog'
  wine reg add "$settings" /v Prefix /t REG_SZ /d '**' /f > /dev/null
  # The uninstaller copies itself to the temporary folder and runs from there,
  # so the command returns at once: wait for it to finish its work.
  wine "$dir/uninstall.exe" /S || fail "the silent uninstaller exited with $?"
  for _ in $(seq 120); do
    [ -e "$dir" ] || [ -e "$shortcut" ] || break
    sleep 0.5
  done
  [ ! -e "$dir" ] || { find "$dir"; fail "the install folder is still there"; }
  [ ! -e "$shortcut" ] || fail "the shortcut is still there"
  for _ in $(seq 20); do value "$uninstall" DisplayName | grep -q . || break; sleep 0.5; done
  ! wine reg query "$uninstall" > /dev/null 2>&1 || fail "the uninstall entry is still there"
  [ "$(value "$settings" Prefix)" = '**' ] || fail "the settings went with the uninstall"
  echo "installed ${#windows_files[@]} files and uninstall.exe, repaired the demo pair, uninstalled; settings kept"
}

test_deb() {
  [ "$(id -u)" -eq 0 ] || { echo "not root: apt-get install skipped"; exit 77; }
  local deb=$dist/lorvane_${version}_amd64.deb
  if dpkg-query -W -f='${Status}' lorvane 2>/dev/null | grep -q 'install ok installed'; then
    echo "note: lorvane was installed before the test; it is removed at the end"
  fi
  local apt=(apt-get -q -y -o DPkg::Lock::Timeout=600)
  DEBIAN_FRONTEND=noninteractive "${apt[@]}" install "$deb" > "$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get install"; }
  trap 'DEBIAN_FRONTEND=noninteractive "${apt[@]}" remove lorvane > /dev/null 2>&1 || true; cleanup' EXIT
  [ "$(dpkg-query -W -f='${Version}' lorvane)" = "$version" ] || fail "the installed version"
  for file in /usr/bin/lorvane /usr/bin/lorvane-cli /usr/share/applications/lorvane.desktop \
              /usr/share/icons/hicolor/48x48/apps/lorvane.png /usr/share/man/man1/lorvane-cli.1.gz; do
    [ -f "$file" ] || fail "$file not installed"
  done
  [ "$(/usr/bin/lorvane-cli --version)" = "lorvane-cli $version" ] || fail "lorvane-cli --version"
  cp "$samples/demo.wtr" "$samples/demo.gtm" "$work/"
  /usr/bin/lorvane-cli repair --prefix "$work/demo.wtr" "$work/demo.gtm" > /dev/null 2>&1 ||
    fail "the installed lorvane-cli repair exited with $?"
  cmp "$work/demo.gtm" "$samples/demo.repaired.gtm" || fail "the repaired file differs"

  # The dialog, with settings of its own; it must still be running after 3 s.
  HOME=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen /usr/bin/lorvane > "$work/dialog.log" 2>&1 &
  local dialog=$!
  sleep 3
  kill -0 $dialog 2>/dev/null || { cat "$work/dialog.log"; fail "the dialog did not stay up"; }
  kill $dialog; wait $dialog 2>/dev/null || true

  DEBIAN_FRONTEND=noninteractive "${apt[@]}" remove lorvane > "$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get remove"; }
  trap 'cleanup' EXIT
  ! dpkg-query -W -f='${Status}' lorvane 2>/dev/null | grep -q 'install ok installed' || fail "still installed"
  [ ! -e /usr/bin/lorvane ] && [ ! -e /usr/bin/lorvane-cli ] || fail "the programs are still there"
  echo "installed with apt-get, repaired the demo pair, the dialog ran, removed"
}

test_lintian() {
  local deb=$dist/lorvane_${version}_amd64.deb
  # Every tag shown, overridden ones too; only errors and warnings fail.
  lintian --info --display-info --show-overrides --fail-on error,warning "$deb" || fail "lintian"
  echo "lintian: no error or warning"
}

case $case_name in
  dist) test_dist ;;
  windows) test_windows ;;
  deb) test_deb ;;
  lintian) test_lintian ;;
  *) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
esac
