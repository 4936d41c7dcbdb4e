#!/usr/bin/env bash
# The main job: builds what the demo shows, writes a sample account and shows
# the programs at work under Wine: the 32-bit release build that ships, or the
# 64-bit build where this machine cannot run 32-bit programs (it says so).
# Each step in scripts/demo.d is a script of its own, run in order with the
# variables exported below in its environment.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
. scripts/wine-env.sh
if blocker=$(wine_32bit_blocker "$PWD/build"); then
  demo_preset=win32 demo_wine=$WINE32
  echo "demo: showing the 32-bit release build"
else
  demo_preset=win64 demo_wine=$WINE64
  echo "demo: $blocker; showing the 64-bit build instead"
fi
# Only the programs the steps run, all of the build shown: the viewer with its
# two stand-ins, the updater with the stand-in client and setup, and the
# exporter. (The steps build their Linux tools, chatlog-writer and
# updater-sign, themselves.)
build_targets() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" --target "$@"
}
build_targets "$demo_preset" Corvelle viewer-client-standin viewer-user updater updater-client-standin \
  updater-setup-standin chatlog-export

# What every step gets: the output folder, the build shown and its Wine
# loader, and the sample account (written by 10-sample-account.sh).
export out=$PWD/out/demo demo_build=$PWD/build/$demo_preset demo_wine
export SAMPLE_CLIENT_DIR=$out/client SAMPLE_OWNER_FIRST=1 SAMPLE_OWNER_SECOND=23456789
export SAMPLE_OWNER_KEY=$SAMPLE_OWNER_FIRST$SAMPLE_OWNER_SECOND
rm -rf "$out"
mkdir -p "$out"
for step in scripts/demo.d/*.sh; do
  bash "$step"
done
echo "demo: everything is in $out"
