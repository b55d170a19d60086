# Sourced by the project's scripts: a private Wine prefix inside the build folder (or the
# folder given second), an X display from Xvfb and one persistent wineserver for the whole
# run. hl_wine_stop ends both.
hl_wine_start() {
  local build=$1
  export WINEPREFIX=${2:-$build/wineprefix}
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINE64=$(command -v wine64 || echo /usr/lib/wine/wine64)
  local d
  if [ -z "${HL_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    # Two runs starting together may pick the same free display: the one whose server did
    # not come up takes the next one.
    for d in $(seq 91 140); do
      if [ -e /tmp/.X$d-lock ] || [ -e /tmp/.X11-unix/X$d ]; then continue; fi
      Xvfb :$d -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
      HL_XVFB_PID=$!
      for _ in $(seq 1 50); do [ -e /tmp/.X11-unix/X$d ] && break; sleep 0.1; done
      sleep 0.3
      if kill -0 "$HL_XVFB_PID" 2>/dev/null && [ -e /tmp/.X11-unix/X$d ]; then break; fi
    done
    export DISPLAY=:$d
  fi
  mkdir -p "$WINEPREFIX"
  wineserver -p
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$WINE64" wineboot -i </dev/null >/dev/null 2>&1 || true
  fi
  hl_wine_fonts
  # The first program Wine starts also starts its background services; start them here,
  # detached from our pipes, so they do not hold ctest's output open until they exit.
  "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1 || true
  # Without a window manager, managed windows cost about two seconds per show or hide;
  # unmanaged windows behave the same for our tests and are fast.
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
  # A crashing test must end at once with a failure, not wait for an interactive debugger.
  local aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  "$WINE64" reg add "$aedebug" /v Debugger /d '' /f </dev/null >/dev/null 2>&1 || true
  "$WINE64" reg add "$aedebug" /v Auto /d 1 /f </dev/null >/dev/null 2>&1 || true
}

# Wine draws the title bars' buttons with Marlett and its dialogs with MS Sans Serif and
# Tahoma, fonts of the fonts-wine package; without them every title bar shows "0 1 r". This
# Wine does not look in that package's folder, so the prefix's font folder gets copies of
# those it lacks (a prefix made before keeps what it has).
hl_wine_fonts() {
  local from=/usr/share/wine/fonts to=$WINEPREFIX/drive_c/windows/Fonts
  if [ -d "$from" ] && [ -d "$to" ]; then cp -n "$from"/* "$to"/ 2>/dev/null || true; fi
}

hl_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${HL_XVFB_PID:-}" ]; then kill "$HL_XVFB_PID" 2>/dev/null || true; fi
}

# For the scripts of the long runs: builds the win64 target given (after scripts/setup.sh).
hl_long_run_build() {
  local root=$1 target=$2
  "$root/scripts/setup.sh" || exit 1
  (cd "$root" && cmake --preset win64 >/dev/null && cmake --build --preset win64 --target "$target" >/dev/null) || exit 1
}

# Builds the target as above and starts Wine in the prefix given (the build folder's own by
# default); Wine stops when the script ends.
hl_long_run_start() {
  local root=$1 target=$2 prefix=${3:-}
  hl_long_run_build "$root" "$target"
  hl_wine_start "$root/build/win64" $prefix
  trap hl_wine_stop EXIT
}
