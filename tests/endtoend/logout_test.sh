#!/usr/bin/env bash
# The end of a desktop session: SIGTERM and the X server going at once, as at logout, while the
# program refreshes 300 feeds and so has item files to save. Each time it must end without a
# crash or a sanitizer report and keep no crash report, and the next start must find every entry
# that the first refresh stored.
# Usage: logout_test.sh <vantrel> <feedsim>
set -euo pipefail
vantrel=$1 feedsim=$2

source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool
make_work_folder vantrel-logout
fail() {
  echo "FAIL: $*"
  for f in "$work"/*.log; do [ -f "$f" ] && tail -20 "$f" | sed "s|^|  $(basename "$f"): |"; done
  exit 1
}

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
export XDG_RUNTIME_DIR=$work/run DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb
export CANBERRA_DRIVER=alsa CANBERRA_DEVICE=null
# A sanitizer report ends the process with a status of its own.
export ASAN_OPTIONS=detect_leaks=0:exitcode=86 UBSAN_OPTIONS=halt_on_error=1:exitcode=86
unset WAYLAND_DISPLAY
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/vantrel"
chmod 700 "$XDG_RUNTIME_DIR"

# A new entry in every feed each second: every refresh changes its source.
"$feedsim" --port 0 --tick 1 >"$work/feedsim.port" 2>"$work/feedsim.log" &
pids+=($!)
waitfor 100 test -s "$work/feedsim.port" || fail "feedsim did not start"
port=$(head -n 1 "$work/feedsim.port")
{
  echo '<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict><key>feeds</key><array>'
  for n in $(seq 300); do
    echo "<dict><key>uuid</key><string>LOGOUT-$n</string><key>url</key><string>http://127.0.0.1:$port/feeds/$n.xml</string></dict>"
  done
  echo '</array><key>reachabilityHost</key><string>127.0.0.1</string><key>refreshRate</key><integer>1</integer>'
  echo '<key>firstRun</key><false/><key>showInDock</key><true/><key>CheckHandlerOnStartup</key><false/>'
  echo '<key>prevVersion</key><string>999</string></dict></plist>'
} >"$XDG_CONFIG_HOME/vantrel/settings.plist"

"$vantrel" --refresh-once >/dev/null 2>"$work/refresh.log" || fail "the first refresh failed"
# The third column of --list-feeds is the number of stored entries.
stored() { "$vantrel" --list-feeds 2>>"$work/list.log" | awk -F'\t' '{ sum += $3 } END { print sum + 0 }'; }
before=$(stored)
[ "$before" -ge 300 ] || fail "the first refresh stored $before entries"

for round in 1 2 3; do
  start_display
  "$vantrel" >"$work/vantrel.log" 2>&1 &
  vantrel_pid=$!
  waitfor 600 xdotool search --onlyvisible --name '^Vantrel$' || fail "round $round: the bar did not show"
  # The first refresh round starts three seconds after the start.
  sleep 4
  kill -TERM "$vantrel_pid"
  kill -KILL "$xvfb"
  status=0
  wait "$vantrel_pid" || status=$?
  wait "$xvfb" 2>/dev/null || true
  # 0 when the quit ran first, 1 when the lost display ended the event loop.
  [ "$status" -le 1 ] || fail "round $round: vantrel ended with status $status"
  if grep -E "Sanitizer|runtime error|QRegularExpression" "$work/vantrel.log"; then
    fail "round $round: a fault was reported"
  fi
  reports=$(find "$XDG_STATE_HOME" -name 'crash-*.txt' | wc -l)
  [ "$reports" -eq 0 ] || fail "round $round: a crash report was written"
  after=$(stored)
  [ "$after" -ge "$before" ] || fail "round $round: $after entries stored, $before before"
  echo "round $round: ended with status $status, $after entries stored"
done
