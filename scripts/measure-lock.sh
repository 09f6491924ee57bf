#!/usr/bin/env bash
# Prints the figures of hvxw.exe's lock under Wine: lock request to the lock window in front
# with the task bar hidden (warm trials), processor time of an idle lock (without and with a
# scrolling message), the same for a
# loop that runs a lock pass without ever waiting (lock_spin.exe, for scale), and how long
# another program's Task Manager window stays visible during a lock, and the guessing rate of
# an automated loop that sends wrong passwords to the lock as fast as it answers.
# Usage: measure-lock.sh [lock trials (default 10)] [idle seconds (default 10)] [hide trials (default 100)]
#                        [guessing seconds (default 60)]
#
# Wine reports no processor time for another process: it comes from the host's view of the
# process of this script's own Wine session (utime + stime in /proc/<pid>/stat). Work that
# Wine's server does for the program is not in it; the server's own figure is printed beside.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
scripts=$root/scripts
bin=$build/win32/bin
session=$build/measure-lock/session
handshake=$build/measure-lock/handshake
trials=${1:-10}
idle=${2:-10}
hides=${3:-100}
guessing=${4:-60}

"$scripts/build.sh" win32 >/dev/null
rm -rf "$handshake" && mkdir -p "$handshake"
"$scripts/wine-session.sh" start "$session" >/dev/null 2>&1
trap '"$scripts/wine-session.sh" stop "$session" >/dev/null 2>&1' EXIT
# shellcheck disable=SC1091
. "$session/env"
windows_handshake=$(winepath -w "$handshake")

# shellcheck source=host-process.sh
. "$scripts/host-process.sh"
wait_for_want() { wait_for_file "$handshake/$1.want" "$2" measure-lock; }

HALVEX_WINE_TIMEOUT=$((idle + guessing + 300)) "$scripts/wine-run.sh" "$session" "$bin/lock_measure.exe" "$trials" \
  "$hides" "$windows_handshake" "$guessing" &
tool=$!
wait_for_want idle "$tool"
pid=$(session_pid 'hvxw\.exe')
[ -n "$pid" ] || { echo "measure-lock: hvxw.exe of this session not found" >&2; exit 1; }
measure_cpu "hvxw.exe, idle lock (the real lock loop, target <= 2 %)" "$pid"
: >"$handshake/idle.done"
wait_for_want scroll "$tool"
pid=$(session_pid 'hvxw\.exe')
[ -n "$pid" ] || { echo "measure-lock: hvxw.exe of this session not found" >&2; exit 1; }
measure_cpu "hvxw.exe, idle lock with a scrolling message" "$pid"
: >"$handshake/scroll.done"
wait "$tool"

HALVEX_WINE_TIMEOUT=$((idle + 120)) "$scripts/wine-run.sh" "$session" "$bin/lock_spin.exe" "$windows_handshake" &
spin=$!
wait_for_want spin "$spin"
pid=$(session_pid 'lock_spin\.exe')
[ -n "$pid" ] || { echo "measure-lock: lock_spin.exe of this session not found" >&2; exit 1; }
measure_cpu "lock_spin.exe, a lock pass that never waits (for scale, not the product)" "$pid"
: >"$handshake/spin.done"
wait "$spin"
