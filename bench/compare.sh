#!/usr/bin/env bash
# `make bench-compare`: times zbuffer-render --bench and gl_peer (the same
# scene drawn by Mesa's llvmpipe on one thread) on the same meshes and modes,
# and prints one table of median frame times. Both programs run every row
# ROUNDS times, taking turns, round after round, and the table shows the
# median of their runs' medians: a machine whose speed drifts from second to
# second then favours neither program and no row.
# Usage: bench/compare.sh [BUILD]      (BUILD defaults to build)
# TEAPOT_FRAMES (200) and BIG_FRAMES (20) set the timed frames of a run,
# ROUNDS (5) the runs of each program per row; NO_BUILD=1 uses the programs
# in BUILD as they are instead of a Release build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
teapot_frames=${TEAPOT_FRAMES:-200}
big_frames=${BIG_FRAMES:-20}
rounds=${ROUNDS:-5}
for count in "$teapot_frames" "$big_frames" "$rounds"; do
    [[ $count =~ ^[1-9][0-9]{0,5}$ ]] ||
        { echo "bench-compare: TEAPOT_FRAMES, BIG_FRAMES and ROUNDS must be whole numbers from 1 to 999999" >&2; exit 2; }
done

if [ "${NO_BUILD:-0}" != 1 ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" -j"$(nproc)" --target zbuffer-render gl_peer make_teapot >/dev/null
fi

# The 999,000-triangle teapot, where `make bench` makes it too; never committed.
big=$build/bench/teapot-125-binary_little_endian.ply
if [ ! -e "$big" ]; then
    echo "Making the 125 x 125 teapot (999,000 triangles) ..." >&2
    mkdir -p "$(dirname "$big")"
    "$build/make_teapot" 125 binary_little_endian data/teapot-patches.txt "$big.part"
    mv "$big.part" "$big"
fi

peer() {
    LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=1 \
        tools/with-xvfb.sh "$build/gl_peer" "$@"
}

# median COMMAND...: the median milliseconds from the command's summary.
median() {
    local out
    out=$("$@") || { echo "bench-compare: '$*' failed with status $?" >&2; return 1; }
    sed -n 's/^render time per frame: .* median \([0-9.]*\) ms.*/\1/p' <<<"$out" | grep . ||
        { echo "bench-compare: '$*' printed no median" >&2; return 1; }
}

# middle VALUE...: the median of the values (the mean of the middle two of an even count).
middle() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'
}

# The table's rows: name, mesh, frames per run and mode. llvmpipe draws only
# flat and gouraud; every mode is also set against its mesh's gouraud row.
names=(teapot teapot teapot teapot teapot-999k)
meshes=(data/teapot.ply data/teapot.ply data/teapot.ply data/teapot.ply "$big")
frames=("$teapot_frames" "$teapot_frames" "$teapot_frames" "$teapot_frames" "$big_frames")
modes=(gouraud flat phong cartoon gouraud)
zb_runs=() gl_runs=()  # per row, the runs' medians so far

paired() { [ "${modes[$1]}" = gouraud ] || [ "${modes[$1]}" = flat ]; }

# run_row ROW ROUND: one run of each program on the row; odd rounds start
# with llvmpipe, even ones with zbuffer.
run_row() {
    local i=$1 r=$2 value
    local args=("${meshes[$i]}" --frames "${frames[$i]}" --shade "${modes[$i]}")
    if paired "$i" && ((r % 2 == 1)); then
        value=$(median peer "${args[@]}")
        gl_runs[i]+=" $value"
    fi
    value=$(median "$build/zbuffer-render" "${args[@]}" --bench)
    zb_runs[i]+=" $value"
    if paired "$i" && ((r % 2 == 0)); then
        value=$(median peer "${args[@]}")
        gl_runs[i]+=" $value"
    fi
}

peer data/teapot.ply --frames 1 | grep '^renderer:'
echo "median ms per frame (clear + draw; llvmpipe also glFinish): $teapot_frames frames per teapot run," \
    "$big_frames per big-teapot run; the median of $rounds runs of each, taken in turn"

# Every round runs every row, so that a change in the machine's speed
# touches all rows alike.
for ((r = 0; r < rounds; r++)); do
    for i in "${!modes[@]}"; do
        run_row "$i" "$r"
    done
done

printf "%-12s %-8s %11s %12s %18s %17s\n" mesh mode zbuffer llvmpipe "zbuffer/llvmpipe" \
    "zbuffer/gouraud"
for i in "${!modes[@]}"; do
    # shellcheck disable=SC2086  # the runs are words
    zb=$(middle ${zb_runs[i]}) gl="-" vs_gl="-"
    if paired "$i"; then
        # shellcheck disable=SC2086
        gl=$(middle ${gl_runs[i]})
        vs_gl=$(ratio "$zb" "$gl")
    fi
    [ "${modes[$i]}" != gouraud ] || gouraud=$zb
    printf "%-12s %-8s %11s %12s %18s %17s\n" "${names[$i]}" "${modes[$i]}" "$zb" "$gl" "$vs_gl" \
        "$(ratio "$zb" "$gouraud")"
done
