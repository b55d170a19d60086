#!/usr/bin/env bash
# The window tests of screen scaling (ScreenScaling.*) at 96, 120 and 144 pixels per inch: each
# resolution in a Wine prefix of its own (its LogPixels value set, its own wineserver), on the
# X display of the run. The pictures the tests take land beside the test programs as
# dpi<N>-<setting>-<window>.png. At the end, the table of windows by setting (resolution,
# direction, language) with the count of those that passed, from the tests' "text-fit" lines.
#
# Usage: screen_scaling.sh <build folder> <test program>...
set -uo pipefail
build=$1
shift
wine64=${WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
. "$(dirname "$0")/../scripts/wine-env.sh"
status=0
for dpi in 96 120 144; do
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
    "$wine64" "$program" --gtest_filter='*ScreenScaling*' </dev/null >"$build/screen-scaling-$dpi-$(basename "$program" .exe).log" 2>&1
    result=$?
    cat "$build/screen-scaling-$dpi-$(basename "$program" .exe).log"
    [ $result -eq 0 ] || status=1
  done
  wineserver -k
  wineserver -w
done
# The table: a row per window, a column per resolution and setting, "+" where the window
# passed, "x" where it did not, "." where it was not looked at; the passes counted below.
cat "$build"/screen-scaling-{96,120,144}-*.log 2>/dev/null | tr -d '\r' | awk '
  $1 == "text-fit" && NF == 5 {
    col = $2 "-" $3; if (!(col in seen)) { seen[col] = 1; cols[++nc] = col }
    if (!($4 in known)) { known[$4] = 1; rows[++nr] = $4 }
    if (!((col, $4) in mark) || $5 == "fail") mark[col, $4] = ($5 == "pass") ? "+" : "x"
  }
  END {
    if (nr == 0) exit
    printf "%-22s", "window"; for (c = 1; c <= nc; c++) printf " %s", cols[c]; printf "\n"
    for (r = 1; r <= nr; r++) {
      printf "%-22s", rows[r]
      for (c = 1; c <= nc; c++) { m = ((cols[c], rows[r]) in mark) ? mark[cols[c], rows[r]] : "."
        if (m == "+") pass[c]++; if (m != ".") seen2[c]++; printf " %*s", length(cols[c]), m }
      printf "\n"
    }
    printf "%-22s", "passed"
    for (c = 1; c <= nc; c++) printf " %*s", length(cols[c]), (pass[c] + 0) "/" (seen2[c] + 0); printf "\n"
  }'
exit $status
