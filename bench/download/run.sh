#!/usr/bin/env bash
# The engine's download throughput against curl, both fetching the same
# 100 MB setup from the same test update server in one run.
#
#   bench/download/run.sh [SIZE_BYTES]
#
# Builds the bench-win64 preset, runs the engine's download_bench under Wine
# and curl (through the same server acting as proxy), and prints both rates
# and their ratio.
set -euo pipefail
cd "$(dirname "$0")/../.."
size=${1:-104857600}
cmake --preset bench-win64 >/dev/null
cmake --build --preset bench-win64 -j2 --target download_bench >/dev/null
build=$PWD/build/bench-win64
. scripts/wine-env.sh
work=$(mktemp -d "$build/download.XXXXXX")
trap 'rm -rf "$work"; wine_env_stop' EXIT
wine_env_start "$build"
export BENCH_SIZE=$size BENCH_WORK=$work BENCH_EXE=$build/bench/download/download_bench.exe
tools/update_server/with_update_server.sh bash -c '
  set -euo pipefail
  host=bench$$.vemli.test
  printf "[Version]\nCurrentVersion=9,9,9,9\n[DownloadUrls]\nsetup=http://%s/setup.exe\n" "$host" |
    curl -s -f -X PUT --data-binary @- "http://$VEMLI_UPDATE_SERVER/_control/route?path=/v.ini" >/dev/null
  curl -s -f -X PUT "http://$VEMLI_UPDATE_SERVER/_control/route?path=/setup.exe&size=$BENCH_SIZE" >/dev/null
  # curl first: it warms the server the same way for both.
  read -r curl_seconds curl_bytes < <(curl -s -f -x "$http_proxy" -o "$BENCH_WORK/curl.bin" \
      -w "%{time_total} %{size_download}\n" "http://$host/setup.exe")
  rm -f "$BENCH_WORK/curl.bin"
  engine=$(TMP="$(winepath -w "$BENCH_WORK" 2>/dev/null || echo "Z:${BENCH_WORK//\//\\}")" \
           cmake/wine-run.sh "$BENCH_EXE" "$host" "$BENCH_SIZE" | tr -d "\r")
  engine_seconds=${engine#engine_seconds=}; engine_seconds=${engine_seconds%% *}
  engine_bytes=${engine##*engine_bytes=}
  [ "$engine_bytes" = "$BENCH_SIZE" ] && [ "${curl_bytes%.*}" = "$BENCH_SIZE" ] || {
    echo "download bench: sizes differ (engine $engine_bytes, curl $curl_bytes)" >&2; exit 1; }
  python3 - "$BENCH_SIZE" "$engine_seconds" "$curl_seconds" <<PY
import sys
size, engine, curl = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3])
mb = size / 1e6
print("download of %d bytes from the loopback server" % size)
print("  engine (updater, Wine): %8.3f s  %8.1f MB/s" % (engine, mb / engine))
print("  curl   (native)       : %8.3f s  %8.1f MB/s" % (curl, mb / curl))
print("  engine / curl throughput ratio: %.2f" % (curl / engine))
PY
'
