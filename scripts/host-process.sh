# Sourced by the measuring scripts: the host's view of the Windows programs of one Wine
# session, for the figures Wine does not report about another process.
# Needs WINEPREFIX of the session (from its env file).

# The pid of the process of this session whose command line matches $1 (a grep pattern):
# its environment names our prefix.
session_pid() {
  local candidate pid=""
  for candidate in /proc/[0-9]*; do
    grep -q "$1" "$candidate/cmdline" 2>/dev/null || continue
    tr '\0' '\n' <"$candidate/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    pid=${candidate#/proc/}
  done
  echo "$pid"
}

# Processor time used so far by process $1, in clock ticks (user + system).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Waits up to 120 s for file $1 while process $2 (the tool's runner) lives; $3 names the caller.
wait_for_file() {
  local deadline=$((SECONDS + 120))
  until [ -e "$1" ]; do
    kill -0 "$2" 2>/dev/null || { echo "$3: the tool ended early" >&2; exit 1; }
    [ $SECONDS -lt $deadline ] || { echo "$3: no $(basename "$1") from the tool" >&2; exit 1; }
    sleep 0.1
  done
}
