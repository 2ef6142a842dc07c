#!/usr/bin/env bash
# Takes a screenshot of lorvane.exe under Wine and Xvfb, with its demo pair
# listed and corrected, for a person to look at:
#   tests/app/win32/screenshot.sh LORVANE_EXE DRIVER_EXE OUT.png [--no-substitutes]
# writes OUT.png (as started), OUT-question.png and OUT-saved.png.
# With --no-substitutes the Chinese font names are not mapped to Debian's
# AR PL UMing TW, as on a Windows without the Traditional Chinese fonts: the
# template's character set then has to find the face.
# WINEPREFIX must name a prepared prefix (tests/app/win32/wine-dialog-test.sh).
set -euo pipefail
exe=$1 driver=$2 out=$3 substitutes=${4:-}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

fonts='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
if [ "$substitutes" = --no-substitutes ]; then
  for name in 新細明體 細明體 PMingLiU MingLiU "MS Shell Dlg"; do wine reg delete "$fonts" /v "$name" /f >/dev/null 2>&1 || true; done
else
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "$fonts"
    for name in 新細明體 細明體 PMingLiU MingLiU "MS Shell Dlg"; do printf '"%s"="AR PL UMing TW"\r\n' "$name"; done
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$work/fonts.reg"
  wine regedit /S "$(winepath -w "$work/fonts.reg")"
fi
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d x11 /f >/dev/null
wineserver -k 2>/dev/null || true

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp &
sleep 1
export DISPLAY=$display
# The desktop window draws the caption bar where no window manager runs.
wine explorer /desktop=lorvane,640x480 "$exe" &
sleep 4
# As started, then with the prefix question open, then after the save.
import -window root -crop 640x480+0+0 "$out"
wine explorer /desktop=lorvane "$driver" --slow > /dev/null &
sleep 1.5
import -window root -crop 640x480+0+0 "${out%.png}-question.png"
sleep 2.5
import -window root -crop 640x480+0+0 "${out%.png}-saved.png"
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null
