#!/usr/bin/env bash
# zbuffer-render against hostile and careless input: counts that sparse files
# and endless streams make cheap, meshes and textures on pipes and devices,
# output names that are inputs or that several runs write at once, lost
# standard output and control characters in file names. Each ends with its
# status and a one-line message, or works.
# Usage: hostile_input_test.sh ZBUFFER_RENDER MESH TEXTURE
set -euo pipefail
render=$1 mesh=$2 texture=$3
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

# header FORMAT VERTICES FACES: a header of x, y, z and a face list.
header() {
    printf 'ply\nformat %s 1.0\nelement vertex %s\nproperty float x\nproperty float y\n' "$1" "$2"
    printf 'property float z\nelement face %s\nproperty list uchar int vertex_indices\n' "$3"
    printf 'end_header\n'
}

# refused STATUS TEXT ARGS...: the run ends with STATUS and one line on
# standard error that holds TEXT.
refused() {
    local status=$1 text=$2
    shift 2
    run "$status" "$@"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$*: not one line: $(head -c 300 "$work/err")"
    grep -qF -- "$text" "$work/err" || fail "$*: no '$text' in: $(cat "$work/err")"
}

# A PNG of one pixel up to its header, then a chunk that claims 2 GiB.
endless_png() {
    printf '\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90\x77\x53\xde'
    printf '\x7f\xff\xff\xffabCd'
    cat /dev/zero
}

# Counts whose mesh cannot fit in memory, in sparse files and on a pipe.
header binary_little_endian 3 2147483647 >"$work/faces.ply"
truncate -s 2200000000 "$work/faces.ply"
refused 1 "a mesh of 3 vertices and 2147483647 faces needs at least" "$work/faces.ply" --bench
header ascii 2147483647 1 >"$work/vertices.ply"
truncate -s 13G "$work/vertices.ply"
refused 1 "a mesh of 2147483647 vertices and 1 faces needs at least" "$work/vertices.ply" --bench
refused 1 "faces needs at least" <(header binary_little_endian 3 2147483647; cat /dev/zero) --bench
rm "$work/faces.ply" "$work/vertices.ply"

# Meshes without a size: endless ones are cut off, finite ones load.
refused 1 "Error: (ReadPly) : the input has no size (a pipe or a device) and goes on past 1 GiB" \
    <(header ascii 3 1; tr '\0' ' ' </dev/zero) --bench
refused 1 "Error: (ReadPly) : header token longer than 511 characters" /dev/zero --bench
refused 1 "Error: (ReadPly) : invalid PLY header" <(yes) --bench
run 0 <(cat "$mesh") --out "$work/piped.png"
[ -s "$work/piped.png" ] || fail "a mesh on a pipe drew nothing"

# The same through --import: counts in sparse files and on a pipe, endless
# input, devices, and an STL on a pipe that reads as binary with a count of
# blanks; meshes of a size on a pipe load.
header binary_little_endian 3 2147483647 >"$work/faces.ply"
truncate -s 2200000000 "$work/faces.ply"
refused 1 "Error: (ReadPly) : a mesh of 3 vertices and 2147483647 faces needs at least" \
    "$work/faces.ply" --import --bench
printf 'solid' >"$work/facets.stl"
truncate -s 80 "$work/facets.stl"
printf '\xff\xff\xff\x0d' >>"$work/facets.stl"
truncate -s $((84 + 50 * 0x0dffffff)) "$work/facets.stl"
refused 1 "Error: (ReadStl) : a mesh of 704643069 vertices and 234881023 faces needs at least" \
    "$work/facets.stl" --import --bench
rm "$work/faces.ply" "$work/facets.stl"
refused 1 "faces needs at least" <(header binary_little_endian 3 2147483647; cat /dev/zero) \
    --import --bench
refused 1 "Error: (ReadPly) : the input has no size (a pipe or a device) and goes on past 1 GiB" \
    <(header ascii 3 1; tr '\0' ' ' </dev/zero) --import --bench
refused 1 "Error: (ReadStl) : a mesh of 1616928864 vertices" \
    <(printf 'solid x\n'; tr '\0' ' ' </dev/zero) --import --bench
