# Sourced by scripts that run a tool asking for screenshots (tests/wine/tools/ScreenshotRequest.h):
# the tool writes <folder>/<name>.want; the script saves <folder>/<name>.png and answers <name>.done.
# shellcheck shell=bash

# Serves requests while process $3 (the tool's runner, which bounds its time) lives; prints
# "<label>: <png>" for each. Fails when a screenshot cannot be taken.
serve_screenshots() {   # session dir, folder, pid, label
  local session=$1 folder=$2 pid=$3 label=$4 want name
  local screenshot
  screenshot="$(dirname "${BASH_SOURCE[0]}")/screenshot.sh"
  while kill -0 "$pid" 2>/dev/null; do
    for want in "$folder"/*.want; do
      [ -e "$want" ] || continue
      name=$(basename "$want" .want)
      "$screenshot" "$session" "$folder/$name.png" || { echo "$label: the screenshot $name failed" >&2; return 1; }
      rm -f "$want"
      : >"$folder/$name.done"
      echo "$label: $folder/$name.png"
    done
    sleep 0.1
  done
  rm -f "$folder"/*.done
}
