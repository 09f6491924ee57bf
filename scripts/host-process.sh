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

# Prints the processor time of a process (and of the session's wineserver, whose pid the
# session's env file gives) over $idle seconds.
measure_cpu() {   # label, pid
  local label=$1 pid=$2 before after server_before=0 server_after=0
  before=$(cpu_ticks "$pid")
  [ -n "${HALVEX_WINESERVER_PID:-}" ] && server_before=$(cpu_ticks "$HALVEX_WINESERVER_PID")
  sleep "$idle"
  after=$(cpu_ticks "$pid")
  [ -n "${HALVEX_WINESERVER_PID:-}" ] && server_after=$(cpu_ticks "$HALVEX_WINESERVER_PID")
  awk -v t=$((after - before)) -v w=$((server_after - server_before)) -v hz="$(getconf CLK_TCK)" -v s="$idle" \
      -v label="$label" \
    'BEGIN { printf "%s: CPU over %d s: %.2f s = %.2f %% of one core (wineserver meanwhile: %.2f %%)\n",
             label, s, t / hz, 100 * t / hz / s, 100 * w / hz / s }'
}
