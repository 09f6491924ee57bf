#!/usr/bin/env bash
# The README's first command: installs what is missing, builds the Windows programs and runs
# hvxw.exe under Wine from a folder of its own under the build tree, beside Logo.bmp, Halvex.html and alarm.wav.
# With $DISPLAY set it runs there until the program ends (build/run/app, settings kept).
# Without a display it checks the program on a virtual display of its own (tray icon, lock,
# unlock, configuration window, Exit), saves build/screenshots/run-lock.png and
# run-configuration.png, and ends: exit code 0 only when every step passed.
#   HALVEX_SKIP_BUILD=1  use the programs already built (the test run: its ctest runs from that tree)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
scripts=$root/scripts
bin=$build/win32/bin

"$scripts/setup.sh"
[ "${HALVEX_SKIP_BUILD:-}" = 1 ] || "$scripts/build.sh" win32

prepare_app() {   # folder
  mkdir -p "$1"
  cp "$bin/hvxw.exe" "$bin/Logo.bmp" "$bin/Halvex.html" "$bin/alarm.wav" "$1/"
}

if [ -n "${DISPLAY:-}" ]; then
  app=$build/run/app
  session=$build/run/session
  prepare_app "$app"
  HALVEX_WINE_DISPLAY=$DISPLAY "$scripts/wine-session.sh" start "$session"
  trap '"$scripts/wine-session.sh" stop "$session"' EXIT
  # Interactive: a day rather than the tests' two minutes.
  cd "$app" && HALVEX_WINE_TIMEOUT=86400 "$scripts/wine-run.sh" "$session" hvxw.exe "$@"
  exit
fi

# Headless. A fresh folder each run: settings left by an interactive run (a lock or admin
# password) would bring prompts whose answers we do not know. A session folder of its own:
# starting a session first stops whatever session its folder holds, an interactive one included.
app=$build/run/headless/app
session=$build/run/headless/session
shots=$build/screenshots
# Bounds of the tool's walk and of the whole program run; every wait inside the tool is shorter.
tour_seconds=200
program_seconds=260
exit_seconds=30
# shellcheck source=screenshot-requests.sh
. "$scripts/screenshot-requests.sh"

fail() { echo "run: FAILED: $*" >&2; exit 1; }

rm -rf "$app"
prepare_app "$app"
mkdir -p "$shots"
rm -f "$shots"/run-lock.* "$shots"/run-configuration.*
"$scripts/wine-session.sh" start "$session"
trap '"$scripts/wine-session.sh" stop "$session"' EXIT
trap 'exit 130' INT TERM
# shellcheck disable=SC1091
windows_shots=$(. "$session/env" && winepath -w "$shots")

(cd "$app" && HALVEX_WINE_TIMEOUT=$program_seconds exec "$scripts/wine-run.sh" "$session" hvxw.exe "$@") &
program=$!
HALVEX_WINE_TIMEOUT=$tour_seconds "$scripts/wine-run.sh" "$session" "$bin/run_tour.exe" "$windows_shots" &
tour=$!
serve_screenshots "$session" "$shots" "$tour" run
status=0
wait "$tour" || status=$?
[ "$status" -eq 0 ] || fail "the walk through hvxw.exe stopped (run_tour.exe exit code $status, 124: out of time)"

deadline=$((SECONDS + exit_seconds))
while kill -0 "$program" 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "hvxw.exe still runs $exit_seconds s after its Exit was confirmed"
  sleep 0.1
done
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "hvxw.exe ended with exit code $status"
echo "run: passed; screenshots: $shots/run-lock.png (lock screen), $shots/run-configuration.png (configuration window)"
