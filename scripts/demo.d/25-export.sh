# Demo step (run by scripts/demo.sh, which passes $out, $demo_build,
# $demo_wine and the SAMPLE_* account of 10-sample-account.sh):
# chatlog-export.exe of the build shown (the 32-bit one that ships, where the
# machine runs it), under Wine, takes the sample account out as web pages and
# as one CSV file, and searches it.
set -euo pipefail
. scripts/wine-env.sh
export_dir=$out/export
export_exe="$demo_build/exporter/chatlog-export.exe"
account=$SAMPLE_CLIENT_DIR/$SAMPLE_OWNER_KEY
rm -rf "$export_dir"
mkdir -p "$export_dir"
wine_env_start "$demo_build" >/dev/null
trap wine_env_stop EXIT
run() { "$demo_wine" "$export_exe" "$@"; }
echo "export: $export_exe"
run "$account" --format html -o "$export_dir/pages/"
run "$account" --format csv -o "$export_dir/account.csv"
echo "export: web pages in $export_dir/pages (open index.html), CSV in $export_dir/account.csv"
echo "export: a search for \"see you\" (the first three hits):"
run "$account" --grep "see you" | sed -n "1,3s/^/export:   /p"
