# shellcheck shell=bash
# Helpers for the zbuffer-render test scripts; sourced, not run, after the
# script has set $render to the program. Sets $work, a scratch folder removed
# at exit.
: "${render:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# run STATUS ARGS...: runs zbuffer-render ($render) with ARGS, keeping its
# output in $work/out and $work/err, and fails unless it exits with STATUS.
run() {
    local want=$1 got=0
    shift
    "$render" "$@" >"$work/out" 2>"$work/err" || got=$?
    [ "$got" -eq "$want" ] || fail "zbuffer-render $* exited $got, not $want; stderr: $(cat "$work/err")"
}
