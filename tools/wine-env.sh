# Sourced by the Windows build and test scripts and by tools/wine-run.sh: the
# Wine environment the Windows programs run in. A throwaway 64-bit prefix in
# the build folder (never the user's ~/.wine), no debug output, no Mono or
# Gecko installer prompts. The ANSI code page follows the locale variables
# (LC_ALL=zh_TW.UTF-8 gives 950, en_US.UTF-8 gives 1252); no locale needs to
# be generated for that.
LORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${LORVANE_WINEPREFIX:-$LORVANE_ROOT/build/win64/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Makes the prefix once; later calls find it ready. Parallel callers wait for
# the first (wineboot -i takes several seconds).
lorvane_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.lorvane-ready" ]; then
      rm -rf "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.lorvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# A fresh prefix and a wineserver that stays up until lorvane_wine_stop: with
# a running server a test program starts in well under a tenth of a second
# instead of two or three.
lorvane_wine_start() {
  lorvane_wine_stop
  rm -rf "$WINEPREFIX"
  lorvane_wine_prefix
  wineserver -p
}

lorvane_wine_stop() {
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
}
