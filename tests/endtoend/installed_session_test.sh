#!/usr/bin/env bash
# The installed program as a user meets it: `cmake --install` into a temporary prefix, then on
# Xvfb with openbox, xcompmgr and trayer as the tray host the browser's way in: xdg-open of a
# feed: link finds Vantrel through its installed desktop file. The add-feed sheet is accepted,
# the feed's headlines reach the bar, a click opens the preview, a double click hands the link
# to a fake browser registered as the http handler, Quit from the tray menu saves, and a start
# with the feed server gone shows the stored headlines.
# Usage: installed_session_test.sh <cmake> <build folder> <feedsim> <vantrel_screengrab>
set -euo pipefail
cmake=$1 build=$2 feedsim=$3 grab=$4

source "$(dirname "$0")/xsession.sh"
require_tools Xvfb openbox xcompmgr trayer xdotool xwininfo xdg-open xdg-mime
make_work_folder vantrel-installed
fail() {
  echo "FAIL: $*"
  [ -n "${E2E_KEEP:-}" ] && [ -n "${DISPLAY:-}" ] && "$grab" "$E2E_KEEP/failed.png" 0 0 1280 800 >/dev/null
  [ -n "${E2E_KEEP:-}" ] && cp -r "$work/home" "$E2E_KEEP/" 2>/dev/null
  for f in "$work"/run*.log; do
    [ -f "$f" ] && grep -v 'does not support' "$f" | tail -20 | sed "s|^|  $(basename "$f"): |"
  done
  exit 1
}
prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" || fail "cmake --install failed"

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
export XDG_RUNTIME_DIR=$work/run DBUS_SESSION_BUS_ADDRESS=disabled:
export CANBERRA_DRIVER=alsa CANBERRA_DEVICE=null ASAN_OPTIONS=detect_leaks=0
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP DESKTOP_SESSION BROWSER
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/vantrel" "$XDG_DATA_HOME/applications" "$work/etc"
chmod 700 "$XDG_RUNTIME_DIR"

"$feedsim" --port 0 >"$work/feedsim.port" 2>"$work/feedsim.log" &
feedsim_pid=$!
pids+=($feedsim_pid)
waitfor 100 test -s "$work/feedsim.port" || fail "feedsim did not start"
port=$(head -n 1 "$work/feedsim.port")
feed=http://127.0.0.1:$port/demo/0.xml

start_display -noreset
pids+=($xvfb)
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
xcompmgr >/dev/null 2>&1 &
pids+=($!)
trayer --edge top --align left --widthtype pixel --width 120 --height 32 --SetDockType true \
  --SetPartialStrut true >/dev/null 2>&1 &
pids+=($!)
waitfor 50 xdotool search --name '^panel$' || fail "no tray host"

# The desktop knows only the installed program and the fake browser below.
export XDG_CONFIG_DIRS=$work/etc XDG_DATA_DIRS=$prefix/share PATH=$prefix/bin:$PATH QT_QPA_PLATFORM=xcb

# The browser: records each link it is asked to open.
cat >"$work/fakebrowser" <<BROWSER
#!/bin/sh
echo "\$1" >>"$work/browser.txt"
BROWSER
chmod +x "$work/fakebrowser"
cat >"$XDG_DATA_HOME/applications/fakebrowser.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Fake Browser
Exec=$work/fakebrowser %u
MimeType=x-scheme-handler/http;x-scheme-handler/https;
DESKTOP
xdg-mime default fakebrowser.desktop x-scheme-handler/http x-scheme-handler/https
xdg-mime default org.vantrel.Vantrel.desktop x-scheme-handler/feed

# A user past the first start who keeps the bar in the tray, with no feeds yet.
cat >"$XDG_CONFIG_HOME/vantrel/settings.plist" <<SETTINGS
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
 <dict>
  <key>feeds</key><array/>
  <key>firstRun</key><false/>
  <key>showInDock</key><false/>
  <key>prevVersion</key><string>999</string>
  <key>CheckHandlerOnStartup</key><true/>
  <key>reachabilityHost</key><string>127.0.0.1</string>
  <key>location</key><integer>1</integer>
 </dict>
</plist>
SETTINGS

# The first start, from the browser's feed: link.
xdg-open "feed:$feed" >"$work/run1.log" 2>&1 &
pids+=($!)
sheet=""
for _ in $(seq 300); do
  sheet=$(xdotool search --onlyvisible --name '^Add Feed$' 2>/dev/null | head -n 1 || true)
  [ -n "$sheet" ] && break
  sleep 0.1
