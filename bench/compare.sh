#!/usr/bin/env bash
# `make bench-compare`: times zbuffer-render --bench and gl_peer (the same
# scene drawn by Mesa's llvmpipe) on the same meshes and modes, each on one
# thread and on every core, and prints one table of median frame times. Every
# run of a row runs ROUNDS times, the runs taking turns round after round (in
# the other order every other round), and the table shows the median of each
# run's medians: a machine whose speed drifts from second to second then
# favours no program, no thread count and no row.
# Usage: bench/compare.sh [BUILD]      (BUILD defaults to build)
# TEAPOT_FRAMES (200), BIG_FRAMES (20) and HUGE_FRAMES (3) set the timed
# frames of a run, ROUNDS (5) the runs of each program per row; HUGE_GRID
# (400) the grid of the last row's teapot (400: 10,236,800 triangles);
# NO_BUILD=1 uses the programs in BUILD as they are instead of a Release build.
set -euo pipefail
# shellcheck source=bench/bench_lib.sh
source "$(dirname "$0")/bench_lib.sh"
teapot_frames=${TEAPOT_FRAMES:-200}
big_frames=${BIG_FRAMES:-20}
huge_frames=${HUGE_FRAMES:-3}
huge_grid=${HUGE_GRID:-400}
rounds=${ROUNDS:-5}
whole_numbers "bench-compare: TEAPOT_FRAMES, BIG_FRAMES, HUGE_FRAMES, HUGE_GRID and ROUNDS must be whole numbers from 1 to 999999" \
    "$teapot_frames" "$big_frames" "$huge_frames" "$huge_grid" "$rounds"

build_targets zbuffer-render gl_peer make_teapot
big=$(teapot_mesh 125)
huge=$(teapot_mesh "$huge_grid")
huge_name=teapot-${huge_grid}x${huge_grid}
[ "$huge_grid" != 400 ] || huge_name=teapot-10M
cores=$(nproc)

# peer THREADS ARGS...: gl_peer on llvmpipe; THREADS 1 keeps all of its work
# on the calling thread (LP_NUM_THREADS=0: no rasterizer threads at all;
# 1 would add one rasterizer thread beside it), `all` leaves llvmpipe its
# default, a rasterizer thread per core.
peer() {
    local threads=$1
    shift
    if [ "$threads" = 1 ]; then
        LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=0 \
            tools/with-xvfb.sh "$build/gl_peer" "$@"
    else
        env -u LP_NUM_THREADS LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe \
            tools/with-xvfb.sh "$build/gl_peer" "$@"
    fi
}

# The table's rows: name, mesh, frames per run and mode. llvmpipe draws only
# flat and gouraud; every mode is also set against its mesh's gouraud row.
names=(teapot teapot teapot teapot teapot-999k "$huge_name")
meshes=(data/teapot.ply data/teapot.ply data/teapot.ply data/teapot.ply "$big" "$huge")
frames=("$teapot_frames" "$teapot_frames" "$teapot_frames" "$teapot_frames" "$big_frames"
    "$huge_frames")
modes=(gouraud flat phong cartoon gouraud gouraud)
# The runs of a row: zbuffer and llvmpipe, each on one thread and on every core.
columns=(zb1 zball gl1 glall)
declare -A runs  # "ROW COLUMN": the runs' medians so far

paired() { [ "${modes[$1]}" = gouraud ] || [ "${modes[$1]}" = flat ]; }

# run_row ROW ROUND: one run of each column of the row; odd rounds take the
# columns in the other order.
run_row() {
    local i=$1 r=$2 k column
    local args=("${meshes[$i]}" --frames "${frames[$i]}" --shade "${modes[$i]}")
    for k in 0 1 2 3; do
        ((r % 2 == 0)) || k=$((3 - k))
        column=${columns[k]}
        [[ $column == zb* ]] || paired "$i" || continue
        case $column in
        zb1) runs[$i $column]+=" $(median "$build/zbuffer-render" "${args[@]}" --bench --threads 1)" ;;
        zball) runs[$i $column]+=" $(median "$build/zbuffer-render" "${args[@]}" --bench --threads "$cores")" ;;
        gl1) runs[$i $column]+=" $(median peer 1 "${args[@]}")" ;;
        glall) runs[$i $column]+=" $(median peer all "${args[@]}")" ;;
        esac
    done
}

peer 1 data/teapot.ply --frames 1 | grep '^renderer:'
echo "median ms per frame (clear + draw; llvmpipe also glFinish): $teapot_frames frames per teapot run," \
    "$big_frames per big-teapot run, $huge_frames per $huge_name run; the median of $rounds runs of each," \
    "taken in turn; 1 thread and all $cores cores"

# Every round runs every row, so that a change in the machine's speed
# touches all rows alike.
for ((r = 0; r < rounds; r++)); do
    for i in "${!modes[@]}"; do
        run_row "$i" "$r"
    done
done

format="%-12s %-8s %9s %9s %10s %10s %9s %9s %9s %9s\n"
# shellcheck disable=SC2059  # the format is the table's
printf "$format" mesh mode zb_1 zb_all llvmpipe_1 llvmpipe_all zb/lp_1 zb/lp_all zb_all/1 zb/gouraud
for i in "${!modes[@]}"; do
    # shellcheck disable=SC2086  # the runs are words
    zb1=$(middle ${runs[$i zb1]}) zball=$(middle ${runs[$i zball]}) gl1="-" glall="-"
    if paired "$i"; then
        # shellcheck disable=SC2086
        gl1=$(middle ${runs[$i gl1]}) glall=$(middle ${runs[$i glall]})
    fi
    [ "${modes[$i]}" != gouraud ] || gouraud=$zb1
    # shellcheck disable=SC2059
    printf "$format" "${names[$i]}" "${modes[$i]}" "$zb1" "$zball" "$gl1" "$glall" \
        "$(ratio "$zb1" "$gl1")" "$(ratio "$zball" "$glall")" "$(ratio "$zball" "$zb1")" \
        "$(ratio "$zb1" "$gouraud")"
done
