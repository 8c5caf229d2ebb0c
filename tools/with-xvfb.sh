#!/usr/bin/env bash
# Runs a command on a private Xvfb server (1024 x 768 x 24) and exits with the
# command's status. The server chooses its own display number (-displayfd),
# so parallel runs never collide, and only the server is left to stop:
# xvfb-run's own clean-up can fail under parallel runs and replace the
# command's status with its own.
# Usage: tools/with-xvfb.sh COMMAND [ARG...]
set -uo pipefail
display_file=$(mktemp) log=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>"$log" &
server=$!
stop() {
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    rm -f "$display_file" "$log"
}
trap stop EXIT
for _ in $(seq 200); do
    [ -s "$display_file" ] && break
    kill -0 "$server" 2>/dev/null || { echo "with-xvfb: Xvfb did not start: $(cat "$log")" >&2; exit 1; }
    sleep 0.05
done
[ -s "$display_file" ] || { echo "with-xvfb: Xvfb named no display within 10 s" >&2; exit 1; }
DISPLAY=":$(tr -d '\n' <"$display_file")" "$@"
