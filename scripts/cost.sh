#!/usr/bin/env bash
# Measures the tracker's CPU time at rest under Wine against an idle notepad in the same run
# (window shown, window hidden, tracking) and prints the figures. Builds the win64 twin
# first. Usage: scripts/cost.sh [seconds per measurement, default 60].
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh" || exit 1
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target hourlark_cost >/dev/null || exit 1
. "$root/scripts/wine-env.sh"
hl_wine_start "$root/build/win64"
trap hl_wine_stop EXIT
"$WINE64" build/win64/tests/e2e/hourlark_cost.exe build/win64/app/Hourlark.exe build/win64/app/qatask.dll "${1:-60}"
