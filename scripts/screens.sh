#!/usr/bin/env bash
# Takes a screenshot of each screen of hvxw.exe under Wine: the password prompt, the four
# pages of the configuration window, the admin prompt, the two-field password dialog, the
# tray menu, the about box, and the lock window (with its picture and scrolling text, with
# the red notices, blanked). PNGs go to build/screenshots/screens/ (or $HALVEX_BUILD).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
scripts=$root/scripts
bin=$build/win32/bin
session=$build/screens/session
shots=$build/screenshots/screens
# shellcheck source=screenshot-requests.sh
. "$scripts/screenshot-requests.sh"

"$scripts/build.sh" win32 >/dev/null
rm -rf "$shots" && mkdir -p "$shots"
"$scripts/wine-session.sh" start "$session" >/dev/null
trap '"$scripts/wine-session.sh" stop "$session" >/dev/null' EXIT
# shellcheck disable=SC1091
windows_shots=$(. "$session/env" && winepath -w "$shots")

HALVEX_WINE_TIMEOUT=300 "$scripts/wine-run.sh" "$session" "$bin/screen_tour.exe" "$windows_shots" >"$build/screens/tour.log" 2>&1 &
tour=$!
serve_screenshots "$session" "$shots" "$tour" screens
status=0
wait "$tour" || status=$?
[ "$status" -eq 0 ] || { echo "screens: the tour failed ($status), see $build/screens/tour.log" >&2; exit 1; }
