#!/usr/bin/env bash
# Measure the peer minifiers and the physical baselines on the corpus made by
# make-corpus.sh. Peers and baselines run alternately: each round is one
# hyperfine call that runs every command once (order rotated per round), so
# slow drift of a noisy machine hits every command alike.
#
#   bash bench/run-peers.sh
#
# Environment (all optional):
#   CORPUS     corpus folder with real/ and big.html   (default: /tmp/velnor-corpus)
#   PEERS_DIR  folder holding node_modules of the peers (default: /tmp/velnor-peers;
#              installed there from bench/peers/package.json if missing)
#   OUT        scratch folder for outputs and results   (default: /tmp/velnor-peers-out)
#   RUNS       rounds                                    (default: 5)
#
# Result: OUT/summary.md (the table), OUT/round-N.json (hyperfine), OUT/calls.jsonl.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
CORPUS=${CORPUS:-/tmp/velnor-corpus}
[ -f "$CORPUS/big.html" ] && [ -d "$CORPUS/real" ] || { echo "no corpus in $CORPUS: run bench/make-corpus.sh first" >&2; exit 1; }
CORPUS=$(cd "$CORPUS" && pwd)
PEERS_DIR=${PEERS_DIR:-/tmp/velnor-peers}
OUT=${OUT:-/tmp/velnor-peers-out}
RUNS=${RUNS:-5}
PEERS=(html-minifier-terser html-crush @minify-html/node @swc/html)

command -v hyperfine >/dev/null || { echo "no hyperfine: run bash bench/setup.sh first" >&2; exit 1; }
if [ ! -d "$PEERS_DIR/node_modules/html-crush" ]; then
  mkdir -p "$PEERS_DIR"
  [ "$(cd "$PEERS_DIR" && pwd)" = "$HERE/peers" ] || cp "$HERE/peers/package.json" "$PEERS_DIR/"
  (cd "$PEERS_DIR" && npm install --no-package-lock --no-audit --no-fund)
fi
export PEERS_DIR=$(cd "$PEERS_DIR" && pwd)

mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
# Remove only what an earlier run left here.
rm -rf "$OUT"/round-*.json "$OUT"/calls.jsonl "$OUT"/sizes.json "$OUT"/summary.md "$OUT"/tr.out \
  "$OUT"/cp-tree "$OUT"/tree-* "$OUT"/big.*.html "$OUT"/warm.html
LOG=$OUT/calls.jsonl
S=$HERE/peers
q() { printf '%q' "$1"; }
slug() { printf '%s' "$1" | tr -c 'A-Za-z0-9.-' '_'; }

# name | prepare | command
cmds=()
cmds+=("base:cat|true|cat $(q "$CORPUS/big.html") > /dev/null")
cmds+=("base:tr|true|tr -d '\\n\\r\\t ' < $(q "$CORPUS/big.html") > $(q "$OUT/tr.out")")
cmds+=("base:cp-r|rm -rf $(q "$OUT/cp-tree")|cp -r $(q "$CORPUS/real") $(q "$OUT/cp-tree")")
cmds+=("tree:none|rm -rf $(q "$OUT/tree-none")|node $(q "$S/minify-tree.mjs") none $(q "$CORPUS/real") $(q "$OUT/tree-none") --log $(q "$LOG")")
for p in "${PEERS[@]}"; do
  s=$(slug "$p")
  cmds+=("file:$p|true|node $(q "$S/minify-file.mjs") $(q "$p") $(q "$CORPUS/big.html") $(q "$OUT/big.$s.html") --log $(q "$LOG")")
  cmds+=("tree:$p|rm -rf $(q "$OUT/tree-$s")|node $(q "$S/minify-tree.mjs") $(q "$p") $(q "$CORPUS/real") $(q "$OUT/tree-$s") --log $(q "$LOG")")
done

# Warm the page cache and each peer's module files; nothing here is recorded.
find "$CORPUS" -type f -exec cat {} + > /dev/null
for p in "${PEERS[@]}"; do
  node "$S/minify-file.mjs" "$p" "$CORPUS/real/git-doc/git.html" "$OUT/warm.html" > /dev/null
done

n=${#cmds[@]}
for r in $(seq 1 "$RUNS"); do
  # hyperfine takes -n and --prepare once per command, in command order.
  names=() preps=() commands=()
  for i in $(seq 0 $((n - 1))); do
    IFS='|' read -r name prep cmd <<< "${cmds[$(( (i + r - 1) % n ))]}"
    names+=(-n "$name"); preps+=(--prepare "$prep"); commands+=("$cmd")
  done
  echo "== round $r/$RUNS"
  hyperfine --runs 1 --style basic "${names[@]}" "${preps[@]}" --export-json "$OUT/round-$r.json" "${commands[@]}"
done

big=$(stat -c %s "$CORPUS/big.html")
tree_files=$(find "$CORPUS/real" -type f \( -iname '*.htm' -o -iname '*.html' -o -iname '*.asp' \) | wc -l)
tree_bytes=$(find "$CORPUS/real" -type f \( -iname '*.htm' -o -iname '*.html' -o -iname '*.asp' \) -exec cat {} + | wc -c)
tr_bytes=$(stat -c %s "$OUT/tr.out")
printf '{"big_bytes":%s,"tree_files":%s,"tree_bytes":%s,"tr_bytes":%s}\n' "$big" "$tree_files" "$tree_bytes" "$tr_bytes" > "$OUT/sizes.json"

{
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), node $(node --version), $(hyperfine --version)"
  node "$S/summarize.mjs" "$OUT"
} | tee "$OUT/summary.md"
