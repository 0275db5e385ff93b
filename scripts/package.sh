#!/usr/bin/env bash
# Builds the Debian package dist/velnor_<version>_amd64.deb: a release build of
# the two programs (build-package/) with Debian's hardening flags, installed
# under /usr and packed by CPack.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build linux package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELNOR_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
# Only the programs: the package holds nothing else that is built.
cmake --build build-package -j "$(nproc)" --target velnor velnor-cli
cpack --config build-package/CPackConfig.cmake -B build-package/cpack \
  -D CPACK_OUTPUT_FILE_PREFIX="$PWD/dist"