refused 1 "Error: (ImportMesh) : cannot tell the format of /dev/zero" /dev/zero --import --bench
run 0 <(cat "$mesh") --import --out "$work/piped.png"
[ -s "$work/piped.png" ] || fail "a mesh on a pipe drew nothing through --import"

# Textures: too large by their size, not PNG at the first bytes, endless.
truncate -s 1500000000 "$work/huge.png"
refused 1 "huge.png: is 1500000000 bytes, more than the 256 MiB" "$mesh" --texture "$work/huge.png"
rm "$work/huge.png"
refused 1 "cannot read texture /dev/zero: Not a PNG file" "$mesh" --texture /dev/zero
refused 1 ": Not a PNG file" "$mesh" --texture <(yes)
refused 1 ": goes on past 256 MiB" "$mesh" --texture <(endless_png)
run 0 "$mesh" --texture <(cat "$texture") --shade phong --out "$work/textured.png"

# The temporary file never takes a name a user's file or link may have.
echo "the user's own file" >"$work/frame.png.part"
ln -s "$work/elsewhere" "$work/other.png.part"
run 0 "$mesh" --out "$work/frame.png"
run 0 "$mesh" --out "$work/other.png"
[ "$(cat "$work/frame.png.part")" = "the user's own file" ] || fail "frame.png.part was changed"
[ ! -e "$work/elsewhere" ] || fail "the picture went through a link"
rm "$work/"*.part

# Runs writing one name at once each leave a whole picture; a picture read
# back as a texture is whole, check sums and all.
mkdir "$work/race"
pids=()
for angle in 0 90 180 270; do
    "$render" "$mesh" --angle "$angle" --frames 3 --out "$work/race/turn.png" >/dev/null 2>&1 &
    pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid" || fail "a run writing at the same time failed"; done
[ "$(ls -A "$work/race")" = "turn.png" ] || fail "left behind: $(ls -A "$work/race")"
run 0 "$mesh" --texture "$work/race/turn.png" --bench

# A name of 255 bytes, the most a file name may have.
long=$(printf 'n%.0s' $(seq 251)).png
run 0 "$mesh" --out "$work/$long"
[ -s "$work/$long" ] || fail "no picture under a 255-byte name"

# --out naming an input, by name, link or hard link: status 2, nothing read or written.
cp "$mesh" "$work/mesh.png"
ln -s "$work/mesh.png" "$work/link.png"
ln "$work/mesh.png" "$work/hard.ppm"
for out in mesh.png link.png hard.ppm; do
    run 2 "$work/mesh.png" --out "$work/$out"
    head -1 "$work/err" | grep -qF "is the mesh file" || fail "--out $out: $(head -1 "$work/err")"
    [ ! -s "$work/out" ] || fail "--out $out: the mesh was read"
    cmp -s "$mesh" "$work/mesh.png" || fail "--out $out: the mesh was written over"
done
run 2 "$mesh" --texture "$work/textured.png" --shade flat --out "$work/textured.png"
head -1 "$work/err" | grep -qF "is the texture file" || fail "texture as --out: $(cat "$work/err")"

# Only a regular file is replaced.
mkfifo "$work/pipe.png"
refused 1 "pipe.png: not a regular file, so not replaced" "$mesh" --out "$work/pipe.png"

# Lost standard output is a failure.
"$render" "$mesh" --bench >/dev/full 2>"$work/err" && fail "--bench >/dev/full exited 0"
grep -qx "zbuffer-render: cannot write standard output" "$work/err" || fail "full: $(cat "$work/err")"

# Control characters in names are shown escaped, on one line.
refused 1 "Cannot open file : $work/a\\x0Ab.ply" "$work/a
b.ply"
refused 1 "Error: (ImportMesh) : cannot open $work/a\\x0Ab\\x1B[31m.obj (No such file" \
    "$work/a
b"$'\e'"[31m.obj" --import
refused 1 "cannot read texture $work/x\\x1B[31m.png: No such file" "$mesh" \
    --texture "$work/x"$'\e'"[31m.png"
refused 1 "cannot write $work/no\\x0Asuch/x.png: No such file" "$mesh" --out "$work/no
such/x.png"
echo "hostile input: all checks passed"
