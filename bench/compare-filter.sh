#!/usr/bin/env bash
# velnor-cli filter against a one-pass byte filter (tr) and the fastest npm
# minifier, whole process, side by side: cold (the page evicted from the page
# cache and a pause before every run, no warm-up), then warm; then peak memory
# on a 500 MB page made for the purpose and deleted after.
#
#   bash bench/compare-filter.sh [CORPUS] [PEERS_DIR]
#
# CORPUS (default /tmp/velnor-corpus) and PEERS_DIR (default /tmp/velnor-peers)
# are set up by bench/setup.sh. CLI names the velnor-cli to measure (default
# build-release/bin/velnor-cli); OTHERS, if set, other builds measured beside
# it, as space-separated NAME=PATH pairs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-/tmp/velnor-corpus}
peers=${2:-/tmp/velnor-peers}
shared_peers=$root/../shared/bench/peers
cli=${CLI:-$root/build-release/bin/velnor-cli}
big=$corpus/big.html
out=$(mktemp -d)
huge=$(mktemp /tmp/velnor-500m-XXXXXX.html)
trap 'rm -rf "$out" "$huge"' EXIT

[ -x "$cli" ] || { echo "build first: bash bench/setup.sh" >&2; exit 1; }
commands=(-n velnor-cli "$cli filter $big > $out/velnor.html"
          -n "tr -d" "tr -d '\n\r\t ' < $big > $out/tr.out")
for other in ${OTHERS:-}; do
  commands+=(-n "${other%%=*}" "${other#*=} filter $big > $out/${other%%=*}.html")
done

echo "## cold: $big evicted from the page cache, then 1 s pause, before every run"
# dd's nocache drops only this file's pages, not the rest of the machine's cache.
hyperfine --runs "${RUNS:-10}" --style basic --export-json "$out/cold.json" \
  --prepare "dd if=$big iflag=nocache count=0 status=none; sleep 1" "${commands[@]}"
python3 "$root/bench/medians.py" "$out/cold.json"

echo "## warm"
cat "$big" > /dev/null
export PEERS_DIR=$peers
hyperfine --warmup 2 --runs "${RUNS:-10}" --style basic --export-json "$out/warm.json" \
  "${commands[@]}" \
  -n "@minify-html/node" "node $shared_peers/minify-file.mjs @minify-html/node $big $out/peer.html"
python3 "$root/bench/medians.py" "$out/warm.json"

echo "## peak memory"
for _ in $(seq 24); do cat "$big"; done > "$huge"
echo "big.html: $(stat -c %s "$big") bytes; 500 MB page: $(stat -c %s "$huge") bytes"
/usr/bin/time -f 'velnor-cli filter big.html: %M KiB peak RSS' "$cli" filter "$big" > /dev/null
/usr/bin/time -f 'velnor-cli filter 500 MB page: %M KiB peak RSS, %e s' "$cli" filter "$huge" > /dev/null
/usr/bin/time -f 'tr -d on the 500 MB page: %M KiB peak RSS, %e s' tr -d '\n\r\t ' < "$huge" > /dev/null
