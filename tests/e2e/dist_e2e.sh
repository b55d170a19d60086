#!/usr/bin/env bash
# Installs the build into a scratch folder and runs dist_e2e.exe against it in a Wine prefix
# made for the run, with its own wineserver, so the tracker meets nothing stored before.
#
#   dist_e2e.sh <build folder> <dist_e2e.exe>
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
driver=$2
work=$build/dist-e2e
rm -rf "$work"
mkdir -p "$work"
# The collector runs in the caller's Wine session while installing.
if ! cmake --install "$build" --prefix "$work/Hourlark" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  exit 1
fi
. "$root/scripts/wine-env.sh"
HL_KEEP_DISPLAY=1
hl_wine_start "$build" "$work/wineprefix"
trap hl_wine_stop EXIT
# The output goes to a file: Wine's background services would hold a pipe open.
"$WINE64" "$driver" "$work/Hourlark" "$work" >"$work/dist_e2e.log" 2>&1 </dev/null
status=$?
cat "$work/dist_e2e.log"

# Once more in a prefix whose screen has 144 pixels per inch (read when the session starts).
hl_wine_stop
hl_wine_start "$build" "$work/wineprefix-dpi144"
"$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1
wineserver -k
wineserver -w
wineserver -p
"$WINE64" "$driver" "$work/Hourlark" "$work" 144 >"$work/dist_e2e_dpi144.log" 2>&1 </dev/null || status=1
cat "$work/dist_e2e_dpi144.log"
exit $status
