#!/usr/bin/env bash
# Kelvaron as an XScreenSaver hack: Debian's xscreensaver daemon on a private Xvfb display, with
# Kelvaron as its only hack, activated and deactivated with xscreensaver-command.
#   xscreensaver_test.sh KELVARON
set -u
for part in checks wait display screen xscreensaver; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap '[ -n "${daemon:-}" ] && kill "$daemon" 2> /dev/null; stop_display' EXIT
start_display 1024x768x24 || exit 1

make_saver_home
cp "$1" "$work/kelvaron"
# The hack is a script that outlives Kelvaron to keep its process id and exit status. XScreenSaver
# signals the hack's process alone, here the script: Kelvaron ends because its window goes with
# XScreenSaver's (daemon_cycling_test.sh has it signalled).
cat > "$work/hack.sh" <<HACK
#!/bin/sh
trap '' TERM
"$work/kelvaron" -root &
echo \$! > "$home/pid"
wait \$!
echo \$? > "$home/status"
HACK
chmod 755 "$work/hack.sh"
check "the daemon answers" start_saver "$work/hack.sh"
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
check "... cleanly, with status 0 (it was ${saver_status:-not written})" [ "$saver_status" = 0 ]
finish
