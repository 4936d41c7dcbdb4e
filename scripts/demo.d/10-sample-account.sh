# Demo step (sourced by scripts/demo.sh with $out set): a generated account
# in $out/client, the folder that plays the client's install folder. The
# viewer is later started there, so its current directory holds the account.
sample_client=$out/client
sample_owner_first=1
sample_owner_second=23456789
cmake --preset host >/dev/null
cmake --build --preset host --target chatlog-writer >/dev/null
rm -rf "$sample_client"
mkdir -p "$sample_client"
build/host/tools/chatlog_writer/chatlog-writer --dir "$sample_client" \
  --owner "$sample_owner_first:$sample_owner_second" \
  --friends 6 --messages 36 --big-friend 20000 --seed 7 | sed 's/^/sample account: /'
sample_owner_key=$sample_owner_first$sample_owner_second
echo "sample account: client folder $sample_client"
echo "sample account: owner key $sample_owner_key (the client sends 1026 with wParam $sample_owner_first, lParam $sample_owner_second)"
export SAMPLE_CLIENT_DIR=$sample_client SAMPLE_OWNER_KEY=$sample_owner_key \
  SAMPLE_OWNER_FIRST=$sample_owner_first SAMPLE_OWNER_SECOND=$sample_owner_second
