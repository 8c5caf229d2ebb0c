#!/usr/bin/env bash
# `make bench-scaling`: zbuffer-render's median frame time against the
# mesh's size (the teapot at about 6 thousand, 100 thousand, 1 million and 10
# million triangles, Gouraud) and against the number of threads (1, 2, ...
# every core): one row per mesh, one column per thread count, and the time
# every core takes over the time of one. Every run runs ROUNDS times, round
# after round, and the table shows the median of the runs' medians.
# Usage: bench/scaling.sh [BUILD]      (BUILD defaults to build)
# ROUNDS (3) the runs of each cell; FRAMES_SCALE (1) multiplies the frames of
# a run (200, 60, 20 and 3 from the smallest mesh to the largest); NO_BUILD=1
# uses the programs in BUILD as they are instead of a Release build; GRIDS
# ("40 125 400") the teapot grids of the rows after the 6k teapot.
set -euo pipefail
# shellcheck source=bench/bench_lib.sh
source "$(dirname "$0")/bench_lib.sh"
rounds=${ROUNDS:-3}
scale=${FRAMES_SCALE:-1}
read -r -a grids <<<"${GRIDS:-40 125 400}"
whole_numbers "bench-scaling: ROUNDS, FRAMES_SCALE and GRIDS must be whole numbers from 1 to 999999" \
    "$rounds" "$scale" "${grids[@]}"
[ "${#grids[@]}" = 3 ] || { echo "bench-scaling: GRIDS must be three grids" >&2; exit 2; }

build_targets zbuffer-render make_teapot
meshes=(data/teapot.ply)
for grid in "${grids[@]}"; do
    meshes+=("$(teapot_mesh "$grid")")
done
frames=($((200 * scale)) $((60 * scale)) $((20 * scale)) $((3 * scale)))
cores=$(nproc)
declare -A runs  # "ROW THREADS": the runs' medians so far

echo "median ms per frame (clear + draw), Gouraud, frame 0; the median of $rounds runs; threads 1 to $cores"
for ((r = 0; r < rounds; r++)); do
    for i in "${!meshes[@]}"; do
        for ((t = 1; t <= cores; t++)); do
            runs[$i $t]+=" $(median "$build/zbuffer-render" "${meshes[$i]}" --frames "${frames[$i]}" \
                --angle 0 --bench --threads "$t")"
        done
    done
done

printf "%-36s %11s" mesh triangles
for ((t = 1; t <= cores; t++)); do printf " %9s" "${t}_thread"; done
printf " %9s %13s\n" "all/1" "ns/triangle_1"
for i in "${!meshes[@]}"; do
    triangles=$(grep -a -m1 '^element face ' "${meshes[$i]}" | awk '{ print $3 }')
    printf "%-36s %11s" "$(basename "${meshes[$i]}")" "$triangles"
    for ((t = 1; t <= cores; t++)); do
        # shellcheck disable=SC2086  # the runs are words
        ms[t]=$(middle ${runs[$i $t]})
        printf " %9s" "${ms[t]}"
    done
    printf " %9s %13s\n" "$(ratio "${ms[cores]}" "${ms[1]}")" \
        "$(awk -v ms="${ms[1]}" -v n="$triangles" 'BEGIN { printf "%.1f", ms * 1e6 / n }')"
done
