# Demo step (run by scripts/demo.sh, which passes $out, $demo_build and
# $demo_wine): updates end to end, all signed by the publisher with
# updater-sign. The test update server offers a newer client at two
# addresses, a stand-in client window "Vemli" runs, and the real updater.exe
# (of $demo_build, under Wine) is started as the client starts it. The first
# run gets the setup as signed and hands over; the second gets a setup
# changed on the way and refuses it; in the third the setup fails and the
# guard gives the client back and starts it again; the fourth, offered the
# same version, leaves the client alone. What each side saw is printed.
set -euo pipefail

# Wine writes the trace's non-ASCII bytes as \xNN; the engine's texts are
# GBK (the client's code page), shown here as the Chinese they are.
gbk_readable() {
  python3 -c '
import re, sys
escaped = re.compile(rb"(?:\\x[0-9a-fA-F]{2})+")
for line in sys.stdin.buffer:
    line = escaped.sub(lambda m: bytes.fromhex(m.group(0).replace(b"\\x", b"").decode()).decode("gbk", "replace").encode(), line)
    sys.stdout.buffer.write(line)
'
}
. scripts/wine-env.sh
upd=$out/updater
app=$upd/app
rm -rf "$upd"
mkdir -p "$app"

# The publisher's tool is a Linux program: the host build has it.
cmake --preset host >/dev/null
cmake --build --preset host --target updater-sign >/dev/null
sign=build/host/updater/sign/updater-sign
setup="$demo_build"/tools/updater_setup_standin/updater-setup-standin.exe

echo "updater: the publisher makes a key: updater-sign keygen publisher.pem"
setup_key=$($sign keygen "$upd/publisher.pem" 2>/dev/null)
echo "updater:   | $setup_key"
echo "updater: and signs the setup as 1,2,3,5 for 30 days: updater-sign sign --key publisher.pem --version 1,2,3,5 --expires 30 VemliSetup.exe"
echo "updater: (its size bounds the download; after the expiry clients refuse the document until it is signed again)"
signature=$($sign sign --key "$upd/publisher.pem" --version 1,2,3,5 --expires 30 "$setup")
sed 's/^/updater:   | /' <<<"$signature"

cp "$demo_build/updater/updater.exe" "$app/"
printf '[Update]\r\nServer=update.example\r\nPath=/vemli/\r\nFile=version.ini\r\n%s\r\n[Limit]\r\nLockLimitNumber=3\r\n[Server]\r\nmain=update.example:80\r\n' \
  "$setup_key" > "$app/Server.ini"

python3 tools/update_server/update_server.py --port-file "$upd/port" </dev/null >/dev/null 2>"$upd/server.log" &
server=$!
client=
finish() {
  [ -n "$client" ] && kill "$client" 2>/dev/null && wait "$client" 2>/dev/null
  kill "$server" 2>/dev/null; wait "$server" 2>/dev/null
  wine_env_stop
}
trap finish EXIT
for _ in $(seq 100); do [ -s "$upd/port" ] && break; sleep 0.1; done
port=$(cat "$upd/port")
control=http://127.0.0.1:$port/_control

wine_env_start "$demo_build"
wine=$demo_wine
temp_w=$($wine cmd /c echo %TEMP% </dev/null 2>/dev/null | tr -d '\r')
temp=$($wine winepath -u "$temp_w" </dev/null 2>/dev/null | tr -d '\r')
temp=${temp%/}

