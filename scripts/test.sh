#!/usr/bin/env bash
# Every test: the portable core on Linux (with sanitizers), then every program
# of both Windows builds under Wine inside a virtual display: the 64-bit build
# under wine64, the 32-bit release build under Wine's 32-bit loader. Where
# the machine cannot run 32-bit programs that suite is still built (so its
# compile errors and static checks count) and the summary says why it did
# not run. The run ends with one line per suite and then the total,
# "N passed, N failed", alone on the last line. It fails when a build fails
# or a suite that ran has a failing test.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
. scripts/wine-env.sh
jobs=$(nproc)
logs=build/test-logs
mkdir -p "$logs"

summary=()
passed_all=0
failed_all=0
status=0

# Reads "N% tests passed, F tests failed out of T" from a ctest log.
count_tests() {
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
  if [ -z "$line" ]; then
    echo "0 0"
    return 1
  fi
  local failed total
  failed=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  echo "$((total - failed)) $failed"
}

# suite NAME BLOCKER: builds the preset NAME and, when BLOCKER is empty, runs
# its tests (the Windows ones inside the Wine environment).
suite() {
  local name=$1 blocker=$2 start build_s test_s
  echo "== $name: building"
  start=$SECONDS
  if ! { cmake --preset "$name" >/dev/null && cmake --build --preset "$name" -j "$jobs"; }; then
    summary+=("$name: build failed")
    status=1
    return
  fi
  build_s=$((SECONDS - start))
  if [ -n "$blocker" ]; then
    summary+=("$name: not run: $blocker (built: yes, build ${build_s} s)")
    return
  fi
  echo "== $name: testing"
  start=$SECONDS
  if [ "$name" != host ]; then
    wine_env_start "$PWD/build/$name"
  fi
  ctest --preset "$name" -j "$jobs" 2>&1 | tee "$logs/$name.log"
  if [ "$name" != host ]; then
    wine_env_stop
  fi
  test_s=$((SECONDS - start))
  local counts passed failed
  if ! counts=$(count_tests "$logs/$name.log"); then
    summary+=("$name: no test results (see $logs/$name.log)")
    status=1
    return
  fi
  read -r passed failed <<<"$counts"
  summary+=("$name: $passed passed, $failed failed (tests ${test_s} s, build ${build_s} s)")
  passed_all=$((passed_all + passed))
  failed_all=$((failed_all + failed))
  ((failed == 0)) || status=1
}

trap wine_env_stop EXIT
suite host ""
suite win64 ""
suite win32 "$(wine_32bit_blocker "$PWD/build")"

echo "== summary"
printf '%s\n' "${summary[@]}"
echo "$passed_all passed, $failed_all failed"
exit $status
