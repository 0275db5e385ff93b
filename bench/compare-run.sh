#!/usr/bin/env bash
# velnor-cli run over a tree of real pages (fsync included) against the fastest
# npm minifier's tree mode and a plain `cp -r`, whole process, side by side.
#
#   bash bench/compare-run.sh [CORPUS] [PEERS_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-/tmp/velnor-corpus}
peers=${2:-/tmp/velnor-peers}
peers_scripts=$root/bench/peers
cli=${CLI:-$root/build/bin/velnor-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -x "$cli" ] || { echo "build first: cmake --build build --target velnor-cli" >&2; exit 1; }
find "$corpus/real" -type f -exec cat {} + > /dev/null
export PEERS_DIR=$peers
hyperfine --runs "${RUNS:-5}" --style basic --export-json "$work/run.json" \
  -n "velnor-cli run" --prepare "rm -rf $work/tree && cp -r $corpus/real $work/tree && sync" \
  "$cli run --no-backup --yes $work/tree" \
  -n "@minify-html/node tree" --prepare "rm -rf $work/peer && sync" \
  "node $peers_scripts/minify-tree.mjs @minify-html/node $corpus/real $work/peer" \
  -n "cp -r" --prepare "rm -rf $work/copy && sync" \
  "cp -r $corpus/real $work/copy"
python3 "$root/bench/medians.py" "$work/run.json"
