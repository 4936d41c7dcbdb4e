#!/usr/bin/env bash
# The engine's download throughput against curl, both fetching the same
# 100 MB setup from the same test update server in one run; and the engine
# with and without a SetupKey, i.e. with and without hashing the setup as it
# arrives and bounding it by its signed SetupSize (the same signed release
# served both times, best of ROUNDS each, alternating), plus the hand-over's
# check of the held file; and what a signed setup cut at 95 % costs to finish
# (the server's byte count).
#
#   bench/download/run.sh [SIZE_BYTES [ROUNDS]]
#
# Builds the bench-win64 preset, runs the engine's download_bench under Wine
# and curl (through the same server acting as proxy), and prints the rates
# and ratios.
set -euo pipefail
cd "$(dirname "$0")/../.."
size=${1:-104857600}
rounds=${2:-3}
cmake --preset bench-win64 >/dev/null
cmake --build --preset bench-win64 -j2 --target download_bench >/dev/null
build=$PWD/build/bench-win64
. scripts/wine-env.sh
work=$(mktemp -d "$build/download.XXXXXX")
trap 'rm -rf "$work"; wine_env_stop' EXIT
wine_env_start "$build"
export BENCH_SIZE=$size BENCH_ROUNDS=$rounds BENCH_WORK=$work BENCH_EXE=$build/bench/download/download_bench.exe
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
  # The signed release: the same bytes served the same way for both engine
  # runs; without a key the engine ignores its signature lines.
  curl -s -f -X PUT "http://$VEMLI_UPDATE_SERVER/_control/release?path=/sv.ini&setup=/signed.exe&url=http://$host/signed.exe&version=9,9,9,9&variant=good&size=$BENCH_SIZE" >/dev/null
  key=$(curl -s -f "http://$VEMLI_UPDATE_SERVER/_control/setup_key")
  temp_w="$(winepath -w "$BENCH_WORK" 2>/dev/null || echo "Z:${BENCH_WORK//\//\\}")"
  engine() { TMP="$temp_w" cmake/wine-run.sh "$BENCH_EXE" "$host" "$BENCH_SIZE" "$@" | tr -d "\r"; }
  field() { local v=${2#*$1=}; echo "${v%% *}"; }
  check() { [ "$(field engine_bytes "$1")" = "$BENCH_SIZE" ] || {
    echo "download bench: engine received $(field engine_bytes "$1") bytes" >&2; exit 1; }; }
  plain=() signed=() verify=()
  for _ in $(seq "$BENCH_ROUNDS"); do
    out=$(engine sv.ini); check "$out"; plain+=("$(field engine_seconds "$out")")
    out=$(engine sv.ini "$key"); check "$out"; signed+=("$(field engine_seconds "$out")")
    verify+=("$(field verify_seconds "$out")")
  done
  # A signed setup whose first answer breaks off at 95 %: what the server
  # sends in all until it is whole (the resumption asks only for the rest).
  cut=$((BENCH_SIZE * 95 / 100))
  curl -s -f -X PUT "http://$VEMLI_UPDATE_SERVER/_control/release?path=/rv.ini&setup=/resumed.exe&url=http://$host/resumed.exe&version=9,9,9,9&variant=good&size=$BENCH_SIZE&cuts=$cut" >/dev/null
  out=$(engine rv.ini "$key"); check "$out"
  resumed_sent=$(curl -s -f "http://$VEMLI_UPDATE_SERVER/_control/sent?path=/resumed.exe")
  [ "${curl_bytes%.*}" = "$BENCH_SIZE" ] || {
    echo "download bench: curl received $curl_bytes bytes" >&2; exit 1; }
  python3 - "$BENCH_SIZE" "$curl_seconds" "${plain[*]}" "${signed[*]}" "${verify[*]}" "$cut" "$resumed_sent" <<PY
import sys
size, curl = int(sys.argv[1]), float(sys.argv[2])
plain, signed, verify = ([float(x) for x in a.split()] for a in sys.argv[3:6])
cut, sent = int(sys.argv[6]), int(sys.argv[7])
mb = size / 1e6
engine, hashed, check = min(plain), min(signed), min(verify)
print("download of %d bytes from the loopback server (engine: best of %d)" % (size, len(plain)))
print("  engine (updater, Wine)       : %8.3f s  %8.1f MB/s   runs %s" % (engine, mb / engine, plain))
print("  engine + SHA-256 + size bound: %8.3f s  %8.1f MB/s   runs %s" % (hashed, mb / hashed, signed))
print("  curl   (native)              : %8.3f s  %8.1f MB/s" % (curl, mb / curl))
print("  engine / curl throughput ratio: %.2f" % (curl / engine))
median = lambda runs: sorted(runs)[len(runs) // 2]
print("  hash and bound add           : %+.1f %% best of each (limit +10 %%); medians %+.1f %%"
      % (100 * (hashed / engine - 1), 100 * (median(signed) / median(plain) - 1)))
print("  hand-over check of the held file (read again + SHA-256): %.3f s" % check)
print("  signed setup cut at %d bytes (95 %%), resumed: the server sent %d bytes in all,"
      " %d after the cut (missing: %d; limit: the missing bytes)" % (cut, sent, sent - cut, size - cut))
PY
'
