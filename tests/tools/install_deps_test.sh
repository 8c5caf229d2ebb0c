#!/usr/bin/env bash
# tools/install-deps.sh refuses a group it does not know, and no group at all,
# with status 2, the reason and a usage line that lists the groups it has;
# a known group whose packages are installed passes quietly.
# Usage: install_deps_test.sh INSTALL_DEPS
set -uo pipefail
script=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

err=$("$script" build fuzz 2>&1 >/dev/null); status=$?
[ "$status" -eq 2 ] || fail "an unknown group exited $status, not 2"
grep -q "unknown group 'fuzz'" <<<"$err" || fail "no reason given: $err"
grep -q "GROUP: build, test, bench, lint" <<<"$err" || fail "the usage does not list the groups: $err"
"$script" >/dev/null 2>&1; status=$?
[ "$status" -eq 2 ] || fail "no group exited $status, not 2"
out=$("$script" build 2>&1) || fail "the build group failed: $out"
[ -z "$out" ] || fail "the installed build group printed: $out"
echo "install-deps: unknown and missing groups refused"
