#!/usr/bin/env bash
# Sets up everything the benchmarks need, skipping what is already there:
# hyperfine and Google Benchmark from Debian, the peer minifiers from npm, the
# corpus of real pages (with big.html), and a Release build in build-release.
#
#   bash bench/setup.sh [CORPUS] [PEERS_DIR]
#
# CORPUS defaults to /tmp/velnor-corpus, PEERS_DIR to /tmp/velnor-peers; the
# comparison scripts take the same defaults.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-/tmp/velnor-corpus}
peers=${2:-/tmp/velnor-peers}
shared=$root/../shared/bench

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
missing=()
for p in hyperfine libbenchmark-dev time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# node may come from elsewhere with npm inside: ask for Debian's only when both are missing.
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)
updated=0
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -q
  updated=1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ ! -f "$corpus/big.html" ] || [ ! -d "$corpus/real" ]; then
  SKIP_APT_UPDATE=$updated bash "$shared/make-corpus.sh" "$corpus"
fi

if [ ! -d "$peers/node_modules/@minify-html/node" ]; then
  mkdir -p "$peers"
  cp "$shared/peers/package.json" "$peers/"
  (cd "$peers" && npm install --no-package-lock --no-audit --no-fund)
fi

cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release
nice cmake --build "$root/build-release" --target velnor-cli velnor_bench velnor_run_bench
