#!/usr/bin/env bash
# The main job: builds both programs, writes a sample account and shows the
# programs at work under Wine: the 32-bit release build that ships, or the
# 64-bit build where this machine cannot run 32-bit programs (it says so).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
. scripts/wine-env.sh
# The steps run $demo_build's programs under $demo_wine.
if blocker=$(wine_32bit_blocker "$PWD/build"); then
  demo_build=$PWD/build/win32 demo_wine=$WINE32
  echo "demo: showing the 32-bit release build"
else
  demo_build=$PWD/build/win64 demo_wine=$WINE64
  echo "demo: $blocker; showing the 64-bit build instead"
fi
out=$PWD/out/demo
rm -rf "$out"; mkdir -p "$out"
for step in scripts/demo.d/*.sh; do
  [ -f "$step" ] && . "$step"
done
echo "demo: everything is in $out"
