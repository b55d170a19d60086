#!/usr/bin/env bash
# Builds the tracker (64-bit twin, runnable here) and starts it under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Hourlark
. "$root/scripts/wine-env.sh"
if [ -n "${DISPLAY:-}" ]; then HL_KEEP_DISPLAY=1; fi
hl_wine_start "$root/build/win64"
trap hl_wine_stop EXIT
# The base language file is collected from the tracker's own forms (needs Wine, so here).
cmake --build --preset win64 --target native_lng || echo "run: native.lng was not collected"
"$WINE64" "$root/build/win64/app/Hourlark.exe"
