#!/usr/bin/env bash
# A run longer than two seconds shows a progress bar when standard error is a
# terminal; `script` provides the terminal.
# Usage: progress_test.sh ZBUFFER_RENDER MESH
set -euo pipefail
render=$1 mesh=$2
# shellcheck source=tests/headless/test_lib.sh
source "$(dirname "$0")/test_lib.sh"

# Enough frames for about four seconds on this machine, whatever its speed.
run 0 "$mesh" --frames 20 --bench
fps=$(sed -n 's/^frames per second: \([0-9]*\).*/\1/p' "$work/out")
frames=$((fps * 4 + 1))

script -qec "'$render' '$mesh' --frames $frames --bench" /dev/null </dev/null >"$work/tty"
grep -aEq "\] [0-9]+/$frames frames  [0-9.]+ fps  [0-9]+:[0-9]{2} left" "$work/tty" ||
    fail "no progress bar on a terminal: $(tail -c 300 "$work/tty")"
grep -aq "frames: $frames" "$work/tty" || fail "no bench summary after the bar"
echo "progress: the bar shows on a terminal during $frames frames"
