#!/usr/bin/env bash
# Starts and stops the Wine session of one test run: an Xvfb display of its own, a throwaway
# prefix copied from a cached template, and a persistent wineserver. Other scripts source <dir>/env.
# Usage: wine-session.sh start|stop <session-dir>
#   HALVEX_WINE_DISPLAY=:0  start uses that display instead of starting an Xvfb
#   HALVEX_BUILD            build root holding the template prefix (default: <checkout>/build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
screen_size=1024x768
first_display=90
display_tries=40
# Bump when the recipe below changes, so an old cached template is rebuilt.
template_recipe=1

usage() { echo "usage: wine-session.sh start|stop <session-dir>" >&2; exit 2; }
log() { echo "wine-session: $*" >&2; }

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
  local tenths=$1; shift
  local i
  for ((i = 0; i < tenths; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}

# True while pid $1 is alive and is the program named $2 (guards against a reused pid).
is_our_process() {
  local pid=$1 name=$2
  [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q "$name"
}
process_gone() { ! is_our_process "$1" "$2"; }

end_process() {   # pid, program name
  local pid=$1 name=$2
  is_our_process "$pid" "$name" || return 0
  kill -TERM "$pid" 2>/dev/null || true
  if ! wait_for 50 process_gone "$pid" "$name"; then
    log "$name (pid $pid) did not end on TERM, killing it"
    kill -KILL "$pid" 2>/dev/null || true
    wait_for 20 process_gone "$pid" "$name" || true
  fi
}

wine_version() { wine --version | awk '{ sub(/^wine-/, "", $1); print $1 }'; }

# A wineserver is ready once its socket exists in its server folder, which becomes its working
# folder (Debian puts that folder under a random name in /tmp).
server_ready() { test -S "/proc/$1/cwd/socket"; }

start_xvfb() {   # session dir; prints the display number
  local dir=$1 n pid
  for ((n = first_display; n < first_display + display_tries; n++)); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    : >"$dir/xvfb.ready"
    # -displayfd reports the number only once the server accepts clients; a display taken
    # meanwhile by someone else makes this Xvfb exit, and the next number is tried.
    Xvfb ":$n" -screen 0 "${screen_size}x24" -nolisten tcp -displayfd 3 \
      3>"$dir/xvfb.ready" </dev/null >"$dir/xvfb.log" 2>&1 &
    pid=$!
    if wait_for 100 grep -q . "$dir/xvfb.ready" 2>/dev/null && kill -0 "$pid" 2>/dev/null; then
      echo "$n $pid"
      return 0
    fi
    end_process "$pid" Xvfb
  done
  log "no free X display in :$first_display..:$((first_display + display_tries - 1))"
  return 1
}

reg_add() {   # key, value name, data
  timeout 60 wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null
}

# Makes the initialised template prefix once; built aside and renamed so a half-made one is never used.
ensure_template() {   # template dir, display
  local template=$1 display=$2 stamp
  stamp="wine $(wine_version) recipe $template_recipe"
  if [ -f "$template/halvex-template.stamp" ] && [ "$(cat "$template/halvex-template.stamp")" = "$stamp" ]; then
    return 0
  fi
  log "initialising template prefix $template (once, about 15 s)"
  mkdir -p "$(dirname "$template")"
  local work
  work=$(mktemp -d "$template.tmp.XXXXXX")
  (
    export WINEPREFIX=$work WINEARCH=win32 DISPLAY=$display
    timeout 120 wine wineboot -i
    mkdir -p "$work/drive_c/windows/Fonts"
    if compgen -G "/usr/share/wine/fonts/*" >/dev/null; then
      cp /usr/share/wine/fonts/* "$work/drive_c/windows/Fonts/"
    else
      log "warning: /usr/share/wine/fonts is empty (package fonts-wine missing): font metrics will differ"
    fi
    # A virtual desktop: without a window manager, hiding a window otherwise waits 2 s for one.
    reg_add 'HKCU\Software\Wine\Explorer' Desktop Default
    reg_add 'HKCU\Software\Wine\Explorer\Desktops' Default "$screen_size"
    reg_add 'HKCU\Software\Wine\Drivers' Audio ''
    timeout 60 wineserver -w
  ) </dev/null >"$work.log" 2>&1 || { log "template initialisation failed, see $work.log"; rm -rf "$work"; return 1; }
  echo "$stamp" >"$work/halvex-template.stamp"
  if [ -e "$template" ]; then
    # An outdated template: move it aside first so the rename below cannot land inside it.
    local old
    old=$(mktemp -d "$template.old.XXXXXX")
    mv -T "$template" "$old/t" 2>/dev/null || true
    rm -rf "$old"
  fi
  if ! mv -T "$work" "$template" 2>/dev/null; then
    rm -rf "$work"   # another session made it at the same time
  fi
  rm -f "$work.log"
}

stop_session() {   # session dir
  local dir=$1
  [ -f "$dir/env" ] || return 0
  local WINEPREFIX="" HALVEX_XVFB_PID="" HALVEX_WINESERVER_PID=""
  # shellcheck disable=SC1091
  . "$dir/env"
  if [ -n "$WINEPREFIX" ] && [ -d "$WINEPREFIX" ]; then
    WINEPREFIX=$WINEPREFIX timeout 30 wineserver -k 2>/dev/null || true
  fi
  if [ -n "$HALVEX_WINESERVER_PID" ]; then
    wait_for 50 process_gone "$HALVEX_WINESERVER_PID" wineserver || end_process "$HALVEX_WINESERVER_PID" wineserver
  fi
  end_process "$HALVEX_XVFB_PID" Xvfb
  # Only a prefix of this session (inside its dir) is removed.
  case $WINEPREFIX in "$dir"/*) rm -rf "$WINEPREFIX" ;; esac
  rm -f "$dir/env"
}

start_session() {   # session dir
  local dir=$1
  mkdir -p "$dir"
  stop_session "$dir"

  local display xvfb_pid=""
  if [ -n "${HALVEX_WINE_DISPLAY:-}" ]; then
    display=$HALVEX_WINE_DISPLAY
  else
    local started
    started=$(start_xvfb "$dir")
    display=:${started% *}
    xvfb_pid=${started#* }
  fi
  # Written at once, so that a failure below still lets stop end the Xvfb.
  write_env "$dir" "" "$display" "$xvfb_pid" ""

  local template
  template="$build/wine-template-$(wine_version)"
  ensure_template "$template" "$display" || { stop_session "$dir"; return 1; }
  local prefix=$dir/prefix
  rm -rf "$prefix" "$dir/scratch"
  cp -a --reflink=auto "$template" "$prefix"
  mkdir -p "$dir/scratch"
  write_env "$dir" "$prefix" "$display" "$xvfb_pid" ""

  WINEPREFIX=$prefix wineserver -p -f </dev/null >"$dir/wineserver.log" 2>&1 &
  local server_pid=$!
  write_env "$dir" "$prefix" "$display" "$xvfb_pid" "$server_pid"
  if ! wait_for 100 server_ready "$server_pid"; then
    log "wineserver did not come up, see $dir/wineserver.log"
    stop_session "$dir"
    return 1
  fi
  # The session's services start with its first program: start them here, with their output
  # in the log, so they are ready for the first test and hold none of its pipes.
  WINEPREFIX=$prefix DISPLAY=$display timeout 60 wine cmd.exe /c exit </dev/null >>"$dir/wineserver.log" 2>&1 || true
  log "session up in $dir (DISPLAY=$display)"
}

write_env() {   # dir, prefix, display, xvfb pid, wineserver pid
  cat >"$1/env.tmp" <<EOF
export WINEPREFIX='$2'
export DISPLAY='$3'
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
HALVEX_XVFB_PID='$4'
HALVEX_WINESERVER_PID='$5'
export HALVEX_WINE_SCRATCH='$1/scratch'
EOF
  mv -f "$1/env.tmp" "$1/env"
}

[ $# -eq 2 ] || usage
session=$(realpath -m "$2")
export WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
case $1 in
  start) start_session "$session" ;;
  stop)  stop_session "$session" ;;
  *)     usage ;;
esac
