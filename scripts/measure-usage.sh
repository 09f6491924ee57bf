#!/usr/bin/env bash
# Prints the figures of the usage-time tick under Wine: the time one tick takes with its
# write on a Halvex.dat of 100 profiles, and the processor time of an idle hvxw.exe whose
# day's hours are enforced, so that it writes its count every 3 s.
# Usage: measure-usage.sh [idle seconds (default 60)] [ticks (default 200)]
#
# Wine reports no processor time for another process: it comes from the host's view of the
# hvxw.exe process of this script's own Wine session, and of its wineserver.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
scripts=$root/scripts
bin=$build/win32/bin
session=$build/measure-usage/session
handshake=$build/measure-usage/handshake
idle=${1:-60}
ticks=${2:-200}

"$scripts/build.sh" win32 >/dev/null
rm -rf "$handshake" && mkdir -p "$handshake"
"$scripts/wine-session.sh" start "$session" >/dev/null 2>&1
trap '"$scripts/wine-session.sh" stop "$session" >/dev/null 2>&1' EXIT
# shellcheck disable=SC1091
. "$session/env"
# shellcheck source=host-process.sh
. "$scripts/host-process.sh"
windows_handshake=$(winepath -w "$handshake")

HALVEX_WINE_TIMEOUT=$((idle + 240)) "$scripts/wine-run.sh" "$session" "$bin/usage_measure.exe" "$ticks" "$idle" \
  "$windows_handshake" &
tool=$!
wait_for_file "$handshake/idle.want" "$tool" measure-usage
pid=$(session_pid 'hvxw\.exe')
[ -n "$pid" ] || { echo "measure-usage: hvxw.exe of this session not found" >&2; exit 1; }
measure_cpu "hvxw.exe, idle with the day's hours enforced, writing every tick (target < 0.1 %)" "$pid"
: >"$handshake/idle.done"
wait "$tool"
