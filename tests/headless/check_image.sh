#!/usr/bin/env bash
# One image regression case: renders a frame with zbuffer-render and compares
# its pixels with the reference; on a difference image_compare writes and
# names a visual diff.
# Usage: check_image.sh ZBUFFER_RENDER IMAGE_COMPARE REFERENCE OUT_DIR NAME [ARGS...]
set -euo pipefail
render=$1 compare=$2 reference=$3 out_dir=$4 name=$5
shift 5
mkdir -p "$out_dir"
"$render" "$@" --out "$out_dir/$name.png" >/dev/null
"$compare" "$out_dir/$name.png" "$reference" "$out_dir/$name.diff.png"
