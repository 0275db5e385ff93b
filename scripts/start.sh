#!/usr/bin/env bash
# Builds Velnor and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build linux
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target velnor
exec build/bin/velnor
