#!/usr/bin/env bash
# Vantrel beside the desktop feed readers a user would pick instead, each on a fresh home under
# Xvfb with openbox and a private session bus: time from start to the main window, memory (PSS of
# the process tree) and idle CPU, and Vantrel's refresh of 200 feeds of 50 entries from a cold
# profile. Prints one table of medians.
#
# Usage: bench/desktop_readers.sh [--runs N] [--readers "rssguard quiterss liferea"]
#                                 [--install-readers] [--quick] [--program PATH]
#   --install-readers  apt-get install the readers that are missing (nothing is installed otherwise;
#                      readers that are not installed are left out of the table)
#   --quick            memory 10 s after start and idle CPU over 20 s for every row (the full run
#                      waits 60 s for Vantrel's memory with 500 feeds and measures idle CPU over 60 s)
#   --program          the desktop program to start (default: the release build of vantrel)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
runs=5
readers=""
install=0
quick=0
program=$build/src/vantrel
while [ $# -gt 0 ]; do
  case $1 in
  --runs) runs=$2; shift 2 ;;
  --readers) readers=$2; shift 2 ;;
  --install-readers) install=1; shift ;;
  --quick) quick=1; shift ;;
  --program) program=$2; shift 2 ;;
  *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
for tool in Xvfb openbox xdotool dbus-run-session python3; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: scripts/install-deps.sh installs it" >&2; exit 1; }
done
[ -x "$program" ] && [ -x "$build/src/vantrel" ] && [ -x "$build/tools/feedsim/feedsim" ] ||
  { echo "build first: cmake --preset release && cmake --build --preset release" >&2; exit 1; }

