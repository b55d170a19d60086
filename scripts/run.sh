#!/usr/bin/env bash
# Builds the tracker (64-bit twin, runnable here), installs it into the user's folder and
# starts it from there under Wine.
#
# The folder (default ~/Hourlark, or $HOURLARK_HOME) holds the programs and the tracker's
# data files; installing replaces only the programs and native.lng, so the data files and
# any language files put there stay across runs and rebuilds. The settings (registry) live
# in a Wine prefix of their own (default ~/.hourlark-wine, or $HOURLARK_WINEPREFIX).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
home=${HOURLARK_HOME:-$HOME/Hourlark}
prefix=${HOURLARK_WINEPREFIX:-$HOME/.hourlark-wine}
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Hourlark hl2demo qatask lngcollect
. "$root/scripts/wine-env.sh"
if [ -n "${DISPLAY:-}" ]; then HL_KEEP_DISPLAY=1; fi
hl_wine_start "$root/build/win64" "$prefix"
trap hl_wine_stop EXIT
# Installing collects native.lng from the tracker's forms (under Wine, so here).
cmake --install "$root/build/win64" --prefix "$home"
echo "run: starting $home/Hourlark.exe"
"$WINE64" "$home/Hourlark.exe"
