#!/usr/bin/env bash
# Measures the tracker's CPU time at rest under Wine, with the shell (explorer.exe) and
# wineserver beside it, against an idle notepad measured the same way in the same run
# (window shown, window hidden, tracking) and prints the figures. Builds the win64 twin
# first. Usage: scripts/cost.sh [seconds per measurement, default 60] [still: the tray icon
# does not turn while tracking].
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. "$root/scripts/wine-env.sh"
hl_long_run_start "$root" hourlark_cost ${HL_COST_PREFIX:+"$HL_COST_PREFIX"}
"$WINE64" build/win64/tests/e2e/hourlark_cost.exe build/win64/app/Hourlark.exe build/win64/app/qatask.dll "${1:-60}" ${2:+"$2"}
