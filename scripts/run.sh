#!/usr/bin/env bash
# Builds the Windows programs and runs hvxw.exe under Wine from a folder of its own under the
# build tree (build/run/app, with its own Wine prefix in build/run/session).
# With $DISPLAY set it runs there until the program ends. Without a display it runs on a
# virtual display of its own, saves a screenshot to build/screenshots/run.png and ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
scripts=$root/scripts
bin=$build/win32/bin
app=$build/run/app
session=$build/run/session
screenshot=$build/screenshots/run.png
window_title=Halvex

"$scripts/build.sh" win32
mkdir -p "$app"
cp "$bin/hvxw.exe" "$bin/Logo.bmp" "$bin/Halvex.html" "$app/"

# shellcheck disable=SC2317  # called by the EXIT trap
stop_session() { "$scripts/wine-session.sh" stop "$session"; }

if [ -n "${DISPLAY:-}" ]; then
  HALVEX_WINE_DISPLAY=$DISPLAY "$scripts/wine-session.sh" start "$session"
  trap stop_session EXIT
  # Interactive: a day rather than the tests' two minutes.
  cd "$app" && HALVEX_WINE_TIMEOUT=86400 "$scripts/wine-run.sh" "$session" hvxw.exe "$@"
  exit
fi

"$scripts/wine-session.sh" start "$session"
trap stop_session EXIT
(cd "$app" && exec "$scripts/wine-run.sh" "$session" hvxw.exe "$@") &
program=$!
if ! "$scripts/wine-run.sh" "$session" "$bin/wait_window.exe" --title "$window_title" --timeout-ms 30000; then
  echo "run: the window \"$window_title\" did not appear" >&2
  exit 1
fi
"$scripts/screenshot.sh" "$session" "$screenshot"
echo "run: screenshot saved to $screenshot"
# Closing the window must end the program; the session stop below ends whatever is left.
"$scripts/wine-run.sh" "$session" "$bin/wait_window.exe" --title "$window_title" --close --timeout-ms 10000
status=0
wait "$program" || status=$?
echo "run: hvxw.exe ended with exit code $status"
exit "$status"
