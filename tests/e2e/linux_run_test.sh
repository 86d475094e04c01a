#!/usr/bin/env bash
# The Linux program for real on a private Xvfb display, driven with xdotool: the full run, its
# fallback question (a GTK dialog, or none at all), keys, camera, Escape, mouse tolerance, SIGTERM,
# and the preview in a host window.
#   linux_run_test.sh KELVARON HOST-WINDOW
set -u
kelvaron=$1
host_window=$2
for part in checks wait display screen keys settings; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap stop_display EXIT
start_display 1024x768x24 || exit 1
export XDG_CONFIG_HOME="$work/config"

# A full run with a stored mode the display cannot take: the GTK question, answered with the key given.
start_full_run() {  # ANSWER-KEY
  "$kelvaron" /s > "$work/run.log" 2>&1 &
  pid=$!
  question=$(wait_for_window GL) || return 1
  xprop -id "$question" > "$work/question.props"
  answer_box GL "$1"
}
# The run's window is drawn: car 0's view has its red car.
wait_until_drawn() {  # WINDOW
  [ -n "$1" ] && wait_for_colour "$work/drawn.png" 400x300+400+0 red 1000
}

write_keyfile screenWidth=800 screenHeight=600
start_full_run Return
check "the GL question comes for a mode the display cannot take" [ -n "$question" ]
check "... as a GTK dialog" grep -q '^_GTK' "$work/question.props"
win=$(wait_for_window Start)
check "Yes gives a windowed run titled Start" [ -n "$win" ]
check "... that draws" wait_until_drawn "$win"
check "... once the question has gone" window_count_is GL 0
shot "$work/start.png"
check "the upper-left view follows the blue car" [ "$(count_colour "$work/start.png" 400x300+0+0 blue)" -gt 1000 ]
check "the upper-right view follows the red car" [ "$(count_colour "$work/start.png" 400x300+400+0 red)" -gt 1000 ]
check "the lower-left view follows the green car" [ "$(count_colour "$work/start.png" 400x300+0+300 green)" -gt 1000 ]
check "the overlay quadrant shows text and the map" [ "$(count_colour "$work/start.png" 400x300+400+300 lit)" -gt 100 ]
check "nothing is drawn outside the window" [ "$(count_colour "$work/start.png" 224x768+800+0 lit)" -eq 0 ]

# The cars settle on their wheels over the first frames; a loaded machine draws fewer of them
# before this point, so the still views are awaited before car 0 is driven.
comes_to_a_stand 400x300+0+300 2000 30
focus_window "$win"
shot "$work/before.png"
check "holding the up arrow changes car 0's view" \
  hold_until_changed "$work/before.png" "$work/driven.png" 400x300+400+0 2000 30 Up
check "cars 1 and 2 stay put" [ "$(count_changed "$work/before.png" "$work/driven.png" 400x300+0+300)" -lt 20000 ]
shot "$work/driven.png"
check "C changes the camera" hold_until_changed "$work/driven.png" "$work/camera.png" 400x300+0+0 2000 30 c
keep_shot "$work/start.png" full-run.png
press_escape "$win"
check "Escape ends the run" wait_for_exit "$pid"
check "... with status 0" [ "${status:-1}" -eq 0 ]

start_full_run Escape
box=$(wait_for_window ERROR)
check "No says the program will close" [ -n "$box" ]
answer_box ERROR Return
check "and then it ends" wait_for_exit "$pid"
check "... with status 1, as its window was not made" [ "${status:-0}" -eq 1 ]
check "it printed the message too" grep -q 'Program Will Now Close.' "$work/run.log"

# Mouse tolerance: the window appearing under the cursor gives the reference; 44 pixels from it are
# tolerated, 45 end the run.
xdotool mousemove 300 300
start_full_run Return
win=$(wait_for_window Start)
wait_until_drawn "$win"
focus_window "$win"
shot "$work/moved-before.png"
# Events are handled in order: once C has changed the camera, the motions before it were seen too.
xdotool mousemove 344 300 mousemove 300 256
hold_until_changed "$work/moved-before.png" "$work/moved.png" 400x300+0+0 2000 60 c
check "a motion of 44 pixels does not end the run" kill -0 "$pid"
xdotool mousemove 345 300
check "a motion of 45 pixels ends it" wait_for_exit "$pid"
check "... with status 0" [ "${status:-1}" -eq 0 ]

start_full_run Return
wait_until_drawn "$(wait_for_window Start)"
kill -TERM "$pid"
check "SIGTERM ends the run cleanly" wait_for_exit "$pid"
check "... with status 0" [ "${status:-1}" -eq 0 ]

# The display's own size can be taken fullscreen: no question.
write_keyfile screenWidth=1024 screenHeight=768
"$kelvaron" /s > "$work/full.log" 2>&1 &
pid=$!
win=$(wait_for_window Start)
check "a mode the display has opens fullscreen without asking" [ -n "$win" ]
check "... no question" [ -z "$(find_windows GL)" ]
check "... and draws" wait_for_colour "$work/fullscreen.png" 512x384+512+0 red 1000
press_escape "$win"
check "... until Escape" wait_for_exit "$pid"

# Preview inside a host window: it fills the host, ignores the mouse, and ends with the host.
start_host_window "$host_window" 152 112
"$kelvaron" /p "$host" > "$work/preview.log" 2>&1 &
pid=$!
preview_child() { child=$(xwininfo -children -id "$host" | awk '/^ +0x/ { print $1; exit }'); [ -n "$child" ]; }
check "the preview is a child of the host window" wait_until 30 preview_child
child_width() { [ -n "$child" ] && xwininfo -id "$child" | awk '/Width:/ { print $2 }'; }
check "... filling it" [ "$(child_width)" = 152 ]
check "... and draws inside it" wait_for_colour "$work/preview.png" 152x112+100+100 lit 500
xdotool mousemove 110 110 mousemove 240 200
shot "$work/preview-moved.png"
wait_for_change "$work/preview-moved.png" "$work/preview-later.png" 152x112+100+100 20 10
check "mouse motion does not end a preview" kill -0 "$pid"
kill "$host_pid"
check "closing the host ends the preview" wait_for_exit "$pid"
check "... with status 0" [ "${status:-1}" -eq 0 ]

"$kelvaron" /p > /dev/null 2> "$work/err.log"
check "a preview switch without a window id is refused with status 2" [ $? -eq 2 ]
check "... saying why" grep -q 'window' "$work/err.log"
"$kelvaron" /p 0x7fffff0 > /dev/null 2> "$work/err.log"
check "a window id that names no window ends with status 1" [ $? -eq 1 ]
"$kelvaron" -x > /dev/null 2>&1
check "an unknown option is refused with status 2" [ $? -eq 2 ]
# A question that cannot be shown is not a No: with no display for GTK and no X core fonts for SDL's
# box, the run goes on in a window and says why.
end_display
start_display 1024x768x24 -fp built-ins || exit 1
check "the display has no font for SDL's box" \
  [ -z "$(xlsfonts -fn '-*-*-medium-r-normal--*-120-*-*-*-*-*-*' 2> /dev/null)" ]
write_keyfile screenWidth=800 screenHeight=600
GDK_BACKEND=wayland "$kelvaron" /s > "$work/unasked.log" 2>&1 &
pid=$!
win=$(wait_for_window Start)
check "a question that cannot be shown gives a windowed run" [ -n "$win" ]
check "... saying why" grep -q 'could not be shown.*going on in a window' "$work/unasked.log"
press_escape "$win"
check "... that Escape ends" wait_for_exit "$pid"
finish
