#!/usr/bin/env bash
# Makes the README's pictures from zbuffer-render frames at half size, side by
# side, named: docs/shade-models.png, the teapot in each shade model, and
# docs/texture-and-shadows.png, a textured teapot and shadows; then those of
# docs/pipeline.md: docs/pipeline-views.png, the teapot's frame 0 shaded and
# in the four views (--show), and docs/pipeline-three-triangles.png, the
# middle of docs/three-triangles.ply (unlit) magnified six times, with the
# pixel whose history the page explains outlined.
# Needs ImageMagick (tools/install-deps.sh test).
# Usage: tools/make-readme-picture.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target zbuffer-render >/dev/null
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
render() { "$build/zbuffer-render" "$@" >/dev/null; }
for shade in flat gouraud phong cartoon; do
    render data/teapot.ply --shade "$shade" --out "$frames/$shade.png"
done
montage -label '%t' "$frames"/{flat,gouraud,phong,cartoon}.png -tile 4x1 -geometry 240x240+2+2 \
    -background white -strip PNG8:docs/shade-models.png
echo "wrote docs/shade-models.png"

render --texture data/checker.png --shade phong --out "$frames/textured.png"
render --shadows --angle 200 --out "$frames/self-shadowed.png"
render data/shadow_scene.ply --shadows --shade phong --out "$frames/shadowed.png"
montage -label '%t' "$frames"/{textured,self-shadowed,shadowed}.png -tile 3x1 -geometry 240x240+2+2 \
    -background white -strip PNG24:docs/texture-and-shadows.png
echo "wrote docs/texture-and-shadows.png"

render data/teapot.ply --out "$frames/shaded.png"
for view in depth overdraw faces stages; do
    render data/teapot.ply --show "$view" --out "$frames/$view.png"
done
montage -label '%t' "$frames"/{shaded,depth,overdraw,faces,stages}.png -tile 5x1 \
    -geometry 240x240+2+2 -background white -strip PNG24:docs/pipeline-views.png
echo "wrote docs/pipeline-views.png"

# 52 x 52 pixels about the frame's centre, each shown as 6 x 6; pixel
# (250, 251) is 36 right of and 37 below the crop's corner.
mesh=docs/three-triangles.ply
render "$mesh" --unlit --out "$frames/full-shaded.png"
for view in faces overdraw stages; do
    render "$mesh" --unlit --show "$view" --out "$frames/full-$view.png"
done
for picture in shaded faces overdraw stages; do
    convert "$frames/full-$picture.png" -crop 52x52+214+214 +repage -scale 600% \
        "$frames/$picture.png"
done
convert "$frames/shaded.png" -fill none -stroke white -draw "rectangle 215,221 222,228" \
    "$frames/shaded.png"
montage -label '%t' "$frames"/{shaded,faces,overdraw,stages}.png -tile 4x1 -geometry +2+2 \
    -background white -strip PNG24:docs/pipeline-three-triangles.png
echo "wrote docs/pipeline-three-triangles.png"
