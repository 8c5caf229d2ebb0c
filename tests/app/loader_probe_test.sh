#!/usr/bin/env bash
# memcheck.supp hides the dynamic loader's RUNPATH scan, which reads past the
# end of its string: loader_probe opens a library whose RUNPATH holds $ORIGIN
# and whose dependency is not loaded yet, the path Mesa's driver takes when it
# brings in libLLVM. With the suppressions memcheck reports nothing.
# Usage: loader_probe_test.sh LOADER_PROBE PROBE_LIBRARY SUPPRESSIONS
set -euo pipefail
probe=$1 library=$2 suppressions=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v valgrind >/dev/null || { echo "valgrind is not installed (Debian package valgrind)" >&2; exit 1; }

memcheck() {
    valgrind -q --error-exitcode=99 "$@" --log-file="$work/log" "$probe" "$library"
}
status=0
memcheck --suppressions="$suppressions" || status=$?
if [ "$status" -ne 0 ] || [ -s "$work/log" ]; then
    echo "loader_probe exited $status under memcheck with the suppressions:" >&2
    cat "$work/log" >&2
    exit 1
fi
# Whether this machine's loader shows the false alarm at all, for the record.
memcheck || true
hidden=$(grep -c "Invalid read" "$work/log" || true)
echo "loader probe: no error with the suppressions ($hidden loader reads hidden)"
