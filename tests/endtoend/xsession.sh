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