declare -A package=([rssguard]=rssguard [quiterss]=quiterss [liferea]=liferea)
declare -A command=([rssguard]=rssguard [quiterss]=quiterss [liferea]=liferea)
# The title of each reader's main window (Vantrel's bar is its first window).
declare -A main_window=([rssguard]="RSS Guard" [quiterss]="QuiteRSS" [liferea]="Liferea")
present=()
for reader in $readers; do
  if ! command -v "${command[$reader]}" >/dev/null && [ "$install" = 1 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${package[$reader]}" >&2
  fi
  if command -v "${command[$reader]}" >/dev/null; then present+=("$reader"); else echo "$reader is not installed: left out" >&2; fi
done

work=$(mktemp -d -t vantrel-readers.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -noreset -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

"$build/tools/feedsim/feedsim" --port 0 --entries 50 >"$work/port" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/port")

# A fresh home; prints its path.
fresh_home() {
  local home
  home=$(mktemp -d -p "$work" home.XXXXXX)
  mkdir -p "$home/.config/vantrel" "$home/.cache" "$home/run"
  chmod 700 "$home/run"
  echo "$home"
}

# The settings of a Vantrel profile with `count` loopback feeds (0: none).
vantrel_settings() {
  local home=$1 count=$2
  {
    echo '<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict><key>feeds</key><array>'
    for n in $(seq 1 "$count"); do
      echo "<dict><key>uuid</key><string>FEED-$n</string><key>url</key><string>http://127.0.0.1:$port/feeds/$n.xml</string></dict>"
    done
    echo '</array><key>reachabilityHost</key><string>127.0.0.1</string><key>firstRun</key><false/>'
    echo '<key>prevVersion</key><string>999999</string><key>CheckHandlerOnStartup</key><false/></dict></plist>'
  } >"$home/.config/vantrel/settings.plist"
}

# Runs the command in the home under a private bus; prints "startup_ms pss_mib idle_cpu_s_per_min".
# The window counts once one of the process tree's windows is mapped (with MAIN_WINDOW_NAME set,
# one whose title contains it).
measure_start() {
  local home=$1 settle=$2 idle=$3
  shift 3
  python3 - "$home" "$settle" "$idle" "$@" <<'PY'
import os, subprocess, sys, time
home, settle, idle, command = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), sys.argv[4:]
env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_CACHE_HOME=home + "/.cache",
           XDG_DATA_HOME=home + "/.local/share", XDG_STATE_HOME=home + "/.local/state",
           XDG_RUNTIME_DIR=home + "/run", QT_QPA_PLATFORM="xcb", CANBERRA_DRIVER="alsa", CANBERRA_DEVICE="null")
# A reader built on Chromium's engine refuses to start as root inside its sandbox.
if os.geteuid() == 0:
    env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
start = time.monotonic()
process = subprocess.Popen(["dbus-run-session", "--"] + command, env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, start_new_session=True)

def tree(root):
    pids, frontier = {root}, [root]
    while frontier:
        pid = frontier.pop()
        try:
            children = open(f"/proc/{pid}/task/{pid}/children").read().split()
        except OSError:
            continue
        for child in map(int, children):
            if child not in pids:
                pids.add(child); frontier.append(child)
    return pids

# A reader's main window is known by its title: a splash screen before it does not count.
main_window = os.environ.get("MAIN_WINDOW_NAME", "")

def mapped_window():
    for pid in tree(process.pid):
        search = ["xdotool", "search", "--onlyvisible", "--pid", str(pid)]
        if main_window:
            search += ["--name", main_window]
        found = subprocess.run(search, capture_output=True, text=True).stdout.split()
        if found:
            return True
    return False

startup = None
while time.monotonic() - start < 30:
    if mapped_window():
        startup = (time.monotonic() - start) * 1000
        break
    time.sleep(0.005)

def pss():
    total = 0
    for pid in tree(process.pid):
        try:
            for line in open(f"/proc/{pid}/smaps_rollup"):
                if line.startswith("Pss:"):
                    total += int(line.split()[1])
        except OSError:
            pass
    return total / 1024

def cpu():
    ticks = 0
    for pid in tree(process.pid):
        try:
            fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
            ticks += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return ticks / os.sysconf("SC_CLK_TCK")

time.sleep(max(0.0, settle - (time.monotonic() - start)))
memory = pss()
before = cpu()
time.sleep(idle)
idle_cpu = (cpu() - before) * 60 / idle
os.killpg(process.pid, 15)
try:
    process.wait(timeout=30)
except subprocess.TimeoutExpired:
    os.killpg(process.pid, 9)
print(f"{startup if startup is not None else float('nan'):.0f} {memory:.1f} {idle_cpu:.3f}")
PY
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One row: median of the runs of a start measurement. Arguments: label, then how to prepare and run.
row() {
  local label=$1 prepare=$2 settle=$3 idle=$4
  shift 4
  : >"$work/samples"
  for _ in $(seq "$runs"); do
    local home
    home=$(fresh_home)
    $prepare "$home"
    measure_start "$home" "$settle" "$idle" "$@" >>"$work/samples"
  done
  printf '%-28s %8s ms %8s MiB %8s s/min\n' "$label" \
    "$(cut -d' ' -f1 "$work/samples" | median)" "$(cut -d' ' -f2 "$work/samples" | median)" \
    "$(cut -d' ' -f3 "$work/samples" | median)"
}

empty_vantrel() { vantrel_settings "$1" 0; }
# 500 feeds of 50 stored entries: one refresh into a template profile, copied for each run.
loaded_vantrel() {
  cp -a "$work/loaded/.config" "$work/loaded/.cache" "$1/"
}
nothing() { :; }

settle_empty=10
idle_seconds=60
settle_loaded=60
if [ "$quick" = 1 ]; then idle_seconds=20; settle_loaded=10; fi

echo "program: $program; medians of $runs; Xvfb with openbox on $DISPLAY; feeds on 127.0.0.1:$port"
printf '%-28s %11s %12s %14s\n' "" "main window" "PSS" "idle CPU"
row "Vantrel, empty profile" empty_vantrel "$settle_empty" "$idle_seconds" "$program"

mkdir -p "$work/loaded"
home=$(fresh_home) && mv "$home"/.config "$home"/.cache "$work/loaded/" && vantrel_settings "$work/loaded" 500
HOME=$work/loaded XDG_CONFIG_HOME=$work/loaded/.config XDG_CACHE_HOME=$work/loaded/.cache \
  "$build/src/vantrel" --refresh-once >/dev/null 2>&1
row "Vantrel, 500 feeds, 25k" loaded_vantrel "$settle_loaded" "$idle_seconds" "$program"
for reader in "${present[@]}"; do
  export MAIN_WINDOW_NAME=${main_window[$reader]}
  row "$reader, empty profile" nothing "$settle_empty" "$idle_seconds" "${command[$reader]}"
  unset MAIN_WINDOW_NAME
done

# The refresh: 200 feeds of 50 entries from a cold profile, wall and CPU time of the process.
: >"$work/refresh"
for _ in $(seq "$runs"); do
  home=$(fresh_home)
  vantrel_settings "$home" 200
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache python3 - "$build/src/vantrel" >>"$work/refresh" <<'PY'
import resource, subprocess, sys, time
start = time.monotonic()
subprocess.run([sys.argv[1], "--refresh-once"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
print(f"{time.monotonic() - start:.2f} {usage.ru_utime + usage.ru_stime:.2f}")
PY
done
printf '%-28s %8s s wall %6s CPU-s\n' "Vantrel --refresh-once 200×50" \
  "$(cut -d' ' -f1 "$work/refresh" | median)" "$(cut -d' ' -f2 "$work/refresh" | median)"
