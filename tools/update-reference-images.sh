#!/usr/bin/env bash
# Regenerates the reference pictures of the image regression tests from the
# current renderer: each picture in tests/images/cases.txt is rendered from the
# first case that names it. Run it only when a change of the pictures is
# intended, look at every changed picture, and give the reason in the commit.
# Usage: tools/update-reference-images.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target zbuffer-render >/dev/null

declare -A rendered
while read -r name reference args; do
    [[ -z "$name" || "$name" == \#* || -n "${rendered[$reference]:-}" ]] && continue
    rendered[$reference]=1
    # shellcheck disable=SC2086  # the arguments column is a list of words
    "$build/zbuffer-render" $args --out "tests/images/$reference" >/dev/null
    echo "rendered tests/images/$reference ($name)"
done <tests/images/cases.txt
git status --short tests/images
