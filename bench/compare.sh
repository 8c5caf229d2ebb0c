#!/usr/bin/env bash
# `make bench-compare`: times zbuffer-render --bench and gl_peer (the same
# scene drawn by Mesa's llvmpipe on one thread) on the same meshes and modes,
# and prints one table of median frame times. Each row runs both programs
# ROUNDS times, taking turns, and shows the median of their runs' medians: a
# machine whose speed drifts from second to second then favours neither.
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

# row NAME MESH FRAMES MODE: one line of the table. llvmpipe draws only flat and
# gouraud; every mode is also set against the mesh's gouraud row, run first.
row() {
    local name=$1 mesh=$2 frames=$3 mode=$4 zb gl="-" vs_gl="-" paired=0 r value
    local zbs=() gls=()
    [ "$mode" != gouraud ] && [ "$mode" != flat ] || paired=1
    for ((r = 0; r < rounds; r++)); do
        # Odd rounds start with llvmpipe, even ones with zbuffer.
        if ((paired && r % 2 == 1)); then
            value=$(median peer "$mesh" --frames "$frames" --shade "$mode")
            gls+=("$value")
        fi
        value=$(median "$build/zbuffer-render" "$mesh" --frames "$frames" --shade "$mode" --bench)
        zbs+=("$value")
        if ((paired && r % 2 == 0)); then
            value=$(median peer "$mesh" --frames "$frames" --shade "$mode")
            gls+=("$value")
        fi
    done
    zb=$(middle "${zbs[@]}")
    if ((paired)); then
        gl=$(middle "${gls[@]}")
        vs_gl=$(ratio "$zb" "$gl")
    fi
    [ "$mode" != gouraud ] || gouraud=$zb
    printf "%-12s %-8s %11s %12s %18s %17s\n" "$name" "$mode" "$zb" "$gl" "$vs_gl" \
        "$(ratio "$zb" "$gouraud")"
}

peer data/teapot.ply --frames 1 | grep '^renderer:'
echo "median ms per frame (clear + draw; llvmpipe also glFinish): $teapot_frames frames per teapot run," \
    "$big_frames per big-teapot run; the median of $rounds runs of each, taken in turn"
printf "%-12s %-8s %11s %12s %18s %17s\n" mesh mode zbuffer llvmpipe "zbuffer/llvmpipe" \
    "zbuffer/gouraud"
for mode in gouraud flat phong cartoon; do
    row teapot data/teapot.ply "$teapot_frames" "$mode"
done
row teapot-999k "$big" "$big_frames" gouraud
