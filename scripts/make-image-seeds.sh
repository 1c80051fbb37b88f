#!/usr/bin/env bash
# Regenerates the image fuzzers' seed corpus (fuzz/image/corpus) from pictures the seed program
# builds itself. Uses the fuzz build folder, configuring it when needed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/fuzz
if [[ ! -f "$build/build.ninja" ]]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_BUILD_FUZZ=ON -DKESTREL_SANITIZE=ON \
    -DKESTREL_BUILD_TESTS=OFF -DKESTREL_BUILD_APP=OFF
fi
cmake --build "$build" --target kestrel_image_seeds
rm -rf fuzz/image/corpus
"$build/bin/kestrel_image_seeds" fuzz/image/corpus
find fuzz/image/corpus -type f | sort
