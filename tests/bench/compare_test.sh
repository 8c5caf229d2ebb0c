#!/usr/bin/env bash
# bench/compare.sh on a few frames: its table has a row per mesh and mode,
# zbuffer's columns on one thread and on every core filled in every row,
# llvmpipe's for flat and gouraud only, and ratios that are the quotients of
# the medians they name.
# Usage: compare_test.sh BUILD
set -euo pipefail
build=$1
out=$(NO_BUILD=1 TEAPOT_FRAMES=3 BIG_FRAMES=1 HUGE_FRAMES=1 HUGE_GRID=10 ROUNDS=2 \
    "$(dirname "$0")/../../bench/compare.sh" "$build")
echo "$out"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

grep -q "^renderer: llvmpipe" <<<"$out" || fail "no llvmpipe renderer line"
grep -q "the median of 2 runs of each, taken in turn; 1 thread and all $(nproc) cores$" <<<"$out" ||
    fail "no rounds or cores in the heading"
n='[0-9]+\.[0-9]+'
for row in "teapot +gouraud +$n +$n +$n +$n +$n +$n +$n +1\.00" \
    "teapot +flat +$n +$n +$n +$n +$n +$n +$n +$n" \
    "teapot +phong +$n +$n +- +- +- +- +$n +$n" "teapot +cartoon +$n +$n +- +- +- +- +$n +$n" \
    "teapot-999k +gouraud +$n +$n +$n +$n +$n +$n +$n +1\.00" \
    "teapot-10x10 +gouraud +$n +$n +$n +$n +$n +$n +$n +1\.00"; do
    grep -Eqx "$row" <<<"$out" || fail "no row like '$row'"
done
awk '$2 == "gouraud" || $2 == "flat" {
         check($7, $3, $5); check($8, $4, $6); check($9, $4, $3)
     }
     function check(shown, a, b,    want) {
         want = sprintf("%.2f", a / b)
         if (shown != want) { print $1 " " $2 ": ratio " shown " is not " want; bad = 1 }
     }
     END { exit bad }' <<<"$out" || fail "a ratio is not the quotient of the medians"

# A count that is not a whole number of at least 1 is refused before anything runs.
for bad in "ROUNDS=0" "ROUNDS=two" "TEAPOT_FRAMES=-3" "BIG_FRAMES=1e3" "HUGE_GRID=0"; do
    status=0
    err=$(env NO_BUILD=1 "$bad" "$(dirname "$0")/../../bench/compare.sh" "$build" 2>&1 >/dev/null) ||
        status=$?
    [ "$status" = 2 ] || fail "$bad: status $status, not 2"
    grep -q "must be whole numbers" <<<"$err" || fail "$bad: no message, got: $err"
done
