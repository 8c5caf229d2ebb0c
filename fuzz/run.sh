#!/usr/bin/env bash
# Runs a fuzzer for SECONDS on its committed seeds and reproducers: the PLY
# fuzzer on fuzz/corpus and fuzz/findings, the import fuzzer on
# fuzz/import_corpus and fuzz/import_findings (and the PLY seeds, which it
# reads too). New inputs go to fuzz/corpus-work (import_fuzzer:
# fuzz/import-corpus-work), and a crash, hang, leak or out-of-memory input to
# fuzz/artifacts; any finding ends the run with a non-zero status.
# Usage: fuzz/run.sh FUZZER SECONDS
set -euo pipefail
fuzzer=$1 seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(basename "$fuzzer")" = import_fuzzer ]; then
    work="$here/import-corpus-work"
    seeds=("$here/import_corpus" "$here/import_findings" "$here/corpus")
else
    work="$here/corpus-work"
    seeds=("$here/corpus" "$here/findings")
fi
mkdir -p "$work" "$here/artifacts"
# An input may be at most 8 KiB, enough for a 255-corner face in binary; none
# takes more than a second to load and draw, so 25 seconds is a hang.
"$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=25 -print_final_stats=1 \
    -dict="$here/ply.dict" -artifact_prefix="$here/artifacts/" \
    "$work" "${seeds[@]}"
