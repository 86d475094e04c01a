#!/usr/bin/env bash
# The README's picture of one shared world in three builds at one tick: the Linux program, kelvaron.scr
# under Wine and the page, side by side and labelled.
#
# A headless Linux client makes a room of the Linux relay and drives car 0 from a key script; the
# Linux program (on an Xvfb display of its own) and kelvaron.scr under Wine (on another) join it
# live and drive their seats' cars with held keys. Then the relay is stopped (SIGSTOP): each client
# runs up to the last tick it got and stands there, waiting for the next. Both drawn clients are
# taken as they stand and end with Escape, each saying its frame count and state hash, which must
# agree. The page cannot join a room yet, so it plays the room's log, as the relay keeps it, cut at
# that tick and paused there; the Linux replay of the same cut log must end at the same hash.
#   bench/three-views.sh [LINUX-BUILD WINDOWS-BUILD WEB-BUILD [OUT.png]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
linux=$(cd "${1:-$root/build/release}" && pwd)
windows=$(cd "${2:-$root/build/windows}" && pwd)
web=$(cd "${3:-$root/build/web}" && pwd)
out=${4:-$root/docs/three-views.png}
for part in wait display screen keys settings wine relay; do . "$root/scripts/lib/$part.sh"; done
size=640x480
views=640x240+0+0  # the upper two chase views
font=/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
client_pid=
linux_xvfb=
cleanup() {
  kill "$client_pid" "${linux_pid:-}" "${scr_pid:-}" 2> /dev/null
  [ -n "${relay_pid:-}" ] && kill -CONT "$relay_pid" 2> /dev/null
  stop_relay
  [ -n "$linux_xvfb" ] && kill "$linux_xvfb" 2> /dev/null
  stop_display
}
trap cleanup EXIT
say() { echo "three-views: $*"; }
fail() { echo "three-views: $*" >&2; exit 1; }

# Wine's display first, made current for every Windows program; then the Linux program's.
start_display ${size}x24
wine_display=$DISPLAY
use_wine_prefix "$work/wine"
reg_set UseTakeFocus REG_SZ N 'HKCU\Software\Wine\X11 Driver'  # no window manager: follow the X focus
reg_set screenWidth REG_DWORD 640
reg_set screenHeight REG_DWORD 480
reg_set bitsPP REG_DWORD 32
wine_xvfb=$xvfb_pid
start_display ${size}x24
linux_display=$DISPLAY linux_xvfb=$xvfb_pid
xvfb_pid=$wine_xvfb
export DISPLAY=$wine_display
export XDG_CONFIG_HOME=$work/config
write_keyfile screenWidth=640 screenHeight=480

# The relay also serves the page, from a folder of the web build's files beside the log to play.
mkdir -p "$work/page" "$work/logs"
for file in index.html page.js sw.js manifest.webmanifest icon.svg kelvaron.js kelvaron.wasm kelvaron.data; do
  cp "$web/$file" "$work/page/"
done
start_relay "$linux/kelvaron-relay" "$work/relay.log" --page "$work/page" --log-dir "$work/logs" ||
  fail "the relay did not start"
"$linux/tools/kelvaron-replay" --join "http://127.0.0.1:$relay_port/" --script "$here/scripts/drive.keys" \
  --frames 100000 > "$work/client.out" 2> "$work/client.err" &
client_pid=$!
wait_until 20 grep -q '^room ' "$work/client.out" || fail "no room: $(cat "$work/client.err")"
link=$(sed -n 's/^room //p' "$work/client.out" | head -n 1)
say "room $link"

DISPLAY=$linux_display "$linux/kelvaron" /s --join "$link" --record "$work/linux.keys" > "$work/linux.log" 2>&1 &
linux_pid=$!
linux_win=$(DISPLAY=$linux_display wait_for_window Start 60) || fail "the Linux program opened no window"
wine_run "$windows/kelvaron.scr" /s --join "$link" --record "$(wine_run winepath -w "$work/windows.keys" | tr -d '\r')" \
  > "$work/windows.log" 2>&1 &
