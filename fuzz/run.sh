#!/usr/bin/env bash
# Runs the PLY fuzzer for SECONDS on the committed seeds (fuzz/corpus) and
# reproducers (fuzz/findings). New inputs go to fuzz/corpus-work, and a
# crash, hang, leak or out-of-memory input to fuzz/artifacts; any finding
# ends the run with a non-zero status.
# Usage: fuzz/run.sh FUZZER SECONDS
set -euo pipefail
fuzzer=$1 seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$here/corpus-work" "$here/artifacts"
# An input may be at most 8 KiB, enough for a 255-corner face in binary; none
# takes more than a second to load and draw, so 25 seconds is a hang.
"$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=25 -print_final_stats=1 \
    -dict="$here/ply.dict" -artifact_prefix="$here/artifacts/" \
    "$here/corpus-work" "$here/corpus" "$here/findings"
