#!/usr/bin/env bash
# Takes screenshots of lorvane.exe under Wine and Xvfb, with the demo pair
# listed and corrected, for a person to look at:
#   [DPI=144] tests/app/win32/screenshot.sh LORVANE_EXE DRIVER_EXE OUT.png [--no-substitutes]
# writes OUT.png (as started), OUT-marked.png (a correction with marked rows,
# the uncertain one selected), OUT-question.png (the prefix question open) and
# OUT-saved.png, at the screen scale DPI (96 by default). With --no-substitutes the Chinese font names are not mapped to
# Debian's AR PL UMing TW, as on a Windows without the Traditional Chinese
# fonts: the dialog then has to find a Chinese face itself.
# Runs in WINEPREFIX (made as the test suite makes its prefix when missing;
# not the suite's own while the suite runs), with the code page of LC_ALL.
set -euo pipefail
exe=$1 driver=$2 out=$3 substitutes=${4:-}
LORVANE_WINEPREFIX=${WINEPREFIX:?a prefix of its own} source "$(dirname "$0")/../../../tools/wine-env.sh"
lorvane_wine_prefix
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

fonts='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
if [ "$substitutes" = --no-substitutes ]; then
  for name in 新細明體 細明體 PMingLiU MingLiU "MS Shell Dlg"; do wine reg delete "$fonts" /v "$name" /f >/dev/null 2>&1 || true; done
else
  lorvane_wine_fonts
fi
# The demo pair in a folder named 航點, remembered as the dialog's files.
lorvane_wine_demo_settings "$work"
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d x11 /f >/dev/null
dpi=${DPI:-96}
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
wineserver -k 2>/dev/null || true

# The desktop grows with the scale.
size=$((640 * dpi / 96))x$((480 * dpi / 96))
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp &
sleep 1
export DISPLAY=$display
# The desktop window draws the caption bar where no window manager runs.
wine explorer /desktop=lorvane,"$size" "$exe" &
sleep 6
# As started, after the correction of the driver's marked pair, with the
# prefix question open, then after the save.
import -window root -crop "$size+0+0" "$out"
wine explorer /desktop=lorvane "$driver" --slow > /dev/null &
sleep 1.5
import -window root -crop "$size+0+0" "${out%.png}-marked.png"
sleep 2.5
import -window root -crop "$size+0+0" "${out%.png}-question.png"
sleep 2.5
import -window root -crop "$size+0+0" "${out%.png}-saved.png"
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
