#!/usr/bin/env bash
# Runs one Windows program of the win64 build under Wine. The prefix lives in
# the build tree (scripts/wine-env.sh makes it); ctest and the demo set
# WINEPREFIX, a developer running a test by hand gets the default below.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/win64/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec /usr/lib/wine/wine64 "$@"
