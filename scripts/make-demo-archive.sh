#!/usr/bin/env bash
# Makes the demo archive from resources/demo and the generated binary entries.
#   scripts/make-demo-archive.sh BUILD_DIR OUT.big
# Entry names are the paths below the demo folder (art\textures\..., data\ini\..., readme.txt),
# so the model finds its texture under art\textures\ as in a game archive.
set -euo pipefail
cd "$(dirname "$0")/.."

build=$1
out=$2
files="$build/demo-files"
rm -rf "$files"
mkdir -p "$files"
cp -R resources/demo/. "$files/"
"$build/bin/kestrel-demo-files" "$files"
"$build/bin/kestrel-big" pack "$files" "$out" --base "$files" --quiet
