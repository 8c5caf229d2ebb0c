#!/usr/bin/env bash
# gl_peer under Xvfb: it refuses what it cannot draw alike and any renderer
# but llvmpipe, and times the frames it is asked for.
# Usage: gl_peer_test.sh GL_PEER MESH
set -euo pipefail
peer=$1 mesh=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# expect STATUS MESSAGE ARGS...: gl_peer ARGS exits with STATUS and MESSAGE
# (unless empty) on standard error; its standard output stays in $work/out.
expect() {
    local want=$1 message=$2 got=0
    shift 2
    tools/with-xvfb.sh "$peer" "$@" >"$work/out" 2>"$work/err" || got=$?
    [ "$got" -eq "$want" ] || fail "gl_peer $* exited $got, not $want; stderr: $(cat "$work/err")"
    [ -z "$message" ] || grep -qF -- "$message" "$work/err" || fail "gl_peer $*: no '$message' in: $(cat "$work/err")"
}

export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=1
expect 2 "gl_peer: --shade: fixed-function OpenGL shades only flat or gouraud" "$mesh" --shade phong
expect 2 "gl_peer: --cw is not supported" "$mesh" --cw
expect 2 "gl_peer: --frames: '0' is not a whole number" "$mesh" --frames 0
expect 1 "Cannot open file : $work/none.ply" "$work/none.ply"
GALLIUM_DRIVER=softpipe expect 1 "gl_peer: OpenGL renders on 'softpipe', not llvmpipe" "$mesh"

expect 0 "" "$mesh" --frames 3 --shade flat
grep -qx "renderer: llvmpipe .*, LP_NUM_THREADS=1" "$work/out" || fail "no llvmpipe line: $(cat "$work/out")"
grep -qx "frames: 3" "$work/out" || fail "not 3 frames: $(cat "$work/out")"
grep -Eqx "render time per frame: min [0-9.]+ ms, median [0-9.]+ ms, p90 [0-9.]+ ms, max [0-9.]+ ms" \
    "$work/out" || fail "no frame times: $(cat "$work/out")"
echo "gl_peer: refusals, llvmpipe only, 3 timed frames"
