#!/usr/bin/env bash
# velnor-cli filter against a one-pass byte filter (tr) and the fastest npm
# minifier, whole process, side by side: cold (the page evicted from the page
# cache and a pause before every run, no warm-up), warm, and on a 500 MB page
# made for the purpose and deleted after, with its peak memory.
#
#   bash bench/compare-filter.sh [CORPUS] [PEERS_DIR]
#
# CORPUS (default /tmp/velnor-corpus) and PEERS_DIR (default /tmp/velnor-peers)
# are set up by bench/setup.sh. CLI names the velnor-cli to measure (default
# build-release/bin/velnor-cli); OTHERS, if set, other builds measured beside
# it, as space-separated NAME=PATH pairs. RUNS rounds (default 10): each round
# runs every command once, in an order turned by one each round, so a load
# that comes and goes on the machine falls on all of them alike.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-/tmp/velnor-corpus}
peers=${2:-/tmp/velnor-peers}
peers_scripts=$root/bench/peers
cli=${CLI:-$root/build-release/bin/velnor-cli}
big=$corpus/big.html
out=$(mktemp -d)
huge=$(mktemp /tmp/velnor-500m-XXXXXX.html)
trap 'rm -rf "$out" "$huge"' EXIT
[ -x "$cli" ] || { echo "build first: bash bench/setup.sh" >&2; exit 1; }
export PEERS_DIR=$peers

# rounds NAME PAGE [hyperfine options...]: the commands on PAGE, RUNS rounds.
rounds() {
  local name=$1 page=$2
  shift 2
  local names=(velnor-cli "tr -d") cmds=("$cli filter $page > $out/velnor.html"
                                         "tr -d '\n\r\t ' < $page > $out/tr.out")
  # The other builds may read the page whole: not the 500 MB one.
  [ "$name" = huge ] || for other in ${OTHERS:-}; do
    names+=("${other%%=*}")
    cmds+=("${other#*=} filter $page > $out/other.html")
  done
  if [ "$name" = warm ]; then
    names+=("@minify-html/node")
    cmds+=("node $peers_scripts/minify-file.mjs @minify-html/node $page $out/peer.html")
  fi
  local n=${#names[@]} r k args
  for r in $(seq "${RUNS:-10}"); do
    args=()
    for k in $(seq 0 $((n - 1))); do
      args+=(-n "${names[$(((k + r) % n))]}" "${cmds[$(((k + r) % n))]}")
    done
    hyperfine --runs 1 --style none --export-json "$out/$name-$r.json" "$@" "${args[@]}" > /dev/null
  done
  python3 "$root/bench/medians.py" "$out/$name"-*.json
}

echo "## cold: $big evicted from the page cache, then 1 s pause, before every run"
# dd's nocache drops only this file's pages, not the rest of the machine's cache.
rounds cold "$big" --prepare "dd if=$big iflag=nocache count=0 status=none; sleep 1"

echo "## warm: one warm-up run of each command in every round"
rounds warm "$big" --warmup 1

echo "## 500 MB page: 24 copies of big.html, warm"
for _ in $(seq 24); do cat "$big"; done > "$huge"
RUNS=${HUGE_RUNS:-5} rounds huge "$huge"
echo "big.html: $(stat -c %s "$big") bytes; 500 MB page: $(stat -c %s "$huge") bytes"
/usr/bin/time -f 'velnor-cli filter big.html: %M KiB peak RSS' "$cli" filter "$big" > /dev/null
/usr/bin/time -f 'velnor-cli filter 500 MB page: %M KiB peak RSS' "$cli" filter "$huge" > /dev/null
/usr/bin/time -f 'tr -d on the 500 MB page: %M KiB peak RSS' tr -d '\n\r\t ' < "$huge" > /dev/null
