#!/usr/bin/env bash
# Makes the README's pictures from zbuffer-render frames at half size, side by
# side, named: docs/shade-models.png, the teapot in each shade model,
# docs/texture-and-shadows.png, a textured teapot and shadows, and
# docs/vertex-colors.png, a painted teapot (make_teapot --colors) lit by its
# vertex colours.
# Needs ImageMagick's montage (tools/install-deps.sh test).
# Usage: tools/make-readme-picture.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target zbuffer-render make_teapot >/dev/null
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
for shade in flat gouraud phong cartoon; do
    "$build/zbuffer-render" data/teapot.ply --shade "$shade" --out "$frames/$shade.png" >/dev/null
done
montage -label '%t' "$frames"/{flat,gouraud,phong,cartoon}.png -tile 4x1 -geometry 240x240+2+2 \
    -background white -strip PNG8:docs/shade-models.png
echo "wrote docs/shade-models.png"

"$build/zbuffer-render" --texture data/checker.png --shade phong --out "$frames/textured.png" >/dev/null
"$build/zbuffer-render" --shadows --angle 200 --out "$frames/self-shadowed.png" >/dev/null
"$build/zbuffer-render" data/shadow_scene.ply --shadows --shade phong --out "$frames/shadowed.png" >/dev/null
montage -label '%t' "$frames"/{textured,self-shadowed,shadowed}.png -tile 3x1 -geometry 240x240+2+2 \
    -background white -strip PNG24:docs/texture-and-shadows.png
echo "wrote docs/texture-and-shadows.png"

painted="$frames/painted.ply"
"$build/make_teapot" 10 ascii data/teapot-patches.txt "$painted" --colors
"$build/zbuffer-render" "$painted" --shade phong --out "$frames/material.png" >/dev/null
"$build/zbuffer-render" "$painted" --unlit --out "$frames/unlit.png" >/dev/null
for shade in flat gouraud phong cartoon; do
    "$build/zbuffer-render" "$painted" --shade "$shade" --vertex-colors --out "$frames/by-$shade.png" >/dev/null
done
montage -label 'phong' "$frames/material.png" -label 'unlit' "$frames/unlit.png" \
    -label 'flat, vertex colours' "$frames/by-flat.png" -label 'gouraud, vertex colours' "$frames/by-gouraud.png" \
    -label 'phong, vertex colours' "$frames/by-phong.png" -label 'cartoon, vertex colours' "$frames/by-cartoon.png" \
    -tile 6x1 -geometry 240x240+2+2 -background white -strip PNG24:docs/vertex-colors.png
echo "wrote docs/vertex-colors.png"
