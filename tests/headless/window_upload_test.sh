#!/usr/bin/env bash
# zbuffer-render's first frame is, byte for byte, the first frame the window
# program uploads as its texture: the window runs under Xvfb with
# upload_capture preloaded, which saves that upload, and is then stopped.
# Usage: window_upload_test.sh ZBUFFER ZBUFFER_RENDER UPLOAD_CAPTURE MESH
set -euo pipefail
zbuffer=$1 render=$2 capture=$3 mesh=$4
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

run 0 "$mesh" --out "$work/headless.ppm"
# Only the window program gets the preload, not Xvfb. The inner script takes
# its values as arguments, hence the single quotes.
# shellcheck disable=SC2016
tools/with-xvfb.sh bash -c '
    LD_PRELOAD="$1" ZBUFFER_UPLOAD_FILE="$2" "$3" "$4" >/dev/null &
    pid=$!
    for _ in $(seq 300); do [ -e "$2" ] && break; sleep 0.1; done
    kill "$pid"
    wait "$pid" || true' _ "$capture" "$work/window.ppm" "$zbuffer" "$mesh"
[ -e "$work/window.ppm" ] || fail "the window program made no texture upload within 30 s"
cmp "$work/window.ppm" "$work/headless.ppm" || fail "the window's first upload differs from zbuffer-render's first frame"
echo "window upload: zbuffer-render's first frame equals the window's first upload"
