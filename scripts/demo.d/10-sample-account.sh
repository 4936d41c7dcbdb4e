# Demo step (run by scripts/demo.sh, which passes $out and the SAMPLE_*
# account): a generated account in $SAMPLE_CLIENT_DIR, the folder that plays
# the client's install folder. The viewer is later started there, so its
# current directory holds the account.
set -euo pipefail
cmake --preset host >/dev/null
cmake --build --preset host --target chatlog-writer >/dev/null
rm -rf "$SAMPLE_CLIENT_DIR"
mkdir -p "$SAMPLE_CLIENT_DIR"
build/host/tools/chatlog_writer/chatlog-writer --dir "$SAMPLE_CLIENT_DIR" \
  --owner "$SAMPLE_OWNER_FIRST:$SAMPLE_OWNER_SECOND" \
  --friends 6 --messages 36 --big-friend 20000 --seed 7 | sed 's/^/sample account: /'
echo "sample account: client folder $SAMPLE_CLIENT_DIR"
echo "sample account: owner key $SAMPLE_OWNER_KEY (the client sends 1026 with wParam $SAMPLE_OWNER_FIRST, lParam $SAMPLE_OWNER_SECOND)"
