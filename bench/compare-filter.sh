#!/usr/bin/env bash
# velnor-cli filter against the fastest npm minifier and a one-pass byte filter,
# whole process, side by side in one hyperfine run, plus peak memory.
#
#   bash bench/compare-filter.sh [CORPUS] [PEERS_DIR]
#
# CORPUS (default /tmp/velnor-corpus) is made by ../shared/bench/make-corpus.sh;
# PEERS_DIR (default /tmp/velnor-peers) holds the peers' node_modules, installed
# by ../shared/bench/run-peers.sh (or `npm install` of its peers/package.json).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-/tmp/velnor-corpus}
peers=${2:-/tmp/velnor-peers}
shared_peers=$root/../shared/bench/peers
cli=${CLI:-$root/build/bin/velnor-cli}
big=$corpus/big.html
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

[ -x "$cli" ] || { echo "build first: cmake --build build --target velnor-cli" >&2; exit 1; }
cat "$big" > /dev/null
export PEERS_DIR=$peers
hyperfine --warmup 2 --runs "${RUNS:-10}" --style basic --export-json "$out/filter.json" \
  -n velnor-cli "$cli filter $big > $out/velnor.html" \
  -n "tr -d" "tr -d '\n\r\t ' < $big > $out/tr.out" \
  -n "@minify-html/node" "node $shared_peers/minify-file.mjs @minify-html/node $big $out/peer.html"
python3 "$root/bench/medians.py" "$out/filter.json"
/usr/bin/time -f 'velnor-cli filter peak RSS: %M KiB' "$cli" filter "$big" > /dev/null
echo "big.html: $(stat -c %s "$big") bytes"
