#!/usr/bin/env bash
# Runs one command beside its own test update server and stops the server
# afterwards, whatever happens:
#
#   with_update_server.sh COMMAND [ARGS...]
#
# The server listens on a free port of 127.0.0.1. The command gets
#   VEMLI_UPDATE_SERVER=127.0.0.1:PORT   for the control interface
#   http_proxy=http://127.0.0.1:PORT     so that WinINet (preconfigured access)
#                                        sends every http request, port 80
#                                        included, to this server
#   no_proxy=127.0.0.2                   a loopback address reached directly,
#                                        where nothing listens
# Used as the emulator of the engine's Wine tests: one server per test
# process, so tests running side by side never share a port.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=$(mktemp -d "${TMPDIR:-/tmp}/update_server.XXXXXX")
python3 "$here/update_server.py" --exit-with-parent $$ --port-file "$dir/port" </dev/null >/dev/null 2>"$dir/log" &
server=$!
stop_server() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$dir"
}
trap 'stop_server; exit 143' TERM INT HUP
# Python may start slowly on a busy machine: allow it 30 s.
for _ in $(seq 600); do
  [ -s "$dir/port" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$dir/port" ]; then
  echo "with_update_server: the server did not start" >&2
  cat "$dir/log" >&2
  stop_server
  exit 1
fi
port=$(cat "$dir/port")
export VEMLI_UPDATE_SERVER=127.0.0.1:$port
export http_proxy=http://127.0.0.1:$port
export no_proxy=127.0.0.2
"$@" &
child=$!
trap 'kill "$child" 2>/dev/null; wait "$child" 2>/dev/null; stop_server; exit 143' TERM INT HUP
wait "$child"
rc=$?
stop_server
exit $rc
