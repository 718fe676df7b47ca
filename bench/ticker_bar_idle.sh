#!/usr/bin/env bash
# What the bar costs while nothing happens: vantrel on an X display (Xvfb, openbox, xcompmgr)
# with eight feeds listed and refreshed once, then a minute in which nothing arrives and nothing
# moves. Prints the CPU seconds of the whole process in that minute (utime + stime from
# /proc/<pid>/stat) and its wake-ups (voluntary context switches), then the same for each thread
# that used CPU or woke up.
# Needs the release build. Usage: bench/ticker_bar_idle.sh [seconds, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
seconds=${1:-60}
[ -x "$build/src/vantrel" ] && [ -x "$build/tools/feedsim/feedsim" ] ||
  { echo "build first: cmake --preset release && cmake --build --preset release" >&2; exit 1; }

work=$(mktemp -d -t vantrel-idle.XXXXXX)
chmod 700 "$work"
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -noreset -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")" XDG_RUNTIME_DIR="$work" DBUS_SESSION_BUS_ADDRESS=disabled:
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_STATE_HOME="$work/state" CANBERRA_DRIVER=alsa CANBERRA_DEVICE=null
unset WAYLAND_DISPLAY
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
xcompmgr >/dev/null 2>&1 &
pids+=($!)
# No --tick: the feeds never change, so nothing ever arrives.
"$build/tools/feedsim/feedsim" --port 0 >"$work/port" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/port")

mkdir -p "$XDG_CONFIG_HOME/vantrel"
{
  echo '<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict><key>feeds</key><array>'
  for n in 0 1 2 3 4 5 6 7; do
    echo "<dict><key>uuid</key><string>IDLE-$n</string><key>url</key><string>http://127.0.0.1:$port/demo/$n.xml</string><key>enabled</key><true/></dict>"
  done
  echo '</array><key>reachabilityHost</key><string>127.0.0.1</string><key>refreshRate</key><integer>30</integer>'
  echo '<key>firstRun</key><false/></dict></plist>'
} >"$XDG_CONFIG_HOME/vantrel/settings.plist"
"$build/src/vantrel" >"$work/vantrel.log" 2>&1 &
pid=$!
pids+=($pid)

sleep 20 # start, first refreshes, the rows fading in, the scroll bar fading out
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
wakeups() { awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status"; }
# One line per thread: id, CPU ticks, wake-ups, name.
threads() {
  for task in /proc/"$pid"/task/*; do
    printf '%s %s %s %s\n' "${task##*/}" "$(awk '{print $14 + $15}' "$task/stat")" \
      "$(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status")" "$(cat "$task/comm")"
  done
}
cpu0=$(cpu) wake0=$(wakeups)
threads >"$work/threads0"
sleep "$seconds"
cpu1=$(cpu) wake1=$(wakeups)
threads >"$work/threads1"
awk -v c=$((cpu1 - cpu0)) -v t="$ticks" -v s="$seconds" -v w=$((wake1 - wake0)) \
  'BEGIN { printf "idle: %.3f CPU seconds in %d s (%.3f per minute), %d wake-ups\n", c / t, s, c / t * 60 / s, w }'
awk -v t="$ticks" -v s="$seconds" -v main="$pid" '
  NR == FNR { cpu[$1] = $2; wake[$1] = $3; next }
  {
    name = $4; for (i = 5; i <= NF; i++) name = name " " $i
    c = $2 - cpu[$1]; w = $3 - wake[$1]
    if (c > 0 || w > 0)
      printf "  thread %s%s (%s): %.3f CPU seconds per minute, %d wake-ups\n", $1, $1 == main ? ", main" : "", name, c / t * 60 / s, w
  }' "$work/threads0" "$work/threads1"
