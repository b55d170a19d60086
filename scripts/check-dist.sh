#!/usr/bin/env bash
# Lays out the deliverable folders build/win64/dist and build/win32/dist (cmake --install),
# checks them and packs the 32-bit one into build/win32/Hourlark-win32.zip with its SHA-256
# checksum beside it. Run by scripts/test.sh once the three presets are built, inside its
# Wine session: installing the 64-bit folder runs the collector of native.lng under Wine,
# and the 32-bit folder takes that file.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
failed=0
fail() { echo "dist: $*"; failed=1; }

for preset in win64 win32; do
  rm -rf "build/$preset/dist"
  cmake --install "build/$preset" --prefix "$root/build/$preset/dist" || { echo "dist: installing $preset failed"; exit 1; }
done

# Each folder holds the three programs side by side (the tracker loads qatask.dll and starts
# hl2demo.exe from its own folder) and native.lng, and nothing else.
programs=(Hourlark.exe hl2demo.exe qatask.dll)
for preset in win64 win32; do
  dist=build/$preset/dist
  tool=x86_64-w64-mingw32-objdump format=pei-x86-64 bits=64
  if [ "$preset" = win32 ]; then tool=i686-w64-mingw32-objdump format=pei-i386 bits=32; fi
  for file in "${programs[@]}" native.lng; do
    [ -f "$dist/$file" ] || fail "$dist/$file is missing"
  done
  for file in "${programs[@]}"; do
    "$tool" -f "$dist/$file" 2>/dev/null | grep -q "file format $format" ||
      fail "$dist/$file is not a $bits-bit Windows program"
  done
  extra=$(ls -A "$dist" | grep -vxE 'Hourlark\.exe|hl2demo\.exe|qatask\.dll|native\.lng')
  [ -z "$extra" ] || fail "$dist holds more than the deliverable: $extra"

  # What Windows and Explorer read from the files themselves.
  for file in "${programs[@]}"; do
    path=$dist/$file
    # (grep -q reads the tools' output from variables: ending a pipe early fails it under pipefail)
    sections=$("$tool" -h "$path")
    grep -q '\.debug' <<<"$sections" && fail "$path carries debug sections"
    version=$(wrestool -x --raw -t16 "$path" 2>/dev/null | strings -el | tr '\n' '|')
    for field in 'FileVersion|2.02|' 'ProductVersion|2.02|' 'ProductName|Hourlark|' 'CompanyName|Quennix|' \
                 "OriginalFilename|$file|"; do
      case "$version" in *"$field"*) ;; *) fail "$path: the version information lacks ${field//|/ }" ;; esac
    done
  done
  for file in Hourlark.exe hl2demo.exe; do
    path=$dist/$file
    manifest=$(wrestool -x --raw -t24 -n1 "$path" 2>/dev/null)
    grep -q '<dpiAware>true</dpiAware>' <<<"$manifest" || fail "$path: no manifest declaring it aware of the screen's resolution"
    grep -q 'supportedOS' <<<"$manifest" || fail "$path: the manifest names no supported Windows version"
    grep -qi 'Common-Controls' <<<"$manifest" && fail "$path: the manifest asks for visual styles"
    first=$(wrestool -l -t14 "$path" 2>/dev/null | head -1)
    [[ "$first" == *"--name='MAINICON'"* ]] || fail "$path: MAINICON is not its first icon ($first)"
    sizes=$(wrestool -x -t14 -n MAINICON "$path" 2>/dev/null | icotool -l - 2>/dev/null | grep -o 'width=[0-9]*' | tr '\n' ' ')
    [ "$sizes" = "width=16 width=32 width=48 " ] || fail "$path: its icon has the sizes '$sizes', not 16, 32 and 48"
    if [ "$preset" = win32 ]; then
      headers=$("$tool" -p "$path")
      grep -qi 'large address aware' <<<"$headers" || fail "$path is not large-address-aware"
    fi
  done
done

# One base language file for both: the 32-bit collector cannot run here, so the 32-bit
# folder carries the file the 64-bit twin collected from the same sources.
cmp build/win64/dist/native.lng build/win32/dist/native.lng ||
  fail "the two folders' native.lng differ"
build/host/tests/dist/native_lng_check build/win32/dist/native.lng ||
  fail "build/win32/dist/native.lng is not the tracker's base language file"

# Installing again (a rebuild, scripts/run.sh) leaves the user's files in the folder alone.
keep=$root/build/win64/keep-check
rm -rf "$keep"
mkdir -p "$keep"
printf 'C:\\x.exe\tX\t1\r\n' >"$keep/hl20task.txt"
printf '[u\t2026_1_2]\r\ntotal=00:00:05\r\n' >"$keep/hl20work.txt"
printf 'Mine\r\n' >"$keep/hl20grp.txt"
printf 'not really a language\r\n' >"$keep/Mine.lng"
mkdir -p "$keep.orig" && cp -p "$keep"/* "$keep.orig"/
for round in 1 2; do
  cmake --install build/win64 --prefix "$keep" >/dev/null || fail "installing over a user's folder failed"
done
for file in hl20task.txt hl20work.txt hl20grp.txt Mine.lng; do
  cmp -s "$keep/$file" "$keep.orig/$file" || fail "installing changed the user's $file"
done
[ -f "$keep/Hourlark.exe" ] && [ -f "$keep/native.lng" ] || fail "installing over a user's folder left out programs"
rm -rf "$keep" "$keep.orig"

# The archive a user copies to a Windows machine, and its checksum. Its files stand in one
# folder, so unpacking it spills nothing into the current one.
zip=build/win32/Hourlark-win32.zip
inner=Hourlark-2.02
rm -f "$zip" "$zip.sha256"
staging=build/win32/zip-staging
rm -rf "$staging" && mkdir -p "$staging/$inner" && cp -p build/win32/dist/* "$staging/$inner/"
(cd "$staging" && cmake -E tar cf ../Hourlark-win32.zip --format=zip -- "$inner") || fail "packing $zip failed"
rm -rf "$staging"
(cd build/win32 && sha256sum Hourlark-win32.zip >Hourlark-win32.zip.sha256)
unpacked=build/win32/zip-check
rm -rf "$unpacked" && mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf ../Hourlark-win32.zip) && [ "$(ls -A "$unpacked")" = "$inner" ] &&
  diff -r "$unpacked/$inner" build/win32/dist >/dev/null || fail "$zip does not unpack to $inner/ holding build/win32/dist"
rm -rf "$unpacked"
(cd build/win32 && sha256sum --quiet -c Hourlark-win32.zip.sha256) || fail "the checksum does not match $zip"

if [ $failed -eq 0 ]; then
  echo "dist: build/win64/dist, build/win32/dist and $zip ($(cut -c1-16 "$zip.sha256")...) checked"
fi
exit $failed
