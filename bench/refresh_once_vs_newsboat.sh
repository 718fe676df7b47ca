#!/usr/bin/env bash
# vantrel --refresh-once against newsboat's reload on the same 500 loopback feeds of 50 entries
# (tools/feedsim), each from an empty profile and cache: CPU time, wall time and peak memory of
# one run. Needs the release build and Debian's newsboat (apt-get install newsboat).
# Usage: bench/refresh_once_vs_newsboat.sh [feeds] [entries]
set -euo pipefail
cd "$(dirname "$0")/.."
feeds=${1:-500}
entries=${2:-50}
build=build/release
command -v newsboat >/dev/null || { echo "newsboat is not installed (apt-get install newsboat)" >&2; exit 1; }
[ -x "$build/src/vantrel" ] && [ -x "$build/tools/feedsim/feedsim" ] ||
  { echo "build first: cmake --preset release && cmake --build --preset release" >&2; exit 1; }

work=$(mktemp -d -t vantrel-bench.XXXXXX)
feedsim_pid=""
cleanup() {
  if [ -n "$feedsim_pid" ]; then
    kill "$feedsim_pid" 2>/dev/null || true
    wait "$feedsim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

"$build/tools/feedsim/feedsim" --port 0 --entries "$entries" >"$work/port" &
feedsim_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/port")
for n in $(seq 1 "$feeds"); do echo "http://127.0.0.1:$port/feeds/$n.xml"; done >"$work/urls"

# Vantrel: a fresh profile subscribed to the feeds.
mkdir -p "$work/vantrel/config/vantrel" "$work/vantrel/cache"
{
  echo '<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict><key>feeds</key><array>'
  while read -r url; do
    echo "<dict><key>uuid</key><string>$(cat /proc/sys/kernel/random/uuid)</string><key>url</key><string>$url</string></dict>"
  done <"$work/urls"
  echo '</array><key>reachabilityHost</key><string>127.0.0.1</string><key>firstRun</key><false/></dict></plist>'
} >"$work/vantrel/config/vantrel/settings.plist"

# newsboat: the same feeds, 19 reload threads, an empty cache.
mkdir -p "$work/newsboat"
echo "reload-threads 19" >"$work/newsboat/config"

measure() { # label, then the command; prints CPU, wall and peak memory of the command's process tree
  python3 - "$@" <<'PY'
import resource, subprocess, sys, time
label, command = sys.argv[1], sys.argv[2:]
start = time.monotonic()
done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
wall = time.monotonic() - start
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
print(f"{label:9s} cpu {usage.ru_utime + usage.ru_stime:7.2f} s  wall {wall:6.2f} s  peak {usage.ru_maxrss / 1024:7.1f} MiB  exit {done.returncode}")
if done.returncode != 0:
    sys.stderr.write(done.stderr.decode(errors="replace")[-2000:])
PY
}

echo "$feeds feeds of $entries entries on 127.0.0.1:$port"
XDG_CONFIG_HOME="$work/vantrel/config" XDG_CACHE_HOME="$work/vantrel/cache" HOME="$work/vantrel" \
  measure vantrel "$build/src/vantrel" --refresh-once
HOME="$work/newsboat" \
  measure newsboat newsboat -x reload -u "$work/urls" -c "$work/newsboat/cache.db" -C "$work/newsboat/config"
