#!/usr/bin/env bash
# Runs one Windows program inside a session made by wine-session.sh, bounded in time;
# its exit code passes through (124 when it ran out of time).
# Usage: wine-run.sh <session-dir> <program.exe> [args...]     (HALVEX_WINE_TIMEOUT: seconds, default 120)
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: wine-run.sh <session-dir> <program.exe> [args...]" >&2; exit 2; }
session=$1; shift
if [ ! -f "$session/env" ]; then
  echo "wine-run: no Wine session in $session (start one with wine-session.sh start)" >&2
  exit 2
fi
# shellcheck disable=SC1091
. "$session/env"

# Wine helpers the program starts (the desktop, device services) inherit its output and can
# outlive it. Through a file, followed only while the program runs, they cannot hold our
# caller's pipe open (ctest would wait for them).
output=$(mktemp "$session/wine-run.XXXXXX.log")
timeout --kill-after=10 "${HALVEX_WINE_TIMEOUT:-120}" wine "$@" </dev/null >"$output" 2>&1 &
program=$!
trap 'kill -TERM "$program" 2>/dev/null || true' INT TERM
tail -n +1 -s 0.1 -f --pid="$program" "$output" &
follower=$!
status=0
wait "$program" || status=$?
# A signal interrupts wait (the trap has passed it on): wait again for the program's own status.
while kill -0 "$program" 2>/dev/null; do
  status=0
  wait "$program" || status=$?
done
wait "$follower" || true
rm -f "$output"
exit "$status"
