#!/usr/bin/env bash
# Builds Vantrel and shows it at work on demo feeds: tools/feedsim serves feeds on loopback whose
# entries keep arriving, a throw-away profile subscribes to them, and the ticker bar opens on the
# display (DISPLAY or WAYLAND_DISPLAY); without a display the headless ticker prints each headline
# as it comes in. Arguments replace that choice (e.g. --headless, --refresh-once, --list-feeds).
# Ctrl+C stops both programs and removes the profile.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target vantrel feedsim

profile=$(mktemp -d -t vantrel-demo.XXXXXX)
feedsim_pid=""
cleanup() {
  if [ -n "$feedsim_pid" ]; then
    kill "$feedsim_pid" 2>/dev/null || true
    wait "$feedsim_pid" 2>/dev/null || true
  fi
  rm -rf "$profile"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A new entry every 4 seconds somewhere among the eight demo feeds.
build/release/tools/feedsim/feedsim --port 0 --tick 4 >"$profile/feedsim.port" &
feedsim_pid=$!
for _ in $(seq 100); do
  [ -s "$profile/feedsim.port" ] && break
  sleep 0.1
done
port=$(head -n 1 "$profile/feedsim.port")
[ -n "$port" ] || { echo "feedsim did not start" >&2; exit 1; }

export XDG_CONFIG_HOME="$profile/config" XDG_CACHE_HOME="$profile/cache" XDG_DATA_HOME="$profile/data" XDG_STATE_HOME="$profile/state"
mkdir -p "$XDG_CONFIG_HOME/vantrel"
{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo '<plist version="1.0"><dict>'
  echo '<key>feeds</key><array>'
  for n in 0 1 2 3 4 5 6 7; do
    echo "<dict><key>uuid</key><string>$(cat /proc/sys/kernel/random/uuid)</string>"
    echo "<key>url</key><string>http://127.0.0.1:$port/demo/$n.xml</string>"
    echo '<key>enabled</key><true/></dict>'
  done
  echo '</array>'
  echo '<key>reachabilityHost</key><string>127.0.0.1</string>'
  echo '<key>refreshRate</key><integer>1</integer>'
  echo '<key>keywords</key><array><string>storm</string><string>festival</string></array>'
  # Neither the welcome nor the offer to open feed: links: the profile is thrown away.
  echo '<key>firstRun</key><false/><key>CheckHandlerOnStartup</key><false/><key>soundName</key><string>Submarine</string>'
  echo '</dict></plist>'
} >"$XDG_CONFIG_HOME/vantrel/settings.plist"

if [ $# -eq 0 ]; then
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Opening the ticker bar on the display; press Ctrl+C to quit."
  else
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the headless ticker."
    set -- --headless
  fi
fi
build/release/src/vantrel "$@"
