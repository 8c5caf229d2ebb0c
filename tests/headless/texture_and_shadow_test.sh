#!/usr/bin/env bash
# zbuffer-render's --texture and --shadows on bad input: a texture that cannot
# be read ends the run with status 1, one line naming the file and the reason,
# and no picture; a light standing inside the mesh still renders, with one
# warning however many frames.
# Usage: texture_and_shadow_test.sh ZBUFFER_RENDER MESH
set -euo pipefail
render=$1 mesh=$2
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

run 1 "$mesh" --texture "$work/missing.png" --out "$work/x.png"
[ "$(cat "$work/err")" = "zbuffer-render: cannot read texture $work/missing.png: No such file or directory" ] ||
    fail "missing texture: $(cat "$work/err")"
[ ! -s "$work/out" ] || fail "a missing texture still loaded the mesh"

cp "$mesh" "$work/mesh.png"
run 1 "$mesh" --texture "$work/mesh.png" --out "$work/x.png"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "not one line: $(cat "$work/err")"
grep -q "^zbuffer-render: cannot read texture $work/mesh.png: ." "$work/err" || fail "not a PNG: $(cat "$work/err")"
[ ! -e "$work/x.png" ] || fail "a failed texture wrote a picture"

# A box of half-size 1 about (1.44875, 0.724375, 1.44875): light 0 stands at
# (d, d / 2, d) with d = 1.44875 for this size, right at the box's centre.
{
    printf 'ply\nformat ascii 1.0\nelement vertex 8\nproperty float x\nproperty float y\n'
    printf 'property float z\nelement face 2\nproperty list uchar int vertex_indices\nend_header\n'
    for x in 0.44875 2.44875; do for y in -0.275625 1.724375; do for z in 0.44875 2.44875; do
        echo "$x $y $z"
    done; done; done
    printf '3 0 1 3\n3 4 7 5\n'
} >"$work/around_light.ply"
run 0 "$work/around_light.ply" --shadows --frames 3 --out "$work/near.png"
[ "$(grep -c 'too near the mesh' "$work/err")" -eq 1 ] || fail "no single warning: $(cat "$work/err")"
[ -s "$work/near.png" ] || fail "no picture with the light inside the mesh"
echo "texture and shadow switches: all checks passed"
