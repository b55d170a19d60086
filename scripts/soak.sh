#!/usr/bin/env bash
# Ends the real tracker by force at random moments while it saves, many times over, and
# checks its files after every end (see tests/e2e/hourlark_soak.cpp). Builds the win64 twin
# first. Usage: scripts/soak.sh [rounds, default 1000].
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
rounds=${1:-1000}
"$root/scripts/setup.sh" || exit 1
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target hourlark_soak >/dev/null || exit 1
. "$root/scripts/wine-env.sh"
hl_wine_start "$root/build/win64"
trap hl_wine_stop EXIT
start=$(date +%s)
"$WINE64" build/win64/tests/e2e/hourlark_soak.exe build/win64/app/Hourlark.exe build/win64/app/qatask.dll "$rounds"
status=$?
echo "soak: $rounds rounds in $(( $(date +%s) - start )) s"
exit $status
