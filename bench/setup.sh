#!/usr/bin/env bash
# Sets up everything the benchmarks need, skipping what is already there: the
# build's packages with hyperfine and Google Benchmark (scripts/packages.txt),
# Node.js, the peer minifiers from npm, the corpus of real pages (with
# big.html), and a Release build in build-release.
#
#   bash bench/setup.sh [CORPUS] [PEERS_DIR]
#
# CORPUS defaults to /tmp/velnor-corpus, PEERS_DIR to /tmp/velnor-peers; the
# comparison scripts take the same defaults.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-/tmp/velnor-corpus}
peers=${2:-/tmp/velnor-peers}

bash "$root/scripts/setup.sh" build linux bench
# node may come from elsewhere with npm inside: ask for Debian's only when either is missing.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends nodejs npm
fi

if [ ! -f "$corpus/big.html" ] || [ ! -d "$corpus/real" ]; then
  bash "$root/bench/make-corpus.sh" "$corpus"
fi

if [ ! -d "$peers/node_modules/@minify-html/node" ]; then
  mkdir -p "$peers"
  cp "$root/bench/peers/package.json" "$peers/"
  (cd "$peers" && npm install --no-package-lock --no-audit --no-fund)
fi

cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELNOR_BENCH=ON
nice cmake --build "$root/build-release" --target velnor-cli velnor_bench velnor_run_bench
