#!/usr/bin/env bash
# Ends the real tracker by force at random moments while it saves, many times over, and
# checks its files after every end (see tests/e2e/hourlark_soak.cpp). Builds the win64 twin
# first. Runs in a Wine prefix of its own, so it can run beside the tests.
# With HL_SOAK_MIDNIGHT=1 every program of the run reads its clock through a fake-time
# library whose offset the soak moves to just before midnight, and every tenth round tracks
# across midnight. That library keeps a lock shared by all programs of the run; a tracker
# ended by force while holding it would leave the others waiting for ever, so a small
# watcher (scripts/clock_lock.c) gives back a lock that stays taken with no living holder.
# Usage: scripts/soak.sh [rounds, default 1000] [folder for screenshots of the options rounds].
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
rounds=${1:-1000}
. "$root/scripts/wine-env.sh"
# Built before the clock is faked (the build's own programs need not share its lock).
hl_long_run_build "$root" hourlark_soak
clock=
if [ "${HL_SOAK_MIDNIGHT:-}" = 1 ]; then
  cc -O2 -o build/clock_lock scripts/clock_lock.c -pthread || exit 1
  clock=$root/build/win64/soak-clock
  echo "+0" >"$clock"
  fake=$(dpkg -L libfaketime | grep '/libfaketime\.so\.1$' | head -1)
  # A process that lives as long as the run owns the shared lock, so it has a name the
  # watcher can open; every later program of the run joins it.
  LD_PRELOAD=$fake FAKETIME_TIMESTAMP_FILE=$clock sleep 1000000 &
  holder=$!
  for _ in $(seq 50); do [ -e /dev/shm/sem.faketime_sem_$holder ] && break; sleep 0.1; done
  build/clock_lock /faketime_sem_$holder $$ &
  export LD_PRELOAD=$fake FAKETIME_TIMESTAMP_FILE=$clock FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1
  export FAKETIME_SHARED="/faketime_sem_$holder /faketime_shm_$holder"
  trap 'hl_wine_stop; kill $holder 2>/dev/null; rm -f /dev/shm/faketime_shm_$holder /dev/shm/sem.faketime_sem_$holder' EXIT
else
  trap hl_wine_stop EXIT
fi
hl_wine_start "$root/build/win64" "${HL_SOAK_PREFIX:-$root/build/win64/wineprefix-soak}"
SECONDS=0  # not date: the fake clock moves it
"$WINE64" build/win64/tests/e2e/hourlark_soak.exe build/win64/app/Hourlark.exe build/win64/app/qatask.dll "$rounds" "$clock" ${2:+"$2"}
status=$?
echo "soak: $rounds rounds in $SECONDS s"
exit $status
