#!/usr/bin/env bash
# Prints the figures of an idle hvxw.exe under Wine: start to tray icon (warm), memory,
# processor time over an idle period, and the size of the program file.
# Usage: measure.sh [starts (default 10)] [idle seconds (default 60)]
#
# Wine reports neither processor time nor private bytes for another process, so those come
# from the host's view of the hvxw.exe process of this script's own Wine session: resident
# set (VmRSS, which includes Wine's own shared libraries) and anonymous resident memory
# (RssAnon, the closest to private bytes).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
scripts=$root/scripts
bin=$build/win32/bin
session=$build/measure/session
handshake=$build/measure/handshake
starts=${1:-10}
idle=${2:-60}

"$scripts/build.sh" win32 >/dev/null
size=$(stat -c %s "$bin/hvxw.exe")
echo "hvxw.exe: $size bytes ($(numfmt --to=iec "$size")), statically linked"
rm -rf "$handshake" && mkdir -p "$handshake"
"$scripts/wine-session.sh" start "$session" >/dev/null 2>&1
trap '"$scripts/wine-session.sh" stop "$session" >/dev/null 2>&1' EXIT
# shellcheck disable=SC1091
. "$session/env"
# shellcheck source=host-process.sh
. "$scripts/host-process.sh"
windows_handshake=$(winepath -w "$handshake")

HALVEX_WINE_TIMEOUT=$((idle + 180)) "$scripts/wine-run.sh" "$session" "$bin/measure_program.exe" "$starts" "$idle" \
  "$windows_handshake" &
tool=$!
wait_for_file "$handshake/idle.want" "$tool" measure
pid=$(session_pid 'hvxw\.exe')
[ -n "$pid" ] || { echo "measure: hvxw.exe of this session not found" >&2; exit 1; }

ticks_per_second=$(getconf CLK_TCK)
before=$(cpu_ticks "$pid")
sleep "$idle"
after=$(cpu_ticks "$pid")
awk -v t=$((after - before)) -v hz="$ticks_per_second" -v s="$idle" \
  'BEGIN { printf "CPU time over %d idle seconds: %.2f s (%.3f %%)\n", s, t / hz, 100 * t / hz / s }'
grep -E '^(VmRSS|RssAnon|RssFile)' "/proc/$pid/status" | sed 's/^/host view of hvxw.exe: /'
: >"$handshake/idle.done"
wait "$tool"
