#!/usr/bin/env bash
# Memory stays flat over long runs: 2000 frames peak within 2 MiB of 50.
# Also checks that with standard error not a terminal no progress bar shows,
# even on a run long enough for one.
# Usage: memory_test.sh ZBUFFER_RENDER MESH
set -euo pipefail
render=$1 mesh=$2
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

# peak FRAMES: the run's peak resident size in KiB, from GNU time.
peak() {
    /usr/bin/time -f %M -o "$work/peak" "$render" "$mesh" --frames "$1" --bench >/dev/null 2>"$work/err"
    [ ! -s "$work/err" ] || fail "--frames $1 --bench wrote to stderr: $(head -c 200 "$work/err")"
    cat "$work/peak"
}
few=$(peak 50)
many=$(peak 2000)
echo "peak resident size: $few KiB for 50 frames, $many KiB for 2000 frames"
[ $((many - few)) -le 2048 ] || fail "2000 frames peak $((many - few)) KiB above 50 frames"
