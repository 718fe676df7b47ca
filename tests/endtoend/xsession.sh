# Sourced by the scripts that run the program on an X display of their own: the tools they need,
# a work folder that goes at exit with every process they started, and polling.

# Stops the script unless every named tool is installed.
require_tools() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
  done
}

# Makes $work (private, named after $1) and an empty $pids; at exit the processes in $pids end,
# newest first, and $work is removed.
make_work_folder() {
  work=$(mktemp -d -t "$1.XXXXXX")
  chmod 700 "$work"
  pids=()
  trap remove_work_folder EXIT
}

remove_work_folder() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}

# Waits up to $1 tenths of a second for the rest of the line, a command, to succeed.
waitfor() {
  local n=$1
  shift
  for _ in $(seq "$n"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# Starts Xvfb with a 1280x800 screen on a free display number and exports DISPLAY; further
# arguments go to Xvfb. Leaves the server's pid in $xvfb; the caller's fail() reports a server
# that does not start.
start_display() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp "$@" 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  waitfor 100 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$work/display")"
}
