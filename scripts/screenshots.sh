#!/usr/bin/env bash
# Renders the main window showing an INI entry, an image and a model of the demo archive under
# Xvfb into docs/screenshots/ (the pictures in the README).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_BUILD_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)" --target kestrel kestrel-big kestrel-demo-files kestrel-screenshots

bash scripts/make-demo-archive.sh "$build" "$build/demo.big"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bin/kestrel-screenshots" "$build/demo.big" docs/screenshots \
  'data\ini\object\kestreldemo.ini=ini-entry.png' \
  'art\textures\demo_checker.tga=image-entry.png' \
  'art\w3d\demo_box.w3d=model-entry.png'
echo "Screenshots written to docs/screenshots/"
