#!/usr/bin/env bash
# Builds all four presets and runs every test: host ctest (sanitizers), the portable cores'
# tests as 32-bit code under qemu-i386, then the win64 twin's ctest under Wine. Lays out and
# checks the deliverable folders (build/win64/dist, build/win32/dist) and packs the 32-bit
# one into build/win32/Hourlark-win32.zip with its SHA-256 checksum beside it. Fails when
# anything fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
start=$(date +%s)
"$root/scripts/setup.sh" || exit 1

status=0
step() { echo; echo "=== $*"; }

step "host: configure and build"
cmake --preset host >/dev/null && cmake --build --preset host || exit 1
step "win64: configure and build"
cmake --preset win64 >/dev/null && cmake --build --preset win64 || exit 1
step "win32: configure and build (deliverable)"
cmake --preset win32 >/dev/null && cmake --build --preset win32 || exit 1
step "host32: configure and build (the cores as 32-bit code)"
cmake --preset host32 >/dev/null && cmake --build --preset host32 || exit 1
step "host: tests"
ctest --preset host || status=1
step "host32: tests under qemu-i386"
ctest --preset host32 || status=1

step "fuzz: every target over its seed corpus"
"$root/scripts/fuzz.sh" 10000 || status=1

step "Wine session"
. "$root/scripts/wine-env.sh"
hl_wine_start "$root/build/win64"
trap hl_wine_stop EXIT

step "deliverable folders"
"$root/scripts/check-dist.sh" || status=1

step "win64: tests under Wine"
ctest --preset win64 || status=1

step "done in $(( $(date +%s) - start )) s: $([ $status -eq 0 ] && echo PASSED || echo FAILED)"
exit $status
