#!/usr/bin/env bash
# Builds the Debian package build/package/kestrel_<version>_amd64.deb from a Release build of its
# own (warnings as errors, as everywhere), installed under /usr. Install it with
#   sudo apt install ./build/package/kestrel_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh package

build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DKESTREL_WERROR=ON -DKESTREL_SANITIZE=OFF -DKESTREL_BUILD_TESTS=OFF -DKESTREL_BUILD_BENCH=OFF
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/kestrel_*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/kestrel_*.deb
