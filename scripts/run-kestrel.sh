#!/usr/bin/env bash
# Builds Kestrel (release) and opens it on a demo archive the build makes from files the project
# wrote itself: the texts in resources/demo and the images, model and binary entry that
# kestrel-demo-files generates.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh build

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_BUILD_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"

bash scripts/make-demo-archive.sh "$build" "$build/demo.big"
if [[ -x "$build/bin/kestrel" ]]; then
  exec "$build/bin/kestrel" "$build/demo.big"
fi
"$build/bin/kestrel-big" info "$build/demo.big"
exec "$build/bin/kestrel-big" list --long "$build/demo.big"
