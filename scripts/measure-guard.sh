#!/usr/bin/env bash
# Prints the figures of the guard service under Wine: how long the lock is absent when the
# locked hvxw.exe is ended by another program (over a run of kills), and the guard's own
# processor time and memory while it watches an unlocked program.
# Usage: measure-guard.sh [kills (default 20)] [idle seconds (default 60)]
#
# The guard runs as a service in a Wine session of this script's own; its processor time and
# memory come from the host's view of its process, as Wine reports neither for another process.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
scripts=$root/scripts
bin=$build/win32/bin
session=$build/measure-guard/session
handshake=$build/measure-guard/handshake
kills=${1:-20}
idle=${2:-60}

"$scripts/build.sh" win32 >/dev/null
size=$(stat -c %s "$bin/hvxguard.exe")
echo "hvxguard.exe: $size bytes ($(numfmt --to=iec "$size")), statically linked"
rm -rf "$handshake" && mkdir -p "$handshake"
"$scripts/wine-session.sh" start "$session" >/dev/null 2>&1
trap '"$scripts/wine-session.sh" stop "$session" >/dev/null 2>&1' EXIT
# shellcheck disable=SC1091
. "$session/env"
windows_handshake=$(winepath -w "$handshake")

# shellcheck source=host-process.sh
. "$scripts/host-process.sh"

HALVEX_WINE_TIMEOUT=$((idle + 300)) "$scripts/wine-run.sh" "$session" "$bin/guard_measure.exe" "$kills" \
  "$windows_handshake" &
tool=$!
wait_for_file "$handshake/idle.want" "$tool" measure-guard
pid=$(session_pid 'hvxguard\.exe')
[ -n "$pid" ] || { echo "measure-guard: hvxguard.exe of this session not found" >&2; exit 1; }
measure_cpu "hvxguard.exe, watching an unlocked program (target < 0.05 %)" "$pid"
grep -E '^(VmRSS|RssAnon|RssFile):' "/proc/$pid/status" | sed 's/^/host view of hvxguard.exe: /'
echo "(RssAnon is the closest to private bytes; target < 2 MB)"
: >"$handshake/idle.done"
wait "$tool"
