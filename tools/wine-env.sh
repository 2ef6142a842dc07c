# Sourced by the Windows build and test scripts and by tools/wine-run.sh: the
# Wine environment the Windows programs run in. A throwaway 64-bit prefix in
# the build folder (never the user's ~/.wine), no debug output, no Mono or
# Gecko installer prompts. The ANSI code page follows the locale variables
# (LC_ALL=zh_TW.UTF-8 gives 950, en_US.UTF-8 gives 1252).
LORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${LORVANE_WINEPREFIX:-$LORVANE_ROOT/build/win64/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# The font substitutes that let a Win32 dialog show Traditional Chinese under
# Wine: the Chinese faces Windows has (and "MS Shell Dlg") mapped to Debian's
# AR PL UMing TW (fonts-arphic-uming). Without them the texts are empty boxes.
lorvane_wine_fonts() {
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    for name in 新細明體 細明體 PMingLiU MingLiU "MS Shell Dlg"; do printf '"%s"="AR PL UMing TW"\r\n' "$name"; done
  } | lorvane_wine_import
}

# Text as regedit reads and reg export writes it: UTF-16 with a byte order mark.
lorvane_utf16() { iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; }; }

# Imports the registry text (UTF-8, CRLF lines) on standard input.
lorvane_wine_import() {
  local reg
  reg=$(mktemp --suffix=.reg)
  lorvane_utf16 > "$reg"
  wine regedit /S "$(winepath -w "$reg")"
  rm -f "$reg"
}

# A path in Windows form, its backslashes doubled as a .reg file writes them.
lorvane_reg_path() { winepath -w "$1" | sed 's/\\/\\\\/g'; }

# The dialog's settings key, and the demo pair copied into DIR/航點 and
# remembered there as the dialog's two files (no prefix yet).
LORVANE_DIALOG_KEY='HKEY_CURRENT_USER\Software\Tobrin\Ellaste\Lorvane\Dialog'
lorvane_wine_demo_settings() {
  local dir=$1/航點
  mkdir -p "$dir"
  cp "$LORVANE_ROOT/samples/demo.wtr" "$LORVANE_ROOT/samples/demo.gtm" "$dir/"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[-%s]\r\n\r\n[%s]\r\n' "$LORVANE_DIALOG_KEY" "$LORVANE_DIALOG_KEY"
    printf '"WTRFile"="%s"\r\n"GTMFile"="%s"\r\n' "$(lorvane_reg_path "$dir/demo.wtr")" "$(lorvane_reg_path "$dir/demo.gtm")"
  } | lorvane_wine_import
}

# Wine names the files it makes in the character set of the locale (LC_ALL):
# without the locale installed that is ASCII, and no folder named 航點 can be
# made. The locales the suite runs under are generated into the build folder
# (localedef, from the locales package); LOCPATH points there.
export LOCPATH="${LORVANE_LOCPATH:-$LORVANE_ROOT/build/win64/locale}"
lorvane_wine_locales() {
  local locale
  mkdir -p "$LOCPATH"
  for locale in zh_TW en_US; do
    [ -f "$LOCPATH/$locale.UTF-8/LC_CTYPE" ] || localedef -i "$locale" -f UTF-8 "$LOCPATH/$locale.UTF-8" >/dev/null
  done
}

# Makes the prefix once; later calls find it ready. Parallel callers wait for
# the first (wineboot -i takes several seconds). The prefix gets the font
# substitutes and no display driver (Graphics=null), so that the dialog test
# runs without an X server; tests/app/win32/screenshot.sh switches to x11
# for its pictures and back.
lorvane_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    lorvane_wine_locales
    if [ ! -f "$WINEPREFIX/.lorvane-ready" ]; then
      rm -rf "$WINEPREFIX"
      {
        wineboot -i
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f
        lorvane_wine_fonts
        wineserver -w
      } </dev/null >/dev/null 2>&1
      touch "$WINEPREFIX/.lorvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# A fresh prefix and a wineserver that stays up until lorvane_wine_stop: with
# a running server a test program starts in well under a tenth of a second
# instead of two or three. The prefix's services are started here, with no
# output: started by a test they would inherit its output pipes and hold them
# open for as long as the server runs, and ctest would wait for them.
lorvane_wine_start() {
  lorvane_wine_stop
  rm -rf "$WINEPREFIX"
  lorvane_wine_prefix
  wineserver -p </dev/null >/dev/null 2>&1
  wine wineboot </dev/null >/dev/null 2>&1
}

lorvane_wine_stop() {
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
}
