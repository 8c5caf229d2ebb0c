# shellcheck shell=bash
# Helpers of the timing scripts (compare.sh, scaling.sh); sourced, not run.
# Moves to the repository root and sets $build, the build folder: the
# script's first argument, else build.
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build}

# build_targets TARGET...: the targets built in Release in the build folder,
# unless NO_BUILD=1 asks for the programs there as they are.
build_targets() {
    [ "${NO_BUILD:-0}" != 1 ] || return 0
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" -j"$(nproc)" --target "$@" >/dev/null
}

# teapot_mesh GRID: the path of the GRID x GRID binary teapot in the build
# folder, made there if it is not yet (where `make bench` makes its meshes,
# so that no mesh is made twice); never committed.
teapot_mesh() {
    local mesh=$build/bench/teapot-$1-binary_little_endian.ply
    if [ ! -e "$mesh" ]; then
        echo "Making the $1 x $1 teapot ..." >&2
        mkdir -p "$(dirname "$mesh")"
        "$build/make_teapot" "$1" binary_little_endian data/teapot-patches.txt "$mesh.part" >&2
        mv "$mesh.part" "$mesh"
    fi
    echo "$mesh"
}

# median COMMAND...: the median milliseconds from the command's summary.
median() {
    local out
    out=$("$@") || { echo "$(basename "$0"): '$*' failed with status $?" >&2; return 1; }
    sed -n 's/^render time per frame: .* median \([0-9.]*\) ms.*/\1/p' <<<"$out" | grep . ||
        { echo "$(basename "$0"): '$*' printed no median" >&2; return 1; }
}

# middle VALUE...: the median of the values (the mean of the middle two of an even count).
middle() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'
}

# whole_numbers MESSAGE VALUE...: stops with status 2 and MESSAGE unless
# every value is a whole number from 1 to 999999.
whole_numbers() {
    local message=$1 value
    shift
    for value in "$@"; do
        [[ $value =~ ^[1-9][0-9]{0,5}$ ]] || { echo "$message" >&2; exit 2; }
    done
}
