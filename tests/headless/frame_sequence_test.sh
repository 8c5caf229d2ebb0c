#!/usr/bin/env bash
# Frame sequences: --frames 36 with a numbered --out writes one file per frame
# of a full turn, the angle steps by 10 a frame, and --angle pins every frame.
# Usage: frame_sequence_test.sh ZBUFFER_RENDER MESH
set -euo pipefail
render=$1 mesh=$2
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

run 0 "$mesh" --frames 36 --out "$work/turn_%02d.png"
files=("$work"/turn_*.png)
[ ${#files[@]} -eq 36 ] || fail "${#files[@]} numbered frames, not 36"
for i in $(seq -w 0 35); do
    [ -e "$work/turn_$i.png" ] || fail "no turn_$i.png"
done
sed -n 1p "$work/out" | grep -q '^distance : ' || fail "no distance line first"
sed -n 2p "$work/out" | grep -q '^centre : (' || fail "no centre line second"
[ "$(grep -c '^Tps de rendu : [0-9.e-]* s$' "$work/out")" -eq 36 ] || fail "not one render time line per frame"
[ "$(wc -l <"$work/out")" -eq 38 ] || fail "stdout holds more than set-up and frame lines"

cmp -s "$work/turn_00.png" "$work/turn_09.png" && fail "frames 0 and 9 are the same: the mesh does not turn"
run 0 "$mesh" --angle 0 --out "$work/angle0.png"
cmp "$work/turn_00.png" "$work/angle0.png" || fail "frame 0 differs from --angle 0"
run 0 "$mesh" --angle 90 --out "$work/angle90.png"
cmp "$work/turn_09.png" "$work/angle90.png" || fail "frame 9 differs from --angle 90"

# --frames 3 --angle 90: three frames, every one at 90 degrees.
run 0 "$mesh" --frames 3 --angle 90 --out "$work/pinned_%d.png"
for i in 0 1 2; do
    cmp "$work/pinned_$i.png" "$work/angle90.png" || fail "pinned frame $i is not at 90 degrees"
done
# Without a %d only the last frame is written.
run 0 "$mesh" --frames 10 --out "$work/last.png"
cmp "$work/last.png" "$work/turn_09.png" || fail "--frames 10 did not write frame 9"
echo "frame sequence: all checks passed"
