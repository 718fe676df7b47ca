#!/usr/bin/env bash
# What one `vantrel --refresh-once` of a single hostile loopback feed (tools/feedsim) costs: wall
# time, CPU time and peak memory (/usr/bin/time -v), each from an empty profile and cache.
#   endless      a body that never ends, cut at the 32 MiB download cap
#   huge-title   one entry whose title is 10 MiB
#   undated      200,000 entries without dates
#   drip         a server that sends a byte every 2 s, and SIGTERM 3 s into the refresh: how long
#                the program takes to end after it (it cancels the download and saves)
# Needs the release build. Usage: bench/refresh_once_hostile.sh [case...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
[ -x "$build/src/vantrel" ] && [ -x "$build/tools/feedsim/feedsim" ] ||
  { echo "build first: cmake --preset release && cmake --build --preset release" >&2; exit 1; }
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(endless huge-title undated drip)

work=$(mktemp -d -t vantrel-hostile.XXXXXX)
feedsim_pid=""
cleanup() {
  if [ -n "$feedsim_pid" ]; then
    kill "$feedsim_pid" 2>/dev/null || true
    wait "$feedsim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

"$build/tools/feedsim/feedsim" --port 0 --no-favicon >"$work/port" &
feedsim_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/port")

address() {
  case "$1" in
    endless) echo "http://127.0.0.1:$port/bad/endless?interval=0" ;;
    huge-title) echo "http://127.0.0.1:$port/bad/huge-title?size=10" ;;
    undated) echo "http://127.0.0.1:$port/rss/undated.xml?entries=200000&dates=0&bare=1&image=0" ;;
    drip) echo "http://127.0.0.1:$port/bad/drip?interval=2000" ;;
    *) echo "unknown case $1" >&2; exit 2 ;;
  esac
}

for name in "${cases[@]}"; do
  profile="$work/$name"
  mkdir -p "$profile/config/vantrel" "$profile/cache"
  {
    echo '<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict><key>feeds</key><array>'
    echo "<dict><key>uuid</key><string>$(cat /proc/sys/kernel/random/uuid)</string>"
    echo "<key>url</key><string>$(address "$name" | sed 's/&/\&amp;/g')</string></dict>"
    echo '</array><key>reachabilityHost</key><string>127.0.0.1</string><key>firstRun</key><false/></dict></plist>'
  } >"$profile/config/vantrel/settings.plist"
  set +e
  XDG_CONFIG_HOME="$profile/config" XDG_CACHE_HOME="$profile/cache" HOME="$profile" \
    /usr/bin/time -v -o "$profile/time" "$build/src/vantrel" --refresh-once >"$profile/out" 2>"$profile/err" &
  timed=$!
  if [ "$name" = drip ]; then
    sleep 3
    terminated=$(date +%s.%N)
    pkill -TERM -P "$timed" vantrel
  fi
  wait "$timed"
  status=$?
  [ "$name" != drip ] || printf 'drip        ended %.2f s after SIGTERM\n' "$(echo "$(date +%s.%N) - $terminated" | bc)"
  set -e
  field() { grep -F "$1" "$profile/time" | sed 's/.*: //'; }
  user=$(field "User time")
  system=$(field "System time")
  printf '%-11s wall %8s  cpu %6.2f s  peak %7.1f MiB  exit %d  entries %d\n' "$name" "$(field "Elapsed (wall clock)")" \
    "$(echo "$user + $system" | bc)" "$(echo "$(field "Maximum resident") / 1024" | bc -l)" "$status" \
    "$(grep -c . "$profile/out" || true)"
  grep -m 2 . "$profile/err" | sed 's/^/            /' || true
done
