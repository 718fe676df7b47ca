#!/usr/bin/env bash
# The program on a real X desktop: Xvfb with openbox, xcompmgr and trayer as the tray host, a fresh
# home, started by xdg-open through its desktop file with a feed: link. Checks the first start's
# windows, the tray icon and its menu, a second start's hand-over, Quit from the tray menu with the
# save, and a quiet second start with the headlines still there.
# Usage: tray_session_test.sh <program> <vantrel> <feedsim>
#   program: the desktop start (the probe, whose stand-in windows print what they are asked)
#   vantrel: the command line, to read the profile afterwards
set -euo pipefail
program=$1
cli=$2
feedsim=$3

source "$(dirname "$0")/../endtoend/xsession.sh"
make_work_folder vantrel-desktop
fail() {
  echo "FAIL: $*" >&2
  for f in "$work"/out*.txt; do echo "--- $f" >&2; grep -v 'does not support' "$f" >&2 || true; done
  exit 1
}
visible() { xdotool search --onlyvisible --name "$1"; }

export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_CACHE_HOME=$work/.cache XDG_DATA_HOME=$work/.local/share
export XDG_STATE_HOME=$work/.local/state XDG_RUNTIME_DIR=$work/run XDG_CONFIG_DIRS=$work/etc
export XDG_DATA_DIRS=$work/usr DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb
export CANBERRA_DRIVER=alsa CANBERRA_DEVICE=null
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP DESKTOP_SESSION
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/vantrel" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_DIRS" "$XDG_DATA_DIRS"
chmod 700 "$XDG_RUNTIME_DIR"

"$feedsim" --port 0 >"$work/feedsim.txt" 2>&1 &
pids+=($!)
waitfor 50 test -s "$work/feedsim.txt" || fail "feedsim did not start"
port=$(head -1 "$work/feedsim.txt")

start_display -noreset
pids+=($xvfb)
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
xcompmgr >/dev/null 2>&1 &
pids+=($!)
trayer --edge top --align right --widthtype pixel --width 120 --height 32 --SetDockType true \
  --SetPartialStrut true >/dev/null 2>&1 &
pids+=($!)
waitfor 50 xdotool search --name '^panel$' || fail "no tray host"

# The desktop knows the program by its desktop file and opens feed: links with it.
cat >"$XDG_DATA_HOME/applications/org.vantrel.Vantrel.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Vantrel
Exec=$program %u
MimeType=x-scheme-handler/feed;
DESKTOP
xdg-mime default org.vantrel.Vantrel.desktop x-scheme-handler/feed
# A user who chose the tray, subscribed to one feed on the loopback server.
cat >"$XDG_CONFIG_HOME/vantrel/settings.plist" <<SETTINGS
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
 <dict>
  <key>feeds</key>
  <array><dict>
   <key>url</key><string>http://127.0.0.1:$port/rss/news.xml</string>
   <key>uuid</key><string>NEWS</string>
  </dict></array>
  <key>showInDock</key><false/>
  <key>reachabilityHost</key><string>127.0.0.1</string>
 </dict>
</plist>
SETTINGS

# First start, by the browser's way: xdg-open with a feed: link.
xdg-open "feed://127.0.0.1:$port/rss/sport.xml?a=1&b=%20" >"$work/out1.txt" 2>&1 &
first=$!
pids+=($first)
waitfor 200 grep -qx 'bar: front' "$work/out1.txt" || fail "the first start did not show its bar"
waitfor 50 grep -qx "preferences: add http://127.0.0.1:$port/rss/sport.xml?a=1&b=%20" "$work/out1.txt" ||
  fail "the link did not reach the add-feed flow"
waitfor 50 visible '^Welcome to Vantrel$' || fail "no welcome on the first start"
waitfor 50 visible "^What's New$" || fail "no What's New on the first start"
grep -q 'x-scheme-handler/feed=org.vantrel.Vantrel.desktop' "$XDG_CONFIG_HOME/mimeapps.list" ||
  fail "Vantrel is not the feed: handler"

# The tray icon sits in the tray host's panel.
tray=$(xwininfo -root -tree | grep -E '^ +0x[0-9a-f]+ "Vantrel": \(' | grep -E ' 2[0-9]x[0-9]+\+0\+0 ' | head -1)
[ -n "$tray" ] || fail "no tray icon in the panel"
read -r tx ty < <(echo "$tray" | sed -E 's/.* ([0-9]+)x([0-9]+)\+0\+0 +\+([0-9]+)\+([0-9]+).*/\3 \4/')

# A second start hands its link over and ends; one with no feed link is refused.
"$program" "feed:https://example.org/atom.xml" >"$work/out2.txt" 2>&1 || fail "the second start failed"
waitfor 50 grep -qx 'preferences: add https://example.org/atom.xml' "$work/out1.txt" || fail "no hand-over"
if "$program" "feed:javascript:alert(1)" >"$work/out3.txt" 2>&1; then fail "a javascript: link was accepted"; fi
grep -q 'javascript:alert(1)' "$work/out3.txt" || fail "the refusal did not say why"

# The feed's headlines arrive (the first round comes after three seconds).
waitfor 200 grep -qE '^headlines: [1-9]' "$work/out1.txt" || fail "no headlines"

# Quit from the tray menu: right click, the last item. The menu is a small popup of the
# program's, about seven items high. Once in a full run a right click opened no menu (the cause
# is not known); a user would click again, and so does the test, twice at most.
menu_open() { xwininfo -root -tree | grep -qE '"Vantrel": \(.*\) +[0-9]{2,3}x1[0-9]{2}\+'; }
xdotool mousemove $((tx + 10)) $((ty + 10))
sleep 0.3
for click in 1 2 3; do
  xdotool click 3
  waitfor 30 menu_open && break
done
menu_open || { xwininfo -root -tree | grep -i vantrel >&2; fail "the tray menu did not open"; }
[ "$click" -eq 1 ] || echo "the tray menu opened at right click $click"
xdotool key Up Return
status=0
for _ in $(seq 300); do kill -0 "$first" 2>/dev/null || break; sleep 0.1; done
kill -0 "$first" 2>/dev/null && fail "Quit from the tray menu did not end the program"
wait "$first" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
"$cli" --list-feeds | awk -F'\t' '$3 < 1 { exit 1 }' || fail "the headlines were not saved at quit"

# The next start is quiet: no welcome, no What's New.
"$program" >"$work/out4.txt" 2>&1 &
again=$!
pids+=($again)
waitfor 200 grep -qx 'bar: front' "$work/out4.txt" || fail "the second run did not start"
waitfor 30 grep -qE '^headlines: [1-9]' "$work/out4.txt" || fail "the stored headlines were not shown before a refresh"
sleep 1
visible '^Welcome to Vantrel$' >/dev/null && fail "a welcome on a later start"
visible "^What's New$" >/dev/null && fail "What's New on a later start without an upgrade"
kill -TERM "$again"
wait "$again" || fail "SIGTERM did not end the program cleanly"
echo "desktop session: all checks passed"
