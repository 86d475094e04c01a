#!/usr/bin/env bash
# kelvaron --add-to-xscreensaver and --remove-from-xscreensaver against Debian's xscreensaver daemon
# on a private Xvfb display: with the user's ~/.xscreensaver as xscreensaver-settings saves it, the
# command alone puts Kelvaron where `xscreensaver-command -select 1` runs it, and takes it out again;
# Kelvaron listed but turned off, it turns it on.
#   xscreensaver_add_test.sh KELVARON
set -u
for part in checks wait display screen xscreensaver; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap '[ -n "${daemon:-}" ] && kill "$daemon" 2> /dev/null; stop_display' EXIT
start_display 1024x768x24 || exit 1

# The hack is found on the PATH, as an installed one is in XScreenSaver's hack folder.
make_saver_home
saver_path="$work/bin"
mkdir -p "$saver_path"
cp "$1" "$saver_path/kelvaron"
config="$home/.xscreensaver"

saver kelvaron --add-to-xscreensaver > "$work/out" 2>&1
status=$?
check "with no ~/.xscreensaver it refuses (status $status) and says how to make one" \
  eval '[ $status -eq 1 ] && grep -q "run xscreensaver-settings once" "$work/out" && [ ! -e "$config" ]'

# What xscreensaver-settings saves: every setting, and the list with a disabled GL hack in it.
saver sh -c "cat > '$config'" <<'CONFIG'
# XScreenSaver Preferences File
timeout:	0:30:00
lock:		False
fade:		False
unfade:		False
splash:		False
mode:		one
selected:	0
programs:								      \
				xscreensaver-no-such-hack --root		    \n\
- GL: 				superquadrics --root			    \n\

pointerHysteresis:	10
CONFIG
cp "$config" "$work/saved"

check "the daemon answers" start_saver

saver kelvaron --add-to-xscreensaver > "$work/out" 2>&1
check "--add-to-xscreensaver succeeds" [ $? -eq 0 ]
check "... keeping the file as it was beside it" cmp -s "$work/saved" "$config.kelvaron-backup"
cp "$config" "$work/added"
saver kelvaron --add-to-xscreensaver > "$work/out" 2>&1
status=$?
check "a second time it succeeds (status $status) and changes nothing" eval '[ $status -eq 0 ] && cmp -s "$work/added" "$config"'

# XScreenSaver 6 runs it as its settings descriptor says: kelvaron --root.
hack_runs() { pgrep -u "$(stat -c %u "$home")" -f '^kelvaron --?root' > /dev/null; }
saver xscreensaver-command -select 1 > /dev/null
check "xscreensaver-command -select 1 runs Kelvaron" wait_until 60 hack_runs
check "... which draws on the screen" wait_for_colour "$work/saver.png" 512x384+512+0 red 2000 60
[ "$failed" -eq 0 ] || tail -n 20 "$work/xscreensaver.log"
saver xscreensaver-command -deactivate > /dev/null
check "deactivating ends it" wait_until 30 eval '! hack_runs'

saver kelvaron --remove-from-xscreensaver > "$work/out" 2>&1
status=$?
check "--remove-from-xscreensaver succeeds (status $status) and gives back the file as it was" \
  eval '[ $status -eq 0 ] && cmp -s "$work/saved" "$config"'
saver xscreensaver-command -select 1 > /dev/null
sleep 5
check "... after which the daemon's first hack is no longer Kelvaron" eval '! hack_runs'
saver xscreensaver-command -deactivate > /dev/null

# Kelvaron in the list but turned off, as xscreensaver-settings writes it when it is not ticked: the
# '-' keeps it out of the random choice. (The daemon cannot show that it is picked then: it adds
# every hack of its own that the file does not list, so the choice is among some 200.)
saver sh -c "cat > '$config'" <<'CONFIG'
mode:		random
programs:								      \
- GL: 				superquadrics --root			    \n\
-				kelvaron --root				    \n\

pointerHysteresis:	10
CONFIG
cp "$config" "$work/off"
sed 's/^-\(\t*kelvaron\)/\1/' "$work/off" > "$work/on"
saver kelvaron --add-to-xscreensaver > "$work/out" 2>&1
status=$?
check "--add-to-xscreensaver turns it on (status $status), taking out only its '-', and says so" \
  eval '[ $status -eq 0 ] && cmp -s "$work/on" "$config" && grep -q "had Kelvaron turned off; it is turned on now" "$work/out"'
check "... keeping the file as it was beside it" cmp -s "$work/off" "$config.kelvaron-backup"
saver kelvaron --add-to-xscreensaver > "$work/out" 2>&1
status=$?
check "a second time it changes nothing (status $status) and says it has Kelvaron" \
  eval '[ $status -eq 0 ] && cmp -s "$work/on" "$config" && grep -q "already has Kelvaron; nothing was changed" "$work/out"'
finish
