#!/usr/bin/env bash
# The double-byte cases (DoubleByte*) once more under Wine with the Japanese code page 932, in
# a Wine prefix of its own made under that code page (its own wineserver), where the system's
# lead bytes are the ones the cases play (HL_EXPECT_CODE_PAGE_932). Then the base language
# file collected there must be byte for byte the one collected with code page 1252 in the
# run's own prefix.
#
# Usage: code_page_932.sh <build folder> <lngcollect> <test program>...
set -uo pipefail
build=$1
collector=$2
shift 2
wine64=${WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
out=$build/code-page-932
rm -rf "$out"
mkdir -p "$out/1252" "$out/932"
status=0

# Wine's name of a folder here.
windows_path() { echo "Z:${1//\//\\}"; }

collect() {
  local folder=$1
  "$wine64" "$collector" "$(windows_path "$folder")" </dev/null >"$folder/lngcollect.log" 2>&1
  if [ ! -f "$folder/native.lng" ]; then
    echo "lngcollect wrote no $folder/native.lng:"
    cat "$folder/lngcollect.log"
    status=1
  fi
}

# Code page 1252, in the prefix the other tests use.
WINEPREFIX=${WINEPREFIX:-$build/wineprefix} LC_ALL=en_US.UTF-8 collect "$out/1252"

# Code page 932: a prefix made under the Japanese locale keeps that locale's system metrics.
# It has a wineserver of its own; the run's display is kept.
export LC_ALL=ja_JP.UTF-8 HL_EXPECT_CODE_PAGE_932=1 HL_KEEP_DISPLAY=1
. "$(dirname "$0")/../scripts/wine-env.sh"
hl_wine_start "$build" "$build/wineprefix-cp932"
for program in "$@"; do
  echo "=== $(basename "$program") under code page 932"
  log=$out/$(basename "$program" .exe).log
  "$wine64" "$program" --gtest_filter='DoubleByte*' </dev/null >"$log" 2>&1
  result=$?
  cat "$log"
  [ $result -eq 0 ] || status=1
done
collect "$out/932"
hl_wine_stop
wineserver -w

if [ -f "$out/1252/native.lng" ] && [ -f "$out/932/native.lng" ]; then
  if cmp "$out/1252/native.lng" "$out/932/native.lng"; then
    echo "native.lng is the same under code pages 1252 and 932"
  else
    status=1
  fi
fi
exit $status
