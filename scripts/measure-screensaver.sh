#!/usr/bin/env bash
# Prints the figures of the screen-saver module SSHalvex.scr under Wine: the time from its
# start with /s to the control program's lock window in front (warm trials), the same start
# of a module that does nothing for scale, and the size of the module file with its imports.
# Usage: measure-screensaver.sh [trials (default 20)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
scripts=$root/scripts
bin=$build/win32/bin
session=$build/measure-screensaver/session
trials=${1:-20}

"$scripts/build.sh" win32 >/dev/null
size=$(stat -c %s "$bin/SSHalvex.scr")
imports=$(i686-w64-mingw32-objdump -p "$bin/SSHalvex.scr" | awk '/DLL Name:/ { printf "%s%s", sep, $3; sep = ", " }')
echo "SSHalvex.scr: $size bytes ($(numfmt --to=iec "$size")), statically linked, imports $imports (target < 100 KB)"

"$scripts/wine-session.sh" start "$session" >/dev/null 2>&1
trap '"$scripts/wine-session.sh" stop "$session" >/dev/null 2>&1' EXIT
HALVEX_WINE_TIMEOUT=300 "$scripts/wine-run.sh" "$session" "$bin/screensaver_measure.exe" "$trials"
