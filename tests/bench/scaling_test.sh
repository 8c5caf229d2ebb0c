#!/usr/bin/env bash
# bench/scaling.sh on small teapots: a row per mesh with its triangle count,
# a column for every thread count from 1 to the machine's cores, and the
# all-cores ratio and the time per triangle worked out from those columns.
# Usage: scaling_test.sh BUILD
set -euo pipefail
build=$1
out=$(NO_BUILD=1 ROUNDS=1 GRIDS="3 4 5" "$(dirname "$0")/../../bench/scaling.sh" "$build")
echo "$out"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cores=$(nproc)
[ "$(grep -c '^teapot' <<<"$out")" = 4 ] || fail "not four mesh rows"
grep -Eq "^teapot\.ply +6320( +[0-9]+\.[0-9]+){$((cores + 2))}$" <<<"$out" || fail "no 6k teapot row"
for grid in 3 4 5; do
    grep -Eq "^teapot-$grid-binary_little_endian\.ply +$((grid * grid * 64))( |$)" <<<"$out" ||
        grep -Eq "^teapot-$grid-binary_little_endian\.ply +[0-9]+( +[0-9]+\.[0-9]+){$((cores + 2))}$" <<<"$out" ||
        fail "no row for the $grid x $grid teapot"
done
awk -v cores="$cores" '/^teapot/ {
         want = sprintf("%.2f", $(2 + cores) / $3)
         if ($(3 + cores) != want) { print $1 ": all/1 " $(3 + cores) " is not " want; bad = 1 }
         want = sprintf("%.1f", $3 * 1e6 / $2)
         if ($(4 + cores) != want) { print $1 ": ns/triangle " $(4 + cores) " is not " want; bad = 1 }
     }
     END { exit bad }' <<<"$out" || fail "a worked-out column is wrong"
status=0
env NO_BUILD=1 GRIDS="3 4" "$(dirname "$0")/../../bench/scaling.sh" "$build" >/dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "two grids: status $status, not 2"
