#!/usr/bin/env bash
# Writes the fuzzer's seed corpus (tests/chatlog/fuzz/corpus) from the chat
# log writer: a few small friend logs and every damaged entry.
set -euo pipefail
cd "$(dirname "$0")/../../../.."
cmake --preset host >/dev/null
cmake --build --preset host --target chatlog-writer >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
build/host/tools/chatlog_writer/chatlog-writer --dir "$tmp" --friends 2 --messages 6 --damaged --quiet >/dev/null
out=tests/chatlog/fuzz/corpus
rm -rf "$out"; mkdir -p "$out"
n=0
for f in "$tmp"/*/ChatLog/* "$tmp"/*/ChatLog/.dat; do
  [ -f "$f" ] || continue
  n=$((n + 1))
  cp "$f" "$out/seed-$(printf %02d $n)"
done
echo "corpus: $n seeds in $out"
