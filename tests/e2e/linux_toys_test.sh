#!/usr/bin/env bash
# The Linux program's toy keys and its manners on a real display: F12 saves the frame into the
# pictures folder, P pauses (the overlay says so), focus lost lets held keys go, and a full run on
# two monitors blacks out the other one until it ends.
#   linux_toys_test.sh KELVARON
set -u
kelvaron=$1
for part in checks wait display screen keys settings; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'kill "${xephyr_pid:-}" "${note_pid:-}" 2> /dev/null; stop_display' EXIT
start_display 2048x768x24 || exit 1
export XDG_CONFIG_HOME="$work/config" HOME="$work/home"
mkdir -p "$XDG_CONFIG_HOME/kelvaron" "$HOME/Bilder"
echo 'XDG_PICTURES_DIR="$HOME/Bilder"' > "$XDG_CONFIG_HOME/user-dirs.dirs"
write_keyfile screenWidth=2048 screenHeight=768
views=1024x384  # a quadrant of the 2048 x 768 run
conf="$XDG_CONFIG_HOME/kelvaron/kelvaron.conf"

# The dialog's first check box, ticked with the keyboard from the first field, is stored beside
# the six values, and the next OK keeps it.
dialog_ok "$kelvaron" /c -- Tab Tab Tab Tab Tab Tab space shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
check "a ticked check box is stored" grep -qx 'autopilot=1' "$conf"
check "... beside the six, which keep their values" grep -qx 'screenWidth=2048' "$conf"
dialog_ok "$kelvaron" /c
check "... and reloaded: OK alone keeps it" grep -qx 'autopilot=1' "$conf"
check "... and the other box as it was" grep -qx 'steadyPace=0' "$conf"
sed -i 's/^autopilot=1$/autopilot=0/' "$conf"

"$kelvaron" /s > "$work/run.log" 2>&1 &
pid=$!
win=$(wait_for_window Start)
check "a full run opens" [ -n "$win" ]
check "... and draws" wait_for_colour "$work/drawn.png" $views+1024+0 red 1000
focus_window "$win"

# Paused, the views stand still and a third line of text says so.
shot "$work/running.png"
xdotool key p
check "P pauses: the overlay gains its third line" \
  wait_for_change "$work/running.png" "$work/paused.png" $views+1024+384 20
shot "$work/paused-again.png"
sleep 1
shot "$work/paused-later.png"
check "... and the views stand still" [ "$(count_changed "$work/paused-again.png" "$work/paused-later.png" 2048x384+0+0)" -eq 0 ]
keep_shot "$work/paused-later.png" paused.png

# F12 while paused: the picture is the frame on the screen.
xdotool key F12
saved() { ls "$HOME"/Bilder/kelvaron-*.png > /dev/null 2>&1; }
check "F12 saves a PNG into the pictures folder" wait_until 20 saved
picture=$(ls "$HOME"/Bilder/kelvaron-*.png 2> /dev/null | head -n 1)
check "... of the window's size" [ "$(identify -format %wx%h "$picture" 2> /dev/null)" = 2048x768 ]
check "... showing what the screen shows" [ "$(count_changed "$picture" "$work/paused-later.png" 2048x384+0+0)" -lt 50 ]
check "... and says where on stderr" wait_until 10 grep -q "saved the frame as $picture" "$work/run.log"
xdotool key p

# Up and Left held while the window loses the focus: no key-up ever comes here, and still car 0
# stops circling. Held on, it circles ever faster and its view changes by some 30,000 pixels in half
# a second; let go, it rolls to a stand within seconds.
check "holding Up and Left drives car 0" drive_then_lose_focus "$win" $views+1024+0 30 Up Left
check "focus lost: car 0 comes to a stand although its keys were never released here" \
  comes_to_a_stand $views+1024+0 8000 60
kill "$note_pid"
press_escape "$win"
check "Escape ends the run" wait_for_exit "$pid"

# Two monitors side by side: Xephyr's Xinerama heads inside this display.
: > "$work/xephyr-display"
Xephyr -displayfd 3 +xinerama -screen 1024x768 -screen 1024x768 -origin 1024,0 -nolisten tcp \
  3> "$work/xephyr-display" > "$work/xephyr.log" 2>&1 &
xephyr_pid=$!
wait_until 30 test -s "$work/xephyr-display"
export DISPLAY=":$(cat "$work/xephyr-display")"
# A loaded machine can keep Xephyr from its first client for half a minute.
check "Xephyr gives two monitors" wait_until 90 eval 'xdpyinfo > /dev/null 2>&1'
xmessage -bg red -geometry 400x300+1300+200 "second monitor" &
note_pid=$!
check "a red window shows on the second monitor" wait_for_colour "$work/two.png" 1024x768+1024+0 red 50000
write_keyfile screenWidth=1024 screenHeight=768
"$kelvaron" /s > "$work/two.log" 2>&1 &
pid=$!
# A monitor has the mode asked for, 1024 x 768, although the screen as a whole is 2048 wide: no
# question, the run goes full screen on the first monitor.
win=$(wait_for_window Start 10)
check "the run opens on the first monitor, unasked" [ -n "$win" ]
check "... and draws there" wait_for_colour "$work/covered.png" 512x384+512+0 red 1000
check "... and the second goes black" wait_until 20 eval \
  'shot "$work/covered.png" && [ "$(count_colour "$work/covered.png" 1024x768+1024+0 lit)" -eq 0 ]'
keep_shot "$work/covered.png" two-monitors.png
press_escape "$win"
check "Escape ends it" wait_for_exit "$pid"
check "... and the red window shows again" wait_for_colour "$work/after.png" 1024x768+1024+0 red 50000
finish
