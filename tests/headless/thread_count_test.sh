#!/usr/bin/env bash
# Every image regression case drawn on 1 to 8 threads: the same picture byte
# for byte, and, observed, the same --stats lines and --pixel histories (of a
# pixel in the middle of the frame, and of one on the edge of two threads'
# rows); the --show views of the teapot the same too.
# Usage: thread_count_test.sh ZBUFFER_RENDER CASES_FILE
set -euo pipefail
render=$1 cases=$2
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

# draw NAME THREADS ARGS...: the case's picture in $work/NAME.THREADS.ppm and
# what the observed frames printed, render times left out, in .lines.
draw() {
    local name=$1 threads=$2
    shift 2
    run 0 "$@" --threads "$threads" --out "$work/$name.$threads.ppm"
    run 0 "$@" --threads "$threads" --stats --pixel 240,240 --pixel 100,239 --out "$work/observed.ppm"
    cmp -s "$work/observed.ppm" "$work/$name.$threads.ppm" || fail "$name: observing changed the picture on $threads threads"
    grep -v '^Tps de rendu : ' "$work/out" >"$work/$name.$threads.lines"
}

cases_seen=0
while read -r name _ args; do
    [[ -z "$name" || "$name" == \#* ]] && continue
    cases_seen=$((cases_seen + 1))
    for threads in 1 2 3 4 5 6 7 8; do
        # shellcheck disable=SC2086  # the case's arguments are words
        draw "$name" "$threads" $args
        [ "$threads" -eq 1 ] && continue
        cmp -s "$work/$name.1.ppm" "$work/$name.$threads.ppm" || fail "$name: another picture on $threads threads"
        cmp -s "$work/$name.1.lines" "$work/$name.$threads.lines" ||
            fail "$name: other counts or histories on $threads threads: $(diff "$work/$name.1.lines" "$work/$name.$threads.lines" | head -3)"
    done
    grep -q '^stats ' "$work/$name.1.lines" || fail "$name: no stats line"
done <"$cases"
[ "$cases_seen" -gt 30 ] || fail "only $cases_seen cases read from $cases"

# The most threads a draw takes, more than the frame's rows: one row each,
# and threads without a row.
run 0 data/teapot.ply --shade phong --threads 256 --out "$work/most.ppm"
cmp -s "$work/teapot_phong.1.ppm" "$work/most.ppm" || fail "teapot_phong: another picture on 256 threads"

for view in depth overdraw faces stages; do
    for threads in 1 3 8; do
        run 0 data/teapot.ply --shade phong --show "$view" --threads "$threads" --out "$work/$view.$threads.ppm"
    done
    cmp -s "$work/$view.1.ppm" "$work/$view.3.ppm" && cmp -s "$work/$view.1.ppm" "$work/$view.8.ppm" ||
        fail "--show $view: another view on 3 or 8 threads"
done
echo "thread counts: all checks passed"
