#!/usr/bin/env bash
# Checks that every include between the source folders points down: common/ includes only
# itself; platform/ only itself and common/; each subsystem only itself, platform/ and
# common/; the core (the hub) may include any of them. Prints each include that points
# elsewhere and exits non-zero when there is one.
set -euo pipefail
src=$(cd "$(dirname "$0")/../src" && pwd)

allowed() {   # layer of the including file -> the folders it may include
  case $1 in
    common)   echo "common" ;;
    platform) echo "platform common" ;;
    core)     echo "core common platform settings activation lockscreen guard" ;;
    *)        echo "$1 platform common" ;;
  esac
}

status=0
while IFS= read -r file; do
  layer=${file#"$src"/}; layer=${layer%%/*}
  ok=" $(allowed "$layer") "
  while IFS= read -r target; do
    [[ $ok == *" $target "* ]] && continue
    echo "check-layers: ${file#"$src"/} includes $target/" >&2
    status=1
  done < <(sed -n 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\)/.*"|\1|p' "$file")
done < <(find "$src" -name '*.h' -o -name '*.cpp' | sort)
[ $status -eq 0 ] && echo "check-layers: every include points down"
exit $status
