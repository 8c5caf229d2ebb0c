#!/usr/bin/env bash
# zbuffer-render's first frame is, byte for byte, the first frame the window
# program uploads as its texture, on one thread and on the three
# ZBUFFER_THREADS asks for: the window runs under Xvfb with upload_capture
# preloaded, which saves that upload, and is then stopped. A ZBUFFER_THREADS
# that is not a thread count stops the program before it opens a window.
# Usage: window_upload_test.sh ZBUFFER ZBUFFER_RENDER UPLOAD_CAPTURE MESH
set -euo pipefail
zbuffer=$1 render=$2 capture=$3 mesh=$4
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

run 0 "$mesh" --out "$work/headless.ppm"
# upload THREADS: the window's first upload with ZBUFFER_THREADS=THREADS
# (empty: unset) in $work/window.THREADS.ppm. Only the window program gets
# the preload, not Xvfb. The inner script takes its values as arguments,
# hence the single quotes.
upload() {
    # shellcheck disable=SC2016
    tools/with-xvfb.sh bash -c '
        [ -n "$5" ] && export ZBUFFER_THREADS="$5"
        LD_PRELOAD="$1" ZBUFFER_UPLOAD_FILE="$2" "$3" "$4" >/dev/null &
        pid=$!
        for _ in $(seq 300); do [ -e "$2" ] && break; sleep 0.1; done
        kill "$pid"
        wait "$pid" || true' _ "$capture" "$work/window.$1.ppm" "$zbuffer" "$mesh" "$1"
    [ -e "$work/window.$1.ppm" ] || fail "the window program made no texture upload within 30 s"
    cmp "$work/window.$1.ppm" "$work/headless.ppm" ||
        fail "the window's first upload (ZBUFFER_THREADS=$1) differs from zbuffer-render's first frame"
}
upload ""
upload 3

for bad in 0 257 two; do
    status=0
    ZBUFFER_THREADS=$bad "$zbuffer" "$mesh" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" = 2 ] || fail "ZBUFFER_THREADS=$bad: status $status, not 2"
    grep -qx "zbuffer: ZBUFFER_THREADS: '$bad' is not a whole number from 1 to 256" "$work/err" ||
        fail "ZBUFFER_THREADS=$bad: $(cat "$work/err")"
    [ ! -s "$work/out" ] || fail "ZBUFFER_THREADS=$bad: it set up a scene"
done
echo "window upload: zbuffer-render's first frame equals the window's first upload on 1 and 3 threads"
