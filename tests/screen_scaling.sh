#!/usr/bin/env bash
# The window tests of screen scaling (ScreenScaling.*) at 120 and 144 pixels per inch: each
# resolution in a Wine prefix of its own (its LogPixels value set, its own wineserver), on the
# X display of the run. The pictures the tests take land beside the test programs as
# dpi<N>-<window>.png.
#
# Usage: screen_scaling.sh <build folder> <test program>...
set -uo pipefail
build=$1
shift
wine64=${WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
. "$(dirname "$0")/../scripts/wine-env.sh"
status=0
for dpi in 120 144; do
  export WINEPREFIX=$build/wineprefix-dpi$dpi
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" HL_EXPECT_DPI=$dpi
  mkdir -p "$WINEPREFIX"
  wineserver -p
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine64" wineboot -i </dev/null >/dev/null 2>&1 || true
  fi
  hl_wine_fonts
  "$wine64" cmd /c exit </dev/null >/dev/null 2>&1 || true
  "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  "$wine64" reg add "$aedebug" /v Debugger /d '' /f </dev/null >/dev/null 2>&1
  "$wine64" reg add "$aedebug" /v Auto /d 1 /f </dev/null >/dev/null 2>&1
  "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f </dev/null >/dev/null 2>&1
  # The resolution is read when the session starts.
  wineserver -k
  wineserver -w
  wineserver -p
  "$wine64" cmd /c exit </dev/null >/dev/null 2>&1 || true
  for program in "$@"; do
    echo "=== $(basename "$program") at $dpi pixels per inch"
    "$wine64" "$program" --gtest_filter='ScreenScaling*' </dev/null >"$build/screen-scaling-$dpi-$(basename "$program" .exe).log" 2>&1
    result=$?
    cat "$build/screen-scaling-$dpi-$(basename "$program" .exe).log"
    [ $result -eq 0 ] || status=1
  done
  wineserver -k
  wineserver -w
done
exit $status
