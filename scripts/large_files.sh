#!/usr/bin/env bash
# Starts the real tracker under Wine with files far larger than it writes (a 200 MB work
# file, a task list of a million lines, a 50 MB group file, a 100 MB language file) and
# checks that it starts, does not crash and keeps its memory within three times each file's
# size (see tests/e2e/hourlark_large_files.cpp). Builds the win64 twin first.
# Usage: scripts/large_files.sh [percent of the full sizes, default 100].
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. "$root/scripts/wine-env.sh"
hl_long_run_start "$root" hourlark_large_files "${HL_LONG_RUN_PREFIX:-$root/build/win64/wineprefix-long}"
"$WINE64" build/win64/tests/e2e/hourlark_large_files.exe build/win64/app/Hourlark.exe build/win64/app/qatask.dll "${1:-100}"
