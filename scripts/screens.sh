#!/usr/bin/env bash
# Takes a screenshot of each screen of hvxw.exe under Wine: the password prompt, the four
# pages of the configuration window, the admin prompt, the two-field password dialog, the
# tray menu, the about box, and the lock window (with its picture and scrolling text, with
# the red notices, blanked); then of the setup program's pages and of the uninstaller's
# questions. PNGs go to build/screenshots/screens/ (or $HALVEX_BUILD).
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

# The setup program as the build made it (the newest, should several versions lie there).
setup=$(ls -t "$build"/dist/HalvexSetup-*.exe 2>/dev/null | head -n 1)
[ -n "$setup" ] || { echo "screens: no setup program in $build/dist" >&2; exit 1; }
# shellcheck disable=SC1091
windows_setup=$(. "$session/env" && winepath -w "$setup")
HALVEX_WINE_TIMEOUT=300 "$scripts/wine-run.sh" "$session" "$bin/setup_tour.exe" "$windows_shots" "$windows_setup" \
  >"$build/screens/setup-tour.log" 2>&1 &
tour=$!
serve_screenshots "$session" "$shots" "$tour" screens
status=0
wait "$tour" || status=$?
[ "$status" -eq 0 ] || { echo "screens: the setup tour failed ($status), see $build/screens/setup-tour.log" >&2; exit 1; }
