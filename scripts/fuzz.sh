#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (address and undefined-behaviour checks on)
# and runs each over its seed corpus in fuzz/corpus/<target>/ for a fixed number of inputs,
# all targets side by side. Usage: scripts/fuzz.sh [inputs per target, default 10000];
# scripts/fuzz.sh 1000000 is the long run.
# New inputs a run finds go to build/fuzz/corpus/<target>/ (kept between runs; the seeds stay
# as they are); an input that fails is saved as build/fuzz/findings/<target>-crash-... and
# the script fails.
# FUZZ_JOBS limits the targets run (and the build jobs) at once (default: all cores);
# FUZZ_MAX_SECONDS ends each target after that many seconds even before its inputs are done
# (the count it reached is printed).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-10000}
build=build/fuzz
jobs=${FUZZ_JOBS:-$(nproc)}
max_seconds=${FUZZ_MAX_SECONDS:-0}

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="-fsanitize=address,undefined,fuzzer-no-link" \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null || exit 1
targets=$(sed -n 's/^hl_fuzz_target(\([a-z0-9_]*\) .*/\1/p' fuzz/CMakeLists.txt)
cmake --build "$build" -j"$jobs" --target $targets >/dev/null || { cmake --build "$build" --target $targets; exit 1; }
mkdir -p "$build/findings" "$build/logs"

run_one() {
  local target=$1 runs=$2 build=$3 max_seconds=$4
  mkdir -p "$build/corpus/$target"
  local start=$(date +%s)
  if "$build/fuzz/$target" -runs="$runs" -max_total_time="$max_seconds" -seed=1 -timeout=30 -rss_limit_mb=2560 -print_final_stats=1 \
       -artifact_prefix="$build/findings/$target-" "$build/corpus/$target" $([ -d "fuzz/corpus/$target" ] && echo "fuzz/corpus/$target") \
       >"$build/logs/$target.log" 2>&1; then
    printf '%-22s %9s inputs  %4d s  no finding\n' "$target" \
      "$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$target.log")" $(( $(date +%s) - start ))
  else
    printf '%-22s FAILED (see %s)\n' "$target" "$build/logs/$target.log"
    grep -m3 -E "ERROR|SUMMARY|runtime error" "$build/logs/$target.log" | sed 's/^/    /'
    return 1
  fi
}
export -f run_one

echo "fuzz: $runs inputs per target"
printf '%s\n' $targets | xargs -P "$jobs" -I{} bash -c "run_one {} $runs $build $max_seconds"
