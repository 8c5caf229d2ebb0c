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

# An output that cannot be written: one line naming the file and the reason.
run 1 "$mesh" --out "$work/no/such/dir/frame.png"
[ "$(cat "$work/err")" = "zbuffer-render: cannot write $work/no/such/dir/frame.png: No such file or directory" ] ||
    fail "unwritable output: $(cat "$work/err")"
mkdir "$work/taken.ppm"
run 1 "$mesh" --out "$work/taken.ppm"
grep -qx "zbuffer-render: cannot write $work/taken.ppm: Is a directory" "$work/err" || fail "directory as output: $(cat "$work/err")"
[ ! -e "$work/taken.ppm.part" ] || fail "a failed write left its temporary file"
echo "command line: all checks passed"
