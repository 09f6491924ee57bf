#!/usr/bin/env bash
# Saves the whole virtual display as a PNG.
# Usage: screenshot.sh <session-dir | :display> <out.png>
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: screenshot.sh <session-dir | :display> <out.png>" >&2; exit 2; }
case $1 in
  :*) display=$1 ;;
  *)  [ -f "$1/env" ] || { echo "screenshot: no Wine session in $1" >&2; exit 2; }
      # shellcheck disable=SC1091
      display=$(. "$1/env" && echo "$DISPLAY") ;;
esac
mkdir -p "$(dirname "$2")"
timeout 30 import -display "$display" -window root "$2"
