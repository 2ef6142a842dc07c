#!/usr/bin/env bash
# lorvane-cli.exe repairs the demo pair, its paths in a folder named 登山資料
# given in Windows form, to the bytes the Linux build writes:
#   win32-repair-test.sh SAMPLES_DIR WINE_RUN LORVANE_CLI_EXE
set -euo pipefail
samples=$1 wine_run=$2 cli=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/登山資料"
cp "$samples/demo.wtr" "$samples/demo.gtm" "$work/登山資料/"
windows() { "$wine_run" winepath.exe -w "$work/登山資料/$1" | tr -d '\r'; }
"$wine_run" "$cli" repair --prefix "$(windows demo.wtr)" "$(windows demo.gtm)"
cmp "$work/登山資料/demo.gtm" "$samples/demo.repaired.gtm"
