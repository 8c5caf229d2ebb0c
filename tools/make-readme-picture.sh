#!/usr/bin/env bash
# Makes docs/shade-models.png, the README's picture of the teapot in each
# shade model: four zbuffer-render frames at half size, side by side, named.
# Needs ImageMagick's montage (tools/install-deps.sh test).
# Usage: tools/make-readme-picture.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target zbuffer-render >/dev/null
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
for shade in flat gouraud phong cartoon; do
    "$build/zbuffer-render" data/teapot.ply --shade "$shade" --out "$frames/$shade.png" >/dev/null
done
montage -label '%t' "$frames"/{flat,gouraud,phong,cartoon}.png -tile 4x1 -geometry 240x240+2+2 \
    -background white -strip PNG8:docs/shade-models.png
echo "wrote docs/shade-models.png"
