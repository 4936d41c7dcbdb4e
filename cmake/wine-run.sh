#!/usr/bin/env bash
# Runs one Windows program under Wine: `wine-run.sh [--win32] PROGRAM ARGS...`.
# The 64-bit loader by default, the 32-bit one for the win32 build. The prefix
# lives in the build tree (scripts/wine-env.sh makes it); ctest and the demo
# set WINEPREFIX, a developer running a test by hand gets the default below.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$here/scripts/wine-env.sh"
loader=$WINE64
build=win64
if [ "${1:-}" = --win32 ]; then
  loader=$WINE32
  build=win32
  shift
fi
export WINEPREFIX=${WINEPREFIX:-$here/build/$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec "$loader" "$@"
