# Demo step (run by scripts/demo.sh, which passes $out, $demo_build,
# $demo_wine and the SAMPLE_* account of 10-sample-account.sh): Corvelle.exe under Wine in a virtual desktop (so
# the frame has its title bar), started in the client folder, driven by the
# client stand-in (1026 for the account, 1027 for one friend) and by the user
# stand-in (a message picked in the table, then a find through the Find
# dialog, then 导出聊天记录 of every friend); a screenshot is saved after each
# and everything started here is stopped again.
#
# Windows find each other only inside one desktop, so the viewer and the
# stand-in both run in the prefix's default virtual desktop. That is a prefix
# of its own: the tests' prefix keeps plain windows.
set -euo pipefail
viewer_client_dir=$SAMPLE_CLIENT_DIR
viewer_shot=$out/viewer.png
viewer_find_shot=$out/viewer-find.png
. scripts/wine-env.sh
wine_env_start "$demo_build/demo-viewer"
# Shown as on a Chinese system: the system's own dialogs (查找) in Chinese and
# the ANSI code page 936, with the locale wine_env_start has made.
if [ -d "$WINE_LOCPATH/zh_CN.UTF-8" ]; then
  export LOCPATH=$WINE_LOCPATH LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
fi
viewer_wine=$demo_wine
"$viewer_wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Corvelle /f >/dev/null 2>&1
"$viewer_wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Corvelle /d 1024x700 /f >/dev/null 2>&1
viewer_client="$demo_build/tools/viewer_client_standin/viewer-client-standin.exe"
viewer_exe="$demo_build/viewer/Corvelle.exe"
(cd "$viewer_client_dir" && exec "$viewer_wine" "$viewer_exe" </dev/null >/dev/null 2>&1) &
viewer_desktop_pid=$!
viewer_ok=1
"$viewer_wine" "$viewer_client" --wait 60000 account "$SAMPLE_OWNER_FIRST" "$SAMPLE_OWNER_SECOND" \
  | sed 's/^/viewer: 1026 answered /' || viewer_ok=0
# The sample's second friend (numbers 2:80001111) has a screenful of messages.
"$viewer_wine" "$viewer_client" friend 2 80001111 | sed 's/^/viewer: 1027 answered /' || viewer_ok=0
# The user stand-in then picks a message in the table, with the keys a user
# would press, so that its whole text shows in the content pane below.
viewer_user="$demo_build/tools/viewer_user/viewer-user.exe"
"$viewer_wine" "$viewer_user" --wait 10000 select-row "${VIEWER_DEMO_ROW:-8}" | sed 's/^/viewer: user /' \
  || viewer_ok=0
# viewer-user returns once the row is selected and painted. The shots are of
# the virtual desktop's own X window once it is mapped (up to 10 seconds), or
# of the whole screen if it cannot be told.
viewer_xid=
for _ in $(seq 100); do
  viewer_xid=$(xwininfo -root -tree 2>/dev/null | awk '/"Corvelle - Wine desktop"/ {print $1; exit}' || true)
  [ -n "$viewer_xid" ] && break
  sleep 0.1
done
import -window "${viewer_xid:-root}" "$viewer_shot"
viewer_shots=$viewer_shot
# Then the user finds a word: Ctrl+F, the text typed into the Find dialog and
# Enter for 查找下一个. The found message is selected and shown with the dialog
# still open, and that is the second shot.
if "$viewer_wine" "$viewer_user" find "${VIEWER_DEMO_FIND:-谢谢}" | sed 's/^/viewer: user /'; then
  import -window "${viewer_xid:-root}" "$viewer_find_shot"
  viewer_shots="$viewer_shots and $viewer_find_shot"
else
  viewer_ok=0
fi
# Then 导出聊天记录 (Ctrl+E): every friend as web pages by month into
# out/demo/viewer-export, the dialog shot before 导出 and the result after.
viewer_export_dir=$out/viewer-export
rm -rf "$viewer_export_dir"
viewer_export_win="Z:$(printf '%s' "$viewer_export_dir" | tr / '\\')"
if "$viewer_wine" "$viewer_user" export-dialog "$viewer_export_win" | sed 's/^/viewer: user /'; then
  import -window "${viewer_xid:-root}" "$out/viewer-export-dialog.png"
  if "$viewer_wine" "$viewer_user" export-run | sed 's/^/viewer: export: /'; then
    import -window "${viewer_xid:-root}" "$out/viewer-export-done.png"
    viewer_shots="$viewer_shots, $out/viewer-export-dialog.png and $out/viewer-export-done.png"
    "$viewer_wine" "$viewer_user" export-dismiss >/dev/null 2>&1 || true
    echo "viewer: exported to $viewer_export_dir ($(find "$viewer_export_dir" -type f | wc -l) files)"
  else
    viewer_ok=0
  fi
else
  viewer_ok=0
fi
"$viewer_wine" "$viewer_client" raw 16 >/dev/null 2>&1 || true # WM_CLOSE
# The viewer ends on WM_CLOSE; stopped by force only if it has not within 5 seconds.
for _ in $(seq 50); do
  kill -0 "$viewer_desktop_pid" 2>/dev/null || break
  sleep 0.1
done
kill "$viewer_desktop_pid" 2>/dev/null || true
wait "$viewer_desktop_pid" 2>/dev/null || true
wine_env_stop
[ "$viewer_ok" = 1 ] || echo "viewer: the stand-ins could not drive the viewer" >&2
echo "viewer: screenshots $viewer_shots"
