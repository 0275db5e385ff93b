#!/usr/bin/env bash
# Cross-builds Velnor for 64-bit Windows into build-win/ (programs in
# build-win/bin/) and puts into dist/ what the build packages
# (packaging/windows/): velnor-1.0.0-win64.zip, with the two programs
# stripped, LICENSE.txt and README-Windows.txt, and the installer
# velnor-1.0.0-setup.exe made of the same files. The programs need no DLL
# beyond Windows' own.
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
cp build-win/package/* "$stage/velnor-$version/"
mkdir -p dist
rm -f "dist/velnor-$version-win64.zip"
(cd "$stage" && zip -q -r -X - "velnor-$version") >"dist/velnor-$version-win64.zip"
cp "build-win/velnor-$version-setup.exe" dist/
echo "dist/velnor-$version-win64.zip"
echo "dist/velnor-$version-setup.exe"