scr_pid=$!
scr_win=$(wait_for_window Start 60) || fail "kelvaron.scr opened no window"

# Seat 1 (the blue car) drives off bearing left, seat 2 (the green one) bearing right.
DISPLAY=$linux_display focus_window "$linux_win"
focus_window "$scr_win"
DISPLAY=$linux_display xdotool keydown Up
xdotool keydown Up
sleep 5
DISPLAY=$linux_display xdotool keydown Left
xdotool keydown Right
sleep 3
DISPLAY=$linux_display xdotool keyup Left
xdotool keyup Right
sleep 8
DISPLAY=$linux_display xdotool keyup Up
xdotool keyup Up
sleep 1

kill -STOP "$relay_pid"
DISPLAY=$linux_display comes_to_a_stand $views 1 60 || fail "the Linux program's views did not stand still"
comes_to_a_stand $views 1 60 || fail "kelvaron.scr's views did not stand still"
DISPLAY=$linux_display shot "$work/linux.png"
shot "$work/windows.png"
DISPLAY=$linux_display press_escape "$linux_win" 30 || fail "the Linux program did not end"
press_escape "$scr_win" 30 || fail "kelvaron.scr did not end"
wait "$linux_pid" "$scr_pid" || true
kill -CONT "$relay_pid"
kill "$client_pid"

recorded() { tr -d '\r' < "$1" | sed -n 's/^kelvaron: recorded \([0-9]*\) frames to .*, state hash \([0-9a-f]*\)$/\1 \2/p'; }
read -r tick hash <<< "$(recorded "$work/linux.log")"
[ -n "${tick:-}" ] || fail "the Linux program said nothing of its recording: $(cat "$work/linux.log")"
[ "$(recorded "$work/windows.log")" = "$tick $hash" ] ||
  fail "the two clients stood at different ticks or worlds: Linux at $tick $hash, Windows at $(recorded "$work/windows.log")"
say "both clients stood at tick $tick, state hash $hash"

# The room ends 10 s after the last client has left, and its log is kept then.
room_log() { ls "$work"/logs/*.keys 2> /dev/null | head -n 1; }
wait_until 40 eval '[ -n "$(room_log)" ]' || fail "the relay kept no log: $(cat "$work/relay.log")"
# The log up to that tick, a pause before the next, and room to stand paused.
awk -v t="$tick" '
  $1 == "frames" { print "frames", t + 100000; next }
  $1 ~ /^[0-9]+$/ && $1 > t { next }
  { print }
  END { print t + 1, "pause" }' "$(room_log)" > "$work/page/paused.keys"
replayed=$("$linux/tools/kelvaron-replay" --script "$work/page/paused.keys" --frames "$tick" --hash --every 1000000000 | tail -n 1)
[ "$replayed" = "hash $tick $hash" ] || fail "the room's log cut at tick $tick replays to '$replayed', not hash $hash"
grep -q ' down 87$' "$work/page/paused.keys" && grep -q ' down 73$' "$work/page/paused.keys" ||
  fail "the room's log lacks the drawn clients' keys"

"$root/tests/web/install-driver.sh" "$work/driver"
NODE_PATH="$work/driver/node_modules" node "$here/three-views.js" "http://127.0.0.1:$relay_port/?play=paused.keys" \
  "$work/page.png" || fail "no picture of the page"

label() {  # PICTURE TEXT OUT
  convert "$1" -resize 640x480! -background '#202020' -fill white -font "$font" -pointsize 20 \
    -gravity north -splice 0x34 -annotate +0+6 "$2" "$3"
}
label "$work/linux.png" "Linux: kelvaron --join, live, tick $tick" "$work/a.png"
label "$work/windows.png" "Windows: kelvaron.scr --join under Wine, live, tick $tick" "$work/b.png"
label "$work/page.png" "The page: the room's log played, paused at tick $tick" "$work/c.png"
convert "$work/a.png" "$work/b.png" "$work/c.png" -bordercolor '#202020' -border 4 +append -strip "$out"
say "wrote $out: tick $tick, state hash $hash"
