#!/usr/bin/env bash
# Every test: the portable core on Linux (with sanitizers), then every program
# of the 64-bit Windows build under Wine inside a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

cmake --preset host >/dev/null
cmake --build --preset host -j "$jobs"
ctest --preset host -j "$jobs"

cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"
. scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start "$PWD/build/win64"
ctest --preset win64 -j "$jobs"
