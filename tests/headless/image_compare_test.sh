#!/usr/bin/env bash
# The image comparison catches a difference: a wrong frame fails, names a
# visual diff that marks the differing pixels in red, and a matching frame
# passes and removes a stale diff.
# Usage: image_compare_test.sh ZBUFFER_RENDER IMAGE_COMPARE MESH
set -euo pipefail
render=$1 compare=$2 mesh=$3
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

run 0 "$mesh" --angle 0 --out "$work/a.png"
run 0 "$mesh" --angle 0 --shade flat --out "$work/b.png"
# The diff goes to a PPM here so that its pixels can be read with od.
status=0
"$compare" "$work/a.png" "$work/b.png" "$work/diff.ppm" 2>"$work/message" || status=$?
[ "$status" -eq 1 ] || fail "different frames compared with status $status"
grep -q "visual diff: $work/diff.ppm" "$work/message" || fail "the failure names no diff: $(cat "$work/message")"
differing=$(sed -n 's/^\([0-9]*\) of [0-9]* pixels differ.*/\1/p' "$work/message")
red=$(tail -c 691200 "$work/diff.ppm" | od -An -v -tu1 -w3 | grep -cE '^ *255 +0 +0$')
[ "$red" -eq "$differing" ] || fail "$red red pixels in the diff, $differing reported"

"$compare" "$work/a.png" "$work/a.png" "$work/diff.ppm" || fail "identical frames differ"
[ ! -e "$work/diff.ppm" ] || fail "a passing comparison left the old diff"
echo "image compare: differences fail with a visual diff, matches pass"
