#!/usr/bin/env bash
# Kelvaron as an XScreenSaver hack: Debian's xscreensaver daemon on a private Xvfb display, with
# Kelvaron as its only hack, activated and deactivated with xscreensaver-command.
#   xscreensaver_test.sh KELVARON
set -u
for part in checks wait display screen; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap '[ -n "${daemon:-}" ] && kill "$daemon" 2> /dev/null; stop_display' EXIT
start_display 1024x768x24 || exit 1

# xscreensaver launches no hacks as root: run it as nobody, with the program and a home it can reach.
# setpriv changes the user in place, so the daemon keeps the process id it was started with.
chmod 755 "$work"
cp "$1" "$work/kelvaron"
home="$work/home"
mkdir -p "$home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
# The hack is a script that outlives Kelvaron to keep its process id and exit status; XScreenSaver
# signals the whole process group.
cat > "$work/hack.sh" <<HACK
#!/bin/sh
trap '' TERM
"$work/kelvaron" -root &
echo \$! > "$home/pid"
wait \$!
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
daemon=$!
check "the daemon answers" wait_until 60 eval 'saver xscreensaver-command -version > /dev/null 2>&1'
saver xscreensaver-command -activate > /dev/null
check "activating starts Kelvaron" wait_until 60 [ -s "$home/pid" ]
pid=$(cat "$home/pid" 2> /dev/null)
check "it draws inside XScreenSaver's window" eval '[ -n "$(wait_for_window Kelvaron)" ]'
check "... filling the screen with the three views" wait_for_colour "$work/saver.png" 512x384+512+0 red 2000
check "... and the overlay in the fourth quadrant" [ "$(count_colour "$work/saver.png" 512x384+512+384 lit)" -gt 100 ]
saver xscreensaver-command -deactivate > /dev/null
check "deactivating ends it" wait_for_exit_of "$pid"
wait_until 20 [ -s "$home/status" ]
saver_status=$(cat "$home/status" 2> /dev/null)
check "... cleanly, on SIGTERM, with status 0 (it was ${saver_status:-not written})" [ "$saver_status" = 0 ]
finish