done
[ -n "$sheet" ] || fail "no add-feed sheet within 30 s"
vantrel_pid=$(xdotool getwindowpid "$sheet")
[ "$(readlink "/proc/$vantrel_pid/exe")" = "$prefix/bin/vantrel" ] || fail "the sheet is not the installed program's"
xdotool search --onlyvisible --name '^Default Feed Reader$' >/dev/null 2>&1 &&
  fail "the handler panel came up although Vantrel is the feed: handler"
xdotool windowactivate --sync "$sheet" key --clearmodifiers Return
waitfor 50 sh -c "! xdotool search --onlyvisible --name '^Add Feed$'" || fail "the sheet did not close on Return"
echo "the sheet took the link"

# The bar: the program's window at the right edge, below the panel down to the screen's bottom.
bar=""
for _ in $(seq 100); do
  for w in $(xdotool search --onlyvisible --pid "$vantrel_pid" 2>/dev/null || true); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if [ $((Y + HEIGHT)) -eq 800 ] && [ "$Y" -le 32 ] && [ $((X + WIDTH)) -eq 1280 ]; then bar=$w; break 2; fi
  done
  sleep 0.1
done
[ -n "$bar" ] || fail "no bar at the right edge"
eval "$(xdotool getwindowgeometry --shell "$bar")"
barx=$X bary=$Y barwidth=$WIDTH
# A row with text has many colours; the empty bar has one or two.
top_row_has_text() { [ "$("$grab" "$work/top.png" "$barx" "$bary" $((barwidth - 12)) 60)" -gt 16 ]; }
waitfor 300 top_row_has_text || fail "the feed's headlines did not reach the bar within 30 s"
echo "headlines in the bar"

# The preview: another window of the program's, beside the bar.
preview_shown() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$vantrel_pid" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ $((X + WIDTH)) -le "$barx" ] && [ "$WIDTH" -gt 100 ] && [ "$HEIGHT" -gt 100 ] && return 0
  done
  return 1
}
# The preferences close with Ctrl+W; then nothing of the program's stands beside the bar.
xdotool key --clearmodifiers ctrl+w
waitfor 50 sh -c "! xdotool search --onlyvisible --name '^(General|Feeds)$'" || fail "Ctrl+W left the preferences open"
for _ in $(seq 50); do preview_shown || break; sleep 0.1; done
preview_shown && fail "a window of the program's stands beside the bar before any click"
# Arrivals may still be sliding in; the click waits until the top row stays put.
sleep 4
xdotool mousemove $((barx + 60)) $((bary + 25)) click 1
waitfor 50 preview_shown || fail "a click on a headline opened no preview"
echo "the click opened the preview"
[ -n "${E2E_KEEP:-}" ] && "$grab" "$E2E_KEEP/preview.png" 0 0 1280 800 >/dev/null
xdotool mousemove $((barx + 60)) $((bary + 25)) click --repeat 2 --delay 60 1
waitfor 100 grep -q "^http://127.0.0.1:$port/" "$work/browser.txt" || fail "the double click did not reach the browser"
echo "the double click opened $(head -n 1 "$work/browser.txt")"

# Quit from the tray menu: right click on the icon in the panel, the last item.
tray=$(xwininfo -root -tree | grep -E '^ +0x[0-9a-f]+ "Vantrel": \(' | grep -E ' 2[0-9]x[0-9]+\+0\+0 ' | head -n 1 || true)
[ -n "$tray" ] || fail "no tray icon in the panel"
read -r tx ty < <(echo "$tray" | sed -E 's/.* ([0-9]+)x([0-9]+)\+0\+0 +\+([0-9]+)\+([0-9]+).*/\3 \4/')
xdotool mousemove $((tx + 10)) $((ty + 10)) click 3
waitfor 30 sh -c "xwininfo -root -tree | grep -qE '\"Vantrel\": \(.*\) +[0-9]{2,3}x1[0-9]{2}\+'" ||
  fail "the tray menu did not open"
xdotool key Up Return
waitfor 300 sh -c "! kill -0 $vantrel_pid" || fail "Quit from the tray menu did not end the program"
echo "quit from the tray"

# The feed server goes away: what the next start shows was saved at quit.
kill "$feedsim_pid"
vantrel --list-feeds >"$work/feeds.txt" || fail "--list-feeds failed after the quit"
grep -F "$feed" "$work/feeds.txt" | awk -F'\t' '$3 >= 1 { found = 1 } END { exit !found }' ||
  { cat "$work/feeds.txt"; fail "the feed and its headlines were not saved at quit"; }

vantrel >"$work/run2.log" 2>&1 &
again=$!
pids+=($again)
waitfor 300 top_row_has_text || fail "the stored headlines were not shown on the next start"
echo "the next start shows the stored headlines"
kill -TERM "$again"
wait "$again" || fail "SIGTERM did not end the program cleanly"
echo "PASS"
