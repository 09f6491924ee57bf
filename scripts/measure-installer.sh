#!/usr/bin/env bash
# Prints the figures of the setup program: its size (and what it holds), and under Wine the time
# of a silent setup on a clean machine, of a second one over the running installation and of a
# silent uninstall, as a deployment tool waiting for each would see them.
# Usage: measure-installer.sh [rounds (default 5)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
scripts=$root/scripts
bin=$build/win32/bin
session=$build/measure-installer/session
rounds=${1:-5}

"$scripts/build.sh" win32 >/dev/null
setup=$(ls -t "$build"/dist/HalvexSetup-*.exe 2>/dev/null | head -n 1)
[ -n "$setup" ] || { echo "measure-installer: no setup program in $build/dist" >&2; exit 1; }
size=$(stat -c %s "$setup")
shipped=0
for file in "$bin/hvxw.exe" "$bin/SSHalvex.scr" "$bin/Logo.bmp" "$bin/Halvex.html" "$bin/alarm.wav"; do
  shipped=$((shipped + $(stat -c %s "$file")))
done
echo "$(basename "$setup"): $size bytes ($(numfmt --to=iec "$size")), target < 2 MB;" \
     "hvxw.exe, SSHalvex.scr, Logo.bmp, Halvex.html and alarm.wav alone are $(numfmt --to=iec "$shipped") before compression"

"$scripts/wine-session.sh" start "$session" >/dev/null 2>&1
trap '"$scripts/wine-session.sh" stop "$session" >/dev/null 2>&1' EXIT
# shellcheck disable=SC1091
windows_setup=$(. "$session/env" && winepath -w "$setup")
HALVEX_WINE_TIMEOUT=600 "$scripts/wine-run.sh" "$session" "$bin/setup_measure.exe" "$windows_setup" "$rounds"