# One update run: the server offers the signed version document with fresh
# addresses (the download may be served from WinINet's cache) whose path
# serves the file $1; $2 names the run; the stand-in setup does what $3 says
# (new-client: writes a new Vemli.exe; fail: exits 1 writing nothing). The
# installed client is a stand-in too, which only notes where it was started.
update_run() {
  local served=$1 name=$2 act=$3 run
  run=$name-$(date +%s)
  local url1=http://dl1.example/$run/VemliSetup.exe url2=http://dl2.example/$run/VemliSetup.exe
  curl -sf -X PUT --data-binary "$(printf '[Version]\r\nCurrentVersion=1,2,3,5\r\n%s\r\n[DownloadUrls]\r\n1=%s\r\n2=%s\r\n' \
    "${signature//$'\n'/$'\r\n'}" "$url1" "$url2")" "$control/route?path=/vemli/version.ini" >/dev/null
  # Both hosts serve the same path; the stand-in setup records how it was started.
  curl -sf -X PUT --data-binary @"$served" "$control/route?path=/$run/VemliSetup.exe" >/dev/null
  curl -sf -X DELETE "$control/requests" >/dev/null
  cp "$setup" "$app/Vemli.exe"
  rm -f "$temp/VemliSetup.exe" "$temp/VemliSetup.exe.record" "$temp/Vemli.exe.record" "$upd/client.log"

  $wine "$demo_build"/tools/updater_client_standin/updater-client-standin.exe Vemli 1 "$upd/client.log" 60000 \
    </dev/null >/dev/null 2>&1 &
  client=$!
  for _ in $(seq 100); do grep -q ready "$upd/client.log" 2>/dev/null && break; sleep 0.1; done
  echo "updater: stand-in client window \"Vemli\" runs and will agree to end"

  echo "updater: starting updater.exe -v16909060 (client version 1,2,3,4) in $app"
  set +e
  http_proxy=http://127.0.0.1:$port WINEDEBUG=-all,+debugstr \
    VEMLI_SETUP_STANDIN=$act VEMLI_SETUP_STANDIN_RECORDS=$temp_w \
    $wine "$app/updater.exe" -v16909060 </dev/null >/dev/null 2>"$upd/trace-$name.log"
  local code=$?
  set -e
  # The guard (a copy of updater.exe in its own folder) outlives the
  # updater and traces into the same place until the setup has ended.
  if grep -q 'guard started' "$upd/trace-$name.log"; then
    for _ in $(seq 300); do grep -q 'guard ends' "$upd/trace-$name.log" && break; sleep 0.1; done
  fi
  sed -n 's/.*"\(updater: .\+\)"$/\1/p' "$upd/trace-$name.log" |
    sed 's/\\"/"/g; s/\\\\/\\/g; s/\\n$//; s/^updater: /updater:   | /' |
    gbk_readable
  echo "updater: exit code $code"

  for _ in $(seq 50); do [ -s "$temp/VemliSetup.exe.record" ] && break; sleep 0.1; done
  echo "updater: requests the server received:"
  curl -sf "$control/requests" | awk -F'\t' '{print "updater:   | " $1 " http://" $2 $3}'
  echo "updater: the client window's log:"
  sed 's/^/updater:   | /' "$upd/client.log"
  if [ -s "$temp/VemliSetup.exe.record" ]; then
    echo "updater: the setup was started so:"
    sed 's/^/updater:   | /' "$temp/VemliSetup.exe.record"
  else
    echo "updater: the setup did not run"
  fi
  if [ -e "$temp/VemliSetup.exe" ]; then echo "updater: VemliSetup.exe is in the temporary folder"; else echo "updater: no VemliSetup.exe left in the temporary folder"; fi
  if [ ! -e "$app/Vemli.exe" ]; then
    echo "updater: no Vemli.exe"
  elif [ "$(tail -c 10 "$app/Vemli.exe" | tr -d '\0')" = "new client" ]; then
    echo "updater: Vemli.exe is the new client the setup wrote"
  else
    echo "updater: Vemli.exe is the client as it was"
  fi
  for _ in $(seq 20); do [ -s "$temp/Vemli.exe.record" ] && break; sleep 0.1; done
  if [ -s "$temp/Vemli.exe.record" ]; then
    echo "updater: the client was started again:"
    grep -E '^(commandline|folder)=' "$temp/Vemli.exe.record" | sed 's/^/updater:   | /'
  fi
  ls "$app" | grep -q '^Vemli\.exe\..*bak$' && echo "updater: a kept copy of the client is left: $(ls "$app" | grep bak)"
  kill "$client" 2>/dev/null || true
  wait "$client" 2>/dev/null || true
  client=
  cp "$upd/trace-$name.log" "$out/updater-trace-$name.log" 2>/dev/null || true
}

rm -f "$temp/VemliSetup.failed.txt"
echo "updater: == 1. the signed setup arrives as signed"
update_run "$setup" signed new-client

echo "updater: == 2. the same signed release, the setup changed on its way (one byte)"
python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[len(b) // 2] ^= 0xFF
open(sys.argv[2], "wb").write(b)' "$setup" "$upd/tampered.exe"
update_run "$upd/tampered.exe" tampered new-client

echo "updater: == 3. the signed setup runs and fails (exit 1, nothing written): the client comes back"
update_run "$setup" failed fail

echo "updater: == 4. the same release once more: a setup that failed is not handed over again for 24 hours"
update_run "$setup" again fail
if [ -s "$temp/VemliSetup.failed.txt" ]; then
  echo "updater: the record in the temporary folder (VemliSetup.failed.txt):"
  sed 's/\r$//; s/^/updater:   | /' "$temp/VemliSetup.failed.txt"
fi
rm -f "$temp/VemliSetup.failed.txt"
