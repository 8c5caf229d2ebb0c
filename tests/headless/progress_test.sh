#!/usr/bin/env bash
# A run longer than two seconds shows a progress bar when standard error is a
# terminal; `script` provides the terminal.
# Usage: progress_test.sh ZBUFFER_RENDER MESH
set -euo pipefail
render=$1 mesh=$2
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

# Enough frames for about eight seconds at the speed measured here: the bar
# needs a run of over two, and a calibration run on a busy machine can be
# slower than the run that follows by half or more.
run 0 "$mesh" --frames 50 --bench
fps=$(sed -n 's/^frames per second: \([0-9]*\).*/\1/p' "$work/out")
frames=$((fps * 8 + 1))

script -qec "'$render' '$mesh' --frames $frames --bench" /dev/null </dev/null >"$work/tty"
grep -aEq "\] [0-9]+/$frames frames  [0-9.]+ fps  [0-9]+:[0-9]{2} left" "$work/tty" ||
    fail "no progress bar on a terminal: $(tail -c 300 "$work/tty")"
grep -aq "frames: $frames" "$work/tty" || fail "no bench summary after the bar"
echo "progress: the bar shows on a terminal during $frames frames"
