#!/usr/bin/env bash
# Kelvaron as an XScreenSaver hack: Debian's xscreensaver daemon on a private Xvfb display, with
# Kelvaron as its only hack, activated and deactivated with xscreensaver-command.
#   xscreensaver_test.sh KELVARON
set -u
. "$(dirname "$0")/lib.sh"
trap 'pkill -f "xscreensaver -no-splash" 2>/dev/null; stop_display' EXIT
start_display 1024x768x24 || exit 1

# xscreensaver launches no hacks as root: run it as nobody, with the program and a home it can reach.
chmod 755 "$work"
cp "$1" "$work/kelvaron"
home="$work/home"
mkdir -p "$home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$home"
  as_user=(runuser -u nobody --)
fi
# The hack is a script that outlives Kelvaron to keep its exit status; XScreenSaver signals the
# whole process group.
cat > "$work/hack.sh" <<HACK
#!/bin/sh
trap '' TERM
"$work/kelvaron" -root
echo \$? > "$home/status"
HACK
chmod 755 "$work/hack.sh"
cat > "$home/.xscreensaver" <<CONFIG
mode: one
selected: 0
timeout: 0:30:00
lock: False
splash: False
fade: False
unfade: False
programs: "Kelvaron" $work/hack.sh \\n
CONFIG
saver() { "${as_user[@]}" env HOME="$home" DISPLAY="$DISPLAY" "$@"; }

saver xscreensaver -no-splash -verbose > "$work/xscreensaver.log" 2>&1 &
sleep 2
saver xscreensaver-command -activate > /dev/null
for _ in $(seq 50); do pgrep -f "$work/kelvaron" > /dev/null && break; sleep 0.2; done
pid=$(pgrep -f "$work/kelvaron" | head -n 1)
check "activating starts Kelvaron" [ -n "$pid" ]
sleep 3
drawn=$(find_windows Kelvaron | head -n 1)
check "it draws inside XScreenSaver's window" [ -n "$drawn" ]
shot "$work/saver.png"
check "... filling the screen with the three views" [ "$(count_colour "$work/saver.png" 512x384+512+0 red)" -gt 2000 ]
check "... and the overlay in the fourth quadrant" [ "$(count_colour "$work/saver.png" 512x384+512+384 lit)" -gt 100 ]
saver xscreensaver-command -deactivate > /dev/null
check "deactivating ends it" wait_for_exit_of "$pid" 5
for _ in $(seq 20); do [ -s "$home/status" ] && break; sleep 0.1; done
check "... cleanly, on SIGTERM, with status 0" [ "$(cat "$home/status" 2>/dev/null)" = 0 ]
finish
