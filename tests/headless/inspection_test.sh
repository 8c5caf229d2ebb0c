#!/usr/bin/env bash
# --stats, --pixel and --show on every image regression case: the shaded
# picture is the one drawn without them, byte for byte; one stats line
# follows each render-time line, and its counts add up; --show writes its
# view in place of every frame of a sequence.
# Usage: inspection_test.sh ZBUFFER_RENDER CASES_FILE
set -euo pipefail
render=$1 cases=$2
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

# Every fragment is tested in the buffer or lies off it; every triangle
# handed on is culled, rejected or drawn; every fragment that passes is written.
check_counts() {
    awk -v name="$1" '
        /^stats / {
            for (i = 2; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
            if (v["fragments"] != v["depth_passed"] + v["depth_failed"] + v["offscreen"] ||
                v["triangles"] != v["culled"] + v["rejected"] + v["drawn"] ||
                v["written"] != v["depth_passed"] || v["frame"] != frames++) {
                print name ": counts do not add up: " $0; bad = 1
            }
        }
        END { exit bad }' "$work/out" || fail "$1"
}

while read -r name _ args; do
    [[ -z "$name" || "$name" == \#* ]] && continue
    # shellcheck disable=SC2086  # the case's arguments are words
    run 0 $args --out "$work/plain.png"
    frames=$(grep -c '^Tps de rendu : ' "$work/out")
    # shellcheck disable=SC2086
    run 0 $args --stats --pixel 240,240 --pixel 0,0 --pixel 240,240 --out "$work/inspected.png"
    cmp -s "$work/plain.png" "$work/inspected.png" || fail "$name: --stats and --pixel changed the picture"
    [ "$(grep -c '^stats ' "$work/out")" -eq "$frames" ] || fail "$name: not one stats line a frame"
    grep -A1 '^Tps de rendu : ' "$work/out" | grep -v '^--$' | paste - - |
        grep -qv $'^Tps de rendu : .*\tstats frame=' && fail "$name: a render-time line not followed by its stats line"
    check_counts "$name"
    grep '^pixel ' "$work/out" | grep -Evq '^pixel x=240 y=240 frame=[0-9]+ face=[0-9]+ triangle=[0-9]+ source=(edge1|edge2|long|span) t=[^ ]+ depth=[^ ]+ stored=[^ ]+ passed=[01] color=[^ ,]+,[^ ,]+,[^ ,]+,[^ ,]+ result=[^ ,]+,[^ ,]+,[^ ,]+,[^ ,]+$' &&
        fail "$name: a pixel line out of form: $(grep '^pixel ' "$work/out" | head -1)"
    grep -q '^pixel x=0 y=0 ' "$work/out" && fail "$name: a history for a pixel no fragment reaches"
done <"$cases"

# Colour plays no part in the counts, and the shadow pass is not counted.
run 0 data/teapot.ply --stats --angle 200
grep '^stats ' "$work/out" >"$work/plain.stats"
for args in "--shade phong" "--shade cartoon --texture data/checker.png" "--shadows" "--unlit"; do
    # shellcheck disable=SC2086
    run 0 data/teapot.ply --stats --angle 200 $args
    grep '^stats ' "$work/out" | cmp -s - "$work/plain.stats" || fail "$args: other counts"
done

# --show: a view in place of every frame of a sequence.
run 0 data/teapot.ply --frames 3 --out "$work/shaded_%d.png"
for view in depth overdraw faces stages; do
    run 0 data/teapot.ply --frames 3 --show "$view" --out "$work/${view}_%d.png"
    [ ! -s "$work/out" ] || [ "$(grep -vc '^Tps de rendu\|^distance\|^centre' "$work/out")" -eq 0 ] ||
        fail "--show $view printed more than the usual lines"
    for i in 0 1 2; do
        cmp -s "$work/${view}_$i.png" "$work/shaded_$i.png" && fail "--show $view wrote the shaded frame $i"
    done
    cmp -s "$work/${view}_0.png" "$work/${view}_1.png" && fail "--show $view: frames 0 and 1 alike"
done

run 2 --pixel 480,5
grep -q "^zbuffer-render: --pixel: '480,5' lies outside the 480 x 480 frame buffer$" "$work/err" ||
    fail "a pixel off the frame buffer: $(head -1 "$work/err")"
run 2 --stats --bench
echo "inspection: all checks passed"
