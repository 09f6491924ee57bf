#!/usr/bin/env bash
# Runs one GoogleTest program under Wine in a Wine session of its own, made and removed for
# this run: for tests whose program shuts Windows down, which under Wine ends every process
# of the session, the test program included.
# Usage: wine-isolated.sh <session-dir> <tests.exe> [gtest arguments...]
# Passes when the program passed, or when it was ended after every test it started had
# printed its OK line and none had failed.
set -uo pipefail
[ $# -ge 2 ] || { echo "usage: wine-isolated.sh <session-dir> <tests.exe> [args...]" >&2; exit 2; }
session=$1; shift
scripts=$(cd "$(dirname "$0")" && pwd)
"$scripts/wine-session.sh" start "$session" >/dev/null || exit 1
output=$(mktemp)
"$scripts/wine-run.sh" "$session" "$@" >"$output" 2>&1
status=$?
"$scripts/wine-session.sh" stop "$session" >/dev/null
cat "$output"
started=$(grep -c '^\[ RUN      \]' "$output")
passed=$(grep -c '^\[       OK \]' "$output")
failed=$(grep -c '^\[  FAILED  \]' "$output")
rm -f "$output"
# Ended by the shutdown, the program's exit code tells nothing: every test it started must
# have printed its OK line.
if [ "$started" -gt 0 ] && [ "$passed" -eq "$started" ] && [ "$failed" -eq 0 ]; then
  [ "$status" -eq 0 ] || echo "wine-isolated: the program was ended after all $passed tests passed"
  exit 0
fi
echo "wine-isolated: $started tests started, $passed passed, $failed failed (exit status $status)" >&2
exit 1
