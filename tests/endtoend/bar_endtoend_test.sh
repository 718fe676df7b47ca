#!/usr/bin/env bash
# The bar as a user gets it: vantrel without a command on an X display with a window manager
# (openbox) and a compositor (xcompmgr), subscribed to tools/feedsim. Checks that the bar stands
# at the right edge at full height, that a new headline slides in at the top, and that dragging
# the bar's inner edge narrows it down to 117 pixels and no further.
# usage: bar_endtoend_test.sh <vantrel> <feedsim> <vantrel_screengrab>
set -euo pipefail
vantrel=$1 feedsim=$2 grab=$3

source "$(dirname "$0")/xsession.sh"
require_tools Xvfb openbox xcompmgr xdotool xprop
make_work_folder vantrel-e2e
fail() { echo "FAIL: $*"; [ -f "$work/vantrel.log" ] && sed 's/^/  vantrel: /' "$work/vantrel.log" | tail -20; exit 1; }

start_display -noreset
pids+=($xvfb)
unset WAYLAND_DISPLAY
export XDG_RUNTIME_DIR="$work" DBUS_SESSION_BUS_ADDRESS=disabled: CANBERRA_DRIVER=alsa CANBERRA_DEVICE=null
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
export ASAN_OPTIONS=detect_leaks=0

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
xcompmgr >"$work/xcompmgr.log" 2>&1 &
pids+=($!)

"$feedsim" --port 0 --tick 20 >"$work/feedsim.port" 2>"$work/feedsim.log" &
pids+=($!)
waitfor 100 test -s "$work/feedsim.port" || fail "feedsim did not start"
port=$(head -n 1 "$work/feedsim.port")
[ -n "$port" ] || fail "feedsim did not start"

mkdir -p "$XDG_CONFIG_HOME/vantrel"
{
  echo '<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict><key>feeds</key><array>'
  for n in 0 1; do
    echo "<dict><key>uuid</key><string>E2E-$n</string><key>url</key><string>http://127.0.0.1:$port/demo/$n.xml</string><key>enabled</key><true/></dict>"
  done
  echo '</array><key>reachabilityHost</key><string>127.0.0.1</string><key>refreshRate</key><integer>1</integer>'
  echo '<key>location</key><integer>1</integer><key>firstRun</key><false/><key>showInDock</key><true/><key>CheckHandlerOnStartup</key><false/><key>prevVersion</key><string>999</string><key>soundName</key><string>Submarine</string>'
  echo '</dict></plist>'
} >"$XDG_CONFIG_HOME/vantrel/settings.plist"

"$vantrel" >"$work/vantrel.log" 2>&1 &
pids+=($!)
vantrel_pid=$!

# The sanitized build can be slow to map its first window on a busy machine.
window=""
for _ in $(seq 600); do
  window=$(xdotool search --onlyvisible --name '^Vantrel$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$vantrel_pid" 2>/dev/null || fail "vantrel ended early"
  sleep 0.1
done
[ -n "$window" ] || { xwininfo -root -tree | grep -i vantrel >&2; fail "no bar window within 60 s"; }

geometry() { xdotool getwindowgeometry --shell "$window"; }
# The window maps before it is docked; the dock follows within moments.
for _ in $(seq 100); do
  eval "$(geometry)"
  [ "$HEIGHT" -eq 800 ] && [ $((X + WIDTH)) -eq 1280 ] && break
  sleep 0.1
done
[ "$HEIGHT" -eq 800 ] || { xwininfo -root -tree | grep -i -E "vantrel|qt" >&2; fail "the bar is $HEIGHT high, not the screen's 800"; }
[ $((X + WIDTH)) -eq 1280 ] || fail "the bar ends at x $((X + WIDTH)), not at the right edge 1280"
# "Show in taskbar" is on: the docked bar is a frameless window of its own in the taskbar.
xprop -id "$window" _NET_WM_WINDOW_TYPE | grep -q NORMAL || fail "the bar is not a window of its own"
echo "docked: ${WIDTH}x${HEIGHT} at $X,$Y"

# The top row, once every feed's first refresh is listed (the row stays the same for 9 s): later
# refreshes bring arrivals, which slide in at the top. The strip of the scroll bar is left out.
# A row with text has many colours; the empty bar has one or two.
top_row() {
  local colours
  colours=$("$grab" "$work/$1.png" "$X" 0 $((WIDTH - 12)) 70) || return 1
  [ "$colours" -gt 16 ] || { echo empty; return 0; }
  md5sum <"$work/$1.png" | cut -d' ' -f1
}
before="" same=0
for _ in $(seq 60); do
  sleep 3
  now=$(top_row settle)
  if [ "$now" = "$before" ] && [ "$now" != empty ]; then same=$((same + 1)); else same=0; fi
  before=$now
  [ "$same" -ge 3 ] && break
done
[ "$same" -ge 3 ] || fail "the list never settled"
[ -n "${E2E_KEEP:-}" ] && cp "$work/settle.png" "$E2E_KEEP/before.png"
echo "headlines listed; waiting for one to arrive"
# A headline sliding in opens a gap at the top (the list grows, the new row fades in at the end):
# the top strip is empty for a moment, then shows another headline. A list merely reordered
# never empties the strip.
top_strip() { "$grab" "$work/strip.png" "$X" 0 $((WIDTH - 12)) 30; }
gap="" arrived=""
for _ in $(seq 1200); do
  colours=$(top_strip)
  if [ "$colours" -le 16 ]; then
    gap=yes
  elif [ -n "$gap" ] && [ "$(top_row after)" != "$before" ]; then
    arrived=yes
    break
  fi
  sleep 0.05
done
[ -n "$gap" ] || fail "no headline slid in at the top within two minutes"
[ -n "$arrived" ] || fail "the top of the list opened but no new headline showed"
[ -n "${E2E_KEEP:-}" ] && cp "$work/after.png" "$E2E_KEEP/after.png"
echo "a new headline slid in"

# The inner edge strip hands over to the fake cursor; a drag past the minimum stops at 117.
xdotool mousemove $((X + 1)) 400
sleep 0.5
xdotool mousedown 1
for x in $((X + 60)) $((X + 120)) $((X + 180)) 1250; do
  xdotool mousemove "$x" 400
  sleep 0.1
done
xdotool mouseup 1
sleep 0.5
eval "$(geometry)"
[ "$WIDTH" -eq 117 ] || fail "after the drag the bar is $WIDTH wide, not 117"
[ $((X + WIDTH)) -eq 1280 ] || fail "the drag moved the bar's outer edge to $((X + WIDTH))"
echo "edge drag stops at 117"
kill -0 "$vantrel_pid" 2>/dev/null || fail "vantrel ended during the test"
echo "PASS"
