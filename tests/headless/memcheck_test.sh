#!/usr/bin/env bash
# zbuffer-render under valgrind's memcheck: loading, every shade model, the
# texture and shadow passes, writing PNG and PPM, and a refused file. No
# invalid access, no use of uninitialised values, nothing definitely or
# indirectly lost. The suppressions are the window program's: only what
# system libraries do on the program's behalf.
# Usage: memcheck_test.sh ZBUFFER_RENDER MESH SUPPRESSIONS
set -euo pipefail
render=$1 mesh=$2 suppressions=$3
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"
command -v valgrind >/dev/null || fail "valgrind is not installed (Debian package valgrind)"

errors=99
# memcheck STATUS ARGS...: zbuffer-render ARGS under memcheck must exit with
# STATUS, and memcheck must report nothing.
memcheck() {
    local want=$1 got=0
    shift
    valgrind -q --error-exitcode=$errors --leak-check=full --num-callers=30 --suppressions="$suppressions" \
        --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect \
        --log-file="$work/memcheck.log" "$render" "$@" >"$work/out" 2>"$work/err" || got=$?
    [ ! -s "$work/memcheck.log" ] || fail "memcheck on zbuffer-render $*: $(cat "$work/memcheck.log")"
    [ "$got" -eq "$want" ] || fail "zbuffer-render $* exited $got under memcheck, not $want: $(cat "$work/err")"
}

memcheck 0 "$mesh" --frames 2 --shade phong --out "$work/phong.png"
memcheck 0 "$mesh" --shade cartoon --texture data/checker.png --light2 3,-3,4 --normalize \
    --out "$work/cartoon.ppm"
memcheck 0 data/shadow_scene.ply --shadows --out "$work/shadows.png"
memcheck 0 "$mesh" --wireframe --cw --shade flat --out "$work/wire_%d.png"
memcheck 0 "$mesh" --frames 3 --bench
printf 'ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\nelement face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 7\n' >"$work/bad.ply"
memcheck 1 "$work/bad.ply"
grep -q "vertex index 7 out of range" "$work/err" || fail "bad.ply: $(cat "$work/err")"
echo "memcheck: no errors in six runs"
