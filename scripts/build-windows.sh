#!/usr/bin/env bash
# Cross-builds Velnor for 64-bit Windows into build-win/ (programs in
# build-win/bin/) and packs dist/velnor-1.0.0-win64.zip: the programs, stripped,
# and the README. The programs need no DLL beyond Windows' own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build windows

cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELNOR_WERROR=ON
cmake --build build-win -j "$(nproc)"

version=$(sed -n 's/^project(Velnor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/velnor-$version"
for program in build-win/bin/*.exe; do
  x86_64-w64-mingw32-strip -o "$stage/velnor-$version/$(basename "$program")" "$program"
done
cp README.md "$stage/velnor-$version/"
mkdir -p dist
rm -f "dist/velnor-$version-win64.zip"
(cd "$stage" && zip -q -r -X - "velnor-$version") >"dist/velnor-$version-win64.zip"
echo "dist/velnor-$version-win64.zip"
