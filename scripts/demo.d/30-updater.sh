# Demo step (sourced by scripts/demo.sh with $out set): one update end to end.
# The test update server offers a newer client at two addresses, a stand-in
# client window "Vemli" runs, and the real updater.exe (of $demo_build, under
# Wine) is started as the client starts it. What each side saw is printed.
(
set -euo pipefail
. scripts/wine-env.sh
upd=$out/updater
app=$upd/app
rm -rf "$upd"
mkdir -p "$app"
cp "$demo_build/updater/updater.exe" "$app/"
printf 'the installed client' > "$app/Vemli.exe"
printf '[Update]\r\nServer=update.example\r\nPath=/vemli/\r\nFile=version.ini\r\n[Limit]\r\nLockLimitNumber=3\r\n[Server]\r\nmain=update.example:80\r\n' \
  > "$app/Server.ini"

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

# Fresh addresses each run: the download may be served from WinINet's cache.
run=$(date +%s)
url1=http://dl1.example/$run/VemliSetup.exe
url2=http://dl2.example/$run/VemliSetup.exe
curl -sf -X PUT --data-binary "$(printf '[Version]\r\nCurrentVersion=1,2,3,5\r\n[DownloadUrls]\r\n1=%s\r\n2=%s\r\n' "$url1" "$url2")" \
  "$control/route?path=/vemli/version.ini" >/dev/null
# Both hosts serve the same path; the stand-in setup records how it was started.
curl -sf -X PUT --data-binary @"$demo_build/tools/standin_setup/standin_setup.exe" \
  "$control/route?path=/$run/VemliSetup.exe" >/dev/null
echo "updater: server offers CurrentVersion=1,2,3,5 at $url1 and $url2"

wine_env_start "$demo_build"
wine=$demo_wine
temp_w=$($wine cmd /c echo %TEMP% </dev/null 2>/dev/null | tr -d '\r')
temp=$($wine winepath -u "$temp_w" </dev/null 2>/dev/null | tr -d '\r')
temp=${temp%/}
rm -f "$temp/VemliSetup.exe" "$temp/VemliSetup.exe.record"

$wine "$demo_build/tools/standin_client/standin_client.exe" Vemli 1 "$upd/client.log" 60000 \
  </dev/null >/dev/null 2>&1 &
client=$!
for _ in $(seq 100); do grep -q ready "$upd/client.log" 2>/dev/null && break; sleep 0.1; done
echo "updater: stand-in client window \"Vemli\" runs and will agree to end"

echo "updater: starting updater.exe -v16909060 (client version 1,2,3,4) in $app"
set +e
http_proxy=http://127.0.0.1:$port WINEDEBUG=-all,+debugstr \
  $wine "$app/updater.exe" -v16909060 </dev/null >/dev/null 2>"$upd/trace.log"
code=$?
set -e
sed -n 's/.*"updater: \(.*\)"$/updater:   | \1/p' "$upd/trace.log" | sed 's/\\"/"/g; s/\\\\/\\/g'
echo "updater: exit code $code"

for _ in $(seq 100); do [ -s "$temp/VemliSetup.exe.record" ] && break; sleep 0.1; done
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
if [ -e "$app/Vemli.exe" ]; then echo "updater: Vemli.exe is still there"; else echo "updater: Vemli.exe deleted for the setup to replace"; fi
cp "$upd/trace.log" "$out/updater-trace.log" 2>/dev/null || true
)
