#!/usr/bin/env bash
# Runs the real tracker under Wine for ten minutes while its windows, pickers and languages
# are opened and closed fifty times each through the tray menu, the mouse and the keyboard,
# and prints its GDI objects, USER objects and handles after the first round and at the end
# (see tests/e2e/hourlark_resources.cpp). Builds the win64 twin first.
# Usage: scripts/resources.sh [minutes, default 10] [rounds, default 50].
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. "$root/scripts/wine-env.sh"
hl_long_run_start "$root" hourlark_resources "${HL_LONG_RUN_PREFIX:-$root/build/win64/wineprefix-long}"
mkdir -p build/win64/resources
"$WINE64" build/win64/tests/e2e/hourlark_resources.exe build/win64/app/Hourlark.exe build/win64/app/qatask.dll \
  build/win64/resources "${1:-10}" "${2:-50}"
