#!/usr/bin/env bash
# The Windows dialog end to end under Wine, without a display:
#   wine-dialog-test.sh LORVANE_EXE DRIVER_EXE SAMPLES_DIR
# The demo pair is copied into a folder named 航點 and remembered in the
# registry; lorvane.exe starts and lists both, the driver clicks Correct and
# Save and answers Yes; then the saved file must be byte for byte the one the
# Linux dialog saves, and the registry must hold the three values.
# Runs in the test prefix (WINEPREFIX, or the one of tools/wine-env.sh) when
# that prefix has no display driver (Graphics=null under
# HKCU\Software\Wine\Drivers, set before its wineserver started: the desktop
# takes its driver at start), else in a prefix of its own.
set -euo pipefail
exe=$1 driver=$2 samples=$3
if [ -z "${WINEPREFIX:-}" ]; then
  source "$(dirname "$0")/../../../tools/wine-env.sh"
  lorvane_wine_prefix
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
work=$(mktemp -d)
drivers='HKCU\Software\Wine\Drivers'
if wine reg query "$drivers" /v Graphics 2>/dev/null | grep -q null; then
  trap 'rm -rf "$work"' EXIT
else
  export WINEPREFIX=$work/prefix
  trap 'wineserver -k; rm -rf "$work"' EXIT
  wineboot -i >/dev/null 2>&1
  wine reg add "$drivers" /v Graphics /t REG_SZ /d null /f >/dev/null
  wineserver -k
  wineserver -p 30
fi

mkdir "$work/航點"
cp "$samples/demo.wtr" "$samples/demo.gtm" "$work/航點/"
escaped() { winepath -w "$1" | sed 's/\\/\\\\/g'; }
key='HKEY_CURRENT_USER\Software\Tobrin\Ellaste\Lorvane\Dialog'
utf16() { iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; }; }
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[-%s]\r\n\r\n[%s]\r\n' "$key" "$key"
  printf '"WTRFile"="%s"\r\n"GTMFile"="%s"\r\n' "$(escaped "$work/航點/demo.wtr")" "$(escaped "$work/航點/demo.gtm")"
} | utf16 > "$work/settings.reg"
wine regedit /S "$(winepath -w "$work/settings.reg")"

wine "$exe" & app=$!
status=0
timeout 60 wine "$driver" > "$work/lines.txt" || status=$?
timeout 30 tail --pid=$app -f /dev/null || { kill $app; echo "lorvane.exe did not end"; exit 1; }
tr -d '\r' < "$work/lines.txt"
[ $status -eq 0 ] || { echo "the driver failed ($status)"; exit 1; }
cmp "$work/航點/demo.gtm" "$samples/demo.repaired.gtm"

# The export is UTF-16 with CRLF line ends; values in the order Wine keeps them.
wine reg export "$key" "$(winepath -w "$work/export.reg")" /y >/dev/null
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "$key"
  printf '"GTMFile"="%s"\r\n"Prefix"="←"\r\n"WTRFile"="%s"\r\n\r\n' \
    "$(escaped "$work/航點/demo.gtm")" "$(escaped "$work/航點/demo.wtr")"
} | utf16 > "$work/expected.reg"
cmp "$work/export.reg" "$work/expected.reg" || { iconv -f UTF-16LE -t UTF-8 "$work/export.reg"; exit 1; }
echo "saved bytes and registry values as expected"
