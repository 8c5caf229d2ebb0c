#!/usr/bin/env bash
# zbuffer-render's command line: help, usage errors, mesh errors and output
# files that cannot be written, each with its exit status and message.
# Usage: command_line_test.sh ZBUFFER_RENDER MESH
set -euo pipefail
render=$1 mesh=$2
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

run 0 --help
grep -q '^usage: zbuffer-render' "$work/out" || fail "--help shows no usage"
[ ! -s "$work/err" ] || fail "--help wrote to stderr"

run 0 --version
grep -Eqx 'zbuffer-render [0-9]+\.[0-9]+\.[0-9]+' "$work/out" || fail "--version printed: $(cat "$work/out")"

# A benchmark prints its summary alone: no set-up or render-time lines.
run 0 "$mesh" --frames 3 --bench
[ "$(wc -l <"$work/out")" -eq 3 ] && [ "$(head -1 "$work/out")" = "frames: 3" ] ||
    fail "--bench printed more or less than its summary: $(cat "$work/out")"

# A bad command line: the reason on one line, then the usage, status 2. The
# reasons themselves are checked by render_options_test.cpp.
for args in "--bogus" "--frames" "--shade smooth" "--out turn_%s.png" "$mesh $mesh"; do
    # shellcheck disable=SC2086  # each string is a list of arguments
    run 2 $args
    head -1 "$work/err" | grep -q '^zbuffer-render: ' || fail "$args: no one-line reason first"
    sed -n 2p "$work/err" | grep -q '^usage: zbuffer-render' || fail "$args: no usage after the reason"
    [ ! -s "$work/out" ] || fail "$args: wrote to stdout"
done

# Mesh errors keep the loader's message and status 1.
run 1 "$work/missing.ply" --out "$work/x.png"
grep -qx "Error: (ReadPly) Cannot open file : $work/missing.ply" "$work/err" || fail "missing mesh: $(cat "$work/err")"
printf 'plx\nformat ascii 1.0\n' >"$work/bad.ply"
run 1 "$work/bad.ply" --out "$work/x.png"
grep -qx "Error: (ReadPly) : invalid PLY header" "$work/err" || fail "bad header: $(cat "$work/err")"
[ ! -e "$work/x.png" ] || fail "a failed load wrote a picture"

# A file the loader refuses and the import opens: the loader's message as it
# stands, then one line on how to open it; through --fit and --up too. Not
# when the import refuses it as well, nor for a pipe, whose bytes are gone.
printf 'ply\nformat ascii 1.0\nelement vertex 3\nproperty double x\nproperty double y\n' >"$work/d.ply"
printf 'property double z\nproperty uchar alpha\nelement face 1\n' >>"$work/d.ply"
printf 'property list uchar int vertex_indices\nend_header\n0 0 0 1\n1 0 0 1\n0 1 0 1\n3 0 1 2\n' >>"$work/d.ply"
refusal="Error: (ReadPly) : invalid PLY header: vertex property 'alpha' is not one this reader reads (x, confidence, red or r, u, nx)"
hint="Hint: the import reads this file: add --import"
for options in "" "--fit" "--up y"; do
    # shellcheck disable=SC2086  # a list of options
    run 1 "$work/d.ply" $options --out "$work/x.png"
    [ "$(cat "$work/err")" = "$refusal"$'\n'"$hint" ] || fail "hint ($options): $(cat "$work/err")"
    [ ! -s "$work/out" ] || fail "hint ($options): wrote to stdout"
done
run 1 <(cat "$work/d.ply") --out "$work/x.png"
[ "$(cat "$work/err")" = "$refusal" ] || fail "a pipe got a hint: $(cat "$work/err")"
printf 'ply\nformat ascii 1.0\nelement vertex 3\nproperty int8 x\n' >"$work/neither.ply"
run 1 "$work/neither.ply" --out "$work/x.png"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "a file neither reader opens got a hint: $(cat "$work/err")"
run 0 "$work/d.ply" --import --out "$work/x.png"
[ -s "$work/x.png" ] || fail "--import drew nothing of the file the hint named"

# --fit and --up without --import: the window program's reader, the mesh
# moved and scaled before anything is computed from it. The cube of side 2
# about the origin, made four times larger and moved far off, fits back to
# the same frame; turned on its side, it gives another.
awk '/^end_header/ { body = 1; print; next }
     body && NF == 6 { printf "%g %g %g %s %s %s\n", 4 * $1 + 300, 4 * $2 - 50, 4 * $3 + 7, $4, $5, $6; next }
     { print }' "$mesh" >"$work/far.ply"
run 0 "$mesh" --out "$work/cube.png"
run 0 "$work/far.ply" --fit --out "$work/far.png"
[ "$(head -2 "$work/out")" = $'distance : 1.44875\ncentre : (0, 0, 0)' ] ||
    fail "--fit set-up lines: $(head -2 "$work/out")"
cmp -s "$work/cube.png" "$work/far.png" || fail "the fitted far cube is not the cube's frame"
run 0 "$work/far.ply" --fit --up x --out "$work/side.png"
! cmp -s "$work/cube.png" "$work/side.png" || fail "--up x left the frame as it was"

# An output that cannot be written: one line naming the file and the reason.
run 1 "$mesh" --out "$work/no/such/dir/frame.png"
[ "$(cat "$work/err")" = "zbuffer-render: cannot write $work/no/such/dir/frame.png: No such file or directory" ] ||
    fail "unwritable output: $(cat "$work/err")"
mkdir "$work/taken.ppm"
run 1 "$mesh" --out "$work/taken.ppm"
grep -qx "zbuffer-render: cannot write $work/taken.ppm: Is a directory" "$work/err" || fail "directory as output: $(cat "$work/err")"
[ ! -e "$work/taken.ppm.part" ] || fail "a failed write left its temporary file"
echo "command line: all checks passed"
