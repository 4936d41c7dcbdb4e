#!/usr/bin/env bash
# The guard's cost to the hand-over and how soon a failed setup gives the
# client back, under Wine (HandOverBench.cpp says what is measured):
#
#   bench/handover/run.sh [--win32] [ROUNDS [OTHER_UPDATER_EXE]]
#
# Builds handover_bench in the win64 preset (win32 with --win32, the build
# that ships) and runs it beside the test update server. OTHER_UPDATER_EXE
# (a Linux path), when given, is measured the same way: an updater.exe built
# without the guard shows what the guard adds.
set -euo pipefail
cd "$(dirname "$0")/../.."
preset=win64
loader=()
if [ "${1:-}" = --win32 ]; then
  preset=win32
  loader=(--win32)
  shift
fi
rounds=${1:-5}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 --target handover_bench >/dev/null
build=$PWD/build/$preset
. scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start "$build"
other=()
if [ -n "${2:-}" ]; then
  other=("Z:$(realpath "$2" | tr / '\\')")
fi
tools/update_server/with_update_server.sh cmake/wine-run.sh "${loader[@]}" \
  "$build/bench/handover/handover_bench.exe" "$rounds" "${other[@]}" | tr -d '\r'
