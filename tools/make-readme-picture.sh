#!/usr/bin/env bash
# Makes the README's pictures from zbuffer-render frames at half size, side by
# side, named: docs/shade-models.png, the teapot in each shade model,
# docs/texture-and-shadows.png, a textured teapot and shadows,
# docs/imported-meshes.png, meshes of other kinds made here and read through
# the import, docs/vertex-colors.png, a painted teapot (make_teapot --colors)
# lit by its vertex colours, and docs/zbuffer-view.png, a screenshot of
# zbuffer-view's window on a private X server; then those of
# docs/pipeline.md: docs/pipeline-views.png, the teapot's frame 0 shaded and
# in the four views (--show), and docs/pipeline-three-triangles.png, the
# middle of docs/three-triangles.ply (unlit) magnified six times, with the
# pixel whose history the page explains outlined.
# Needs ImageMagick's montage and the URW fonts of its labels, Xvfb and
# xdotool (tools/install-deps.sh test).
# Usage: tools/make-readme-picture.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target zbuffer-render zbuffer-view make_teapot >/dev/null
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

# Meshes the import reads, all made here: the teapot as OBJ; a torus as ASCII
# STL, y up, small and far from the origin; a cloud of coloured points, a
# trefoil knot, as PLY without faces.
"$build/make_teapot" 12 obj data/teapot-patches.txt "$frames/teapot.obj"
awk 'BEGIN {
    pi = atan2(0, -1); n = 48; m = 24
    print "solid torus"
    for (i = 0; i < n; i++) for (j = 0; j < m; j++) {
        for (k = 0; k < 4; k++) {
            a = 2 * pi * (i + (k == 1 || k == 2)) / n; b = 2 * pi * (j + (k >= 2)) / m
            x[k] = 0.003 + (0.03 + 0.01 * cos(b)) * cos(a); y[k] = -0.02 + 0.01 * sin(b)
            z[k] = 0.5 + (0.03 + 0.01 * cos(b)) * sin(a)
        }
        split("0 1 2 0 2 3", order, " ")
        for (t = 0; t < 2; t++) {
            print "facet normal 0 0 0\nouter loop"
            for (c = 1; c <= 3; c++) { k = order[3 * t + c]; print "vertex", x[k], y[k], z[k] }
            print "endloop\nendfacet"
        }
    }
    print "endsolid torus"
}' >"$frames/torus.stl"
awk 'BEGIN {
    pi = atan2(0, -1); n = 30000
    print "ply\nformat ascii 1.0\ncomment a trefoil knot of points, made by make-readme-picture.sh"
    print "element vertex " n
    print "property float x\nproperty float y\nproperty float z"
    print "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header"
    srand(7)
    for (i = 0; i < n; i++) {
        t = 2 * pi * i / n; a = 2 * pi * rand(); r = 0.35 * sqrt(rand())
        cx = sin(t) + 2 * sin(2 * t); cy = cos(t) - 2 * cos(2 * t); cz = -sin(3 * t)
        printf "%.5f %.5f %.5f %d %d %d\n", cx + r * cos(a), cy + r * sin(a), cz + r * cos(a + t),
            128 + 127 * sin(t), 128 + 127 * sin(t + 2.1), 128 + 127 * sin(t + 4.2)
    }
}' >"$frames/knot.ply"
"$build/zbuffer-render" "$frames/teapot.obj" --import --fit --shade phong --out "$frames/teapot-obj.png" >/dev/null
"$build/zbuffer-render" "$frames/torus.stl" --import --fit --up y --angle 30 --out "$frames/torus-stl.png" >/dev/null
"$build/zbuffer-render" "$frames/knot.ply" --import --fit --unlit --out "$frames/points-ply.png" >/dev/null
montage -label '%t' "$frames"/{teapot-obj,torus-stl,points-ply}.png -tile 3x1 -geometry 240x240+2+2 \
    -background white -strip PNG24:docs/imported-meshes.png
echo "wrote docs/imported-meshes.png"

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

# The viewer turned by a drag from its first view and brought nearer by two
# notches of the wheel, the turn still.
tools/with-xvfb.sh bash -c '
    "$1" data/teapot.ply --shade phong --size 640x400 --turn 0 >/dev/null &
    window=$(xdotool search --sync --name "^zbuffer-view: ")
    xdotool windowmove --sync "$window" 0 0
    xdotool mousemove --window "$window" 320 200 mousedown 1 mousemove --window "$window" 280 230 \
        mouseup 1 click --repeat 2 4
    sleep 1
    import -window "$window" -strip PNG24:docs/zbuffer-view.png
    kill %1' - "$build/zbuffer-view"
echo "wrote docs/zbuffer-view.png"

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
