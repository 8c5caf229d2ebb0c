#!/usr/bin/env bash
# Memory follows what a file holds, not what it claims: refused meshes (read
# by either reader) and textures peak under 200 MB however large their counts, sizes or streams,
# and a mesh of ten million empty faces that loads peaks under 300 MB (its
# face list takes 120 MB, a normal for each face). The files are sparse: they
# use no disk.
# Usage: input_memory_test.sh ZBUFFER_RENDER MESH
set -euo pipefail
render=$1 mesh=$2
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

header() {
    printf 'ply\nformat %s 1.0\nelement vertex %s\nproperty float x\nproperty float y\n' "$1" "$2"
    printf 'property float z\nelement face %s\nproperty list uchar int vertex_indices\n' "$3"
    printf 'end_header\n'
}

# peak STATUS LIMIT_KIB ARGS...: the run ends with STATUS and its peak
# resident size, from GNU time, stays under LIMIT_KIB.
peak() {
    local status=$1 limit=$2 got=0
    shift 2
    /usr/bin/time -f %M -o "$work/peak" "$render" "$@" >/dev/null 2>"$work/err" || got=$?
    [ "$got" -eq "$status" ] || fail "$* exited $got, not $status: $(head -c 300 "$work/err")"
    # GNU time puts a line about a failed command's status before the figure.
    local kib
    kib=$(tail -1 "$work/peak")
    echo "peak $kib KiB: $*"
    [ "$kib" -lt "$limit" ] || fail "$* peaked at $kib KiB"
}
refused_limit=$((200 * 1000 * 1000 / 1024))

header binary_little_endian 3 2147483647 >"$work/faces.ply"
truncate -s 2200000000 "$work/faces.ply"
peak 1 "$refused_limit" "$work/faces.ply" --bench
header ascii 2147483647 1 >"$work/vertices.ply"
truncate -s 13G "$work/vertices.ply"
peak 1 "$refused_limit" "$work/vertices.ply" --bench
# Fifty million vertices' worth of NUL bytes: refused at the first.
header ascii 50000000 0 >"$work/nul.ply"
truncate -s 320000000 "$work/nul.ply"
peak 1 "$refused_limit" "$work/nul.ply" --bench
peak 1 "$refused_limit" <(header ascii 3 1; tr '\0' ' ' </dev/zero) --bench
# The same through the import.
for mesh_file in faces vertices nul; do
    peak 1 "$refused_limit" "$work/$mesh_file.ply" --import --bench
done
peak 1 "$refused_limit" <(header ascii 3 1; tr '\0' ' ' </dev/zero) --import --bench
peak 1 "$refused_limit" <(printf 'solid x\n'; tr '\0' ' ' </dev/zero) --import --bench
truncate -s 1500000000 "$work/huge.png"
peak 1 "$refused_limit" "$mesh" --texture "$work/huge.png" --bench
peak 1 "$refused_limit" "$mesh" --texture /dev/zero --bench
rm "$work/"*.ply "$work/huge.png"

header binary_little_endian 3 10000000 >"$work/empty_faces.ply"
truncate -s $(($(stat -c %s "$work/empty_faces.ply") + 36 + 10000000)) "$work/empty_faces.ply"
peak 0 $((300 * 1000 * 1000 / 1024)) "$work/empty_faces.ply" --bench
echo "input memory: all checks passed"
