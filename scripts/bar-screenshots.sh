#!/usr/bin/env bash
# Takes the bar's pictures in docs/ (docked left, docked right, free window) on the demo feeds:
# a private X display with openbox and xcompmgr, a blue desktop so that the translucency shows,
# and vantrel as the user starts it. Needs a release build (cmake --preset release).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
cmake --build "$build" --target vantrel feedsim vantrel_screengrab >/dev/null

work=$(mktemp -d -t vantrel-shots.XXXXXX)
chmod 700 "$work"
pids=()
stop() { for pid in "$@"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done; }
cleanup() { stop "${pids[@]}"; rm -rf "$work"; }
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -noreset -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")" XDG_RUNTIME_DIR="$work" DBUS_SESSION_BUS_ADDRESS=disabled:
export CANBERRA_DRIVER=alsa CANBERRA_DEVICE=null
unset WAYLAND_DISPLAY
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
xcompmgr >/dev/null 2>&1 &
pids+=($!)
xsetroot -solid '#3b6ea5'
"$build/tools/feedsim/feedsim" --port 0 --tick 3 >"$work/port" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/port")

# shot <location> <picture> <x y width height of the picture, or "window">
shot() {
  local profile="$work/profile-$1"
  export XDG_CONFIG_HOME="$profile/config" XDG_CACHE_HOME="$profile/cache" XDG_DATA_HOME="$profile/data" XDG_STATE_HOME="$profile/state"
  mkdir -p "$XDG_CONFIG_HOME/vantrel"
  {
    echo '<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict><key>feeds</key><array>'
    for n in 0 1 2 3 4 5 6 7; do
      echo "<dict><key>uuid</key><string>SHOT-$n</string><key>url</key><string>http://127.0.0.1:$port/demo/$n.xml</string><key>enabled</key><true/></dict>"
    done
    echo '</array><key>reachabilityHost</key><string>127.0.0.1</string><key>refreshRate</key><integer>1</integer>'
    echo '<key>keywords</key><array><string>storm</string><string>festival</string></array>'
    echo "<key>location</key><integer>$1</integer><key>firstRun</key><false/><key>prevVersion</key><string>999</string><key>CheckHandlerOnStartup</key><false/></dict></plist>"
  } >"$XDG_CONFIG_HOME/vantrel/settings.plist"
  "$build/src/vantrel" >"$work/vantrel-$1.log" 2>&1 &
  local vantrel=$!
  local window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Vantrel$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no window for location $1" >&2; stop "$vantrel"; exit 1; }
  if [ "$1" = 2 ]; then
    xdotool windowsize "$window" 300 560 windowmove "$window" 400 110
  fi
  sleep 15
  shift
  local picture=$1
  shift
  if [ "$1" = window ]; then
    "$build/tools/screengrab/vantrel_screengrab" "docs/$picture" 340 60 420 680 >/dev/null
  else
    "$build/tools/screengrab/vantrel_screengrab" "docs/$picture" "$@" >/dev/null
  fi
  stop "$vantrel"
  echo "docs/$picture"
}

shot 0 bar-left.png 0 0 560 800
shot 1 bar-right.png 720 0 560 800
shot 2 bar-free.png window
