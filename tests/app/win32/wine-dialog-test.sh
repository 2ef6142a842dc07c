#!/usr/bin/env bash
# The Windows dialog end to end under Wine, without a display:
#   wine-dialog-test.sh LORVANE_EXE DRIVER_EXE SAMPLES_DIR
# The demo pair is copied into a folder named 航點 and remembered in the
# registry; lorvane.exe starts and lists both; the driver checks the marks and
# linked selections of a dropped pair, drops the demo pair back, clicks Correct
# and Save and answers Yes; then the saved file must be byte for byte the one
# the Linux dialog saves, and the registry must hold the three values.
# Runs in the test prefix of tools/wine-env.sh (LORVANE_WINEPREFIX, or the one
# in the build folder), which has no display driver (Graphics=null).
set -euo pipefail
exe=$1 driver=$2 samples=$3
source "$(dirname "$0")/../../../tools/wine-env.sh"
lorvane_wine_prefix
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
lorvane_wine_demo_settings "$work"

wine "$exe" & app=$!
status=0
timeout 60 wine "$driver" > "$work/lines.txt" || status=$?
timeout 30 tail --pid=$app -f /dev/null || { kill $app; echo "lorvane.exe did not end"; exit 1; }
tr -d '\r' < "$work/lines.txt"
[ $status -eq 0 ] || { echo "the driver failed ($status)"; exit 1; }
cmp "$work/航點/demo.gtm" "$samples/demo.repaired.gtm"

# The export is UTF-16 with CRLF line ends; values in the order Wine keeps them.
wine reg export "$LORVANE_DIALOG_KEY" "$(winepath -w "$work/export.reg")" /y >/dev/null
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "$LORVANE_DIALOG_KEY"
  printf '"GTMFile"="%s"\r\n"Prefix"="←"\r\n"WTRFile"="%s"\r\n\r\n' \
    "$(lorvane_reg_path "$work/航點/demo.gtm")" "$(lorvane_reg_path "$work/航點/demo.wtr")"
} | lorvane_utf16 > "$work/expected.reg"
cmp "$work/export.reg" "$work/expected.reg" || { iconv -f UTF-16LE -t UTF-8 "$work/export.reg"; exit 1; }
echo "saved bytes and registry values as expected"
