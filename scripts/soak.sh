#!/usr/bin/env bash
# Ends the real tracker by force at random moments while it saves, many times over, and
# checks its files after every end (see tests/e2e/hourlark_soak.cpp). Builds the win64 twin
# first. Runs in a Wine prefix of its own, so it can run beside the tests.
# With HL_SOAK_MIDNIGHT=1 every program of the run reads its clock through a fake-time
# library whose offset the soak moves to just before midnight, and every tenth round tracks
# across midnight. That library keeps a lock shared by a process and the ones it starts: a
# tracker ended by force while holding it leaves the soak waiting for ever (seen about once
# in 30 rounds), so long runs go without it.
# Usage: scripts/soak.sh [rounds, default 1000] [folder for screenshots of the options rounds].
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
rounds=${1:-1000}
clock=
if [ "${HL_SOAK_MIDNIGHT:-}" = 1 ]; then
  clock=$root/build/win64/soak-clock
  echo "+0" >"$clock"
  export LD_PRELOAD=$(dpkg -L libfaketime | grep '/libfaketime\.so\.1$' | head -1)
  export FAKETIME_TIMESTAMP_FILE=$clock FAKETIME_NO_CACHE=1 DONT_FAKE_MONOTONIC=1
fi
. "$root/scripts/wine-env.sh"
hl_long_run_start "$root" hourlark_soak "${HL_SOAK_PREFIX:-$root/build/win64/wineprefix-soak}"
SECONDS=0  # not date: the fake clock moves it
"$WINE64" build/win64/tests/e2e/hourlark_soak.exe build/win64/app/Hourlark.exe build/win64/app/qatask.dll "$rounds" "$clock" ${2:+"$2"}
status=$?
echo "soak: $rounds rounds in $SECONDS s"
exit $status
