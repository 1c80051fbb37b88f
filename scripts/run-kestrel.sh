#!/usr/bin/env bash
# Builds Kestrel (release) and opens it on a demo archive the build makes from files in
# resources/demo. Until the windowed program exists, the command-line tool shows the demo archive.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh build

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_BUILD_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"

demo="$build/demo.big"
# --base keeps the demo folder's own name out of the entry names (data\ini\..., not demo\data\...).
"$build/bin/kestrel-big" pack resources/demo "$demo" --base resources/demo --quiet
if [[ -x "$build/bin/kestrel" ]]; then
  exec "$build/bin/kestrel" "$demo"
fi
"$build/bin/kestrel-big" info "$demo"
exec "$build/bin/kestrel-big" list --long "$demo"
