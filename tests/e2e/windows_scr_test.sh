#!/usr/bin/env bash
# kelvaron.scr for real under Wine on a private Xvfb display: the settings dialog and the registry,
# the full run with its question, keys, title and mouse tolerance, and the preview in a host window.
#   windows_scr_test.sh WINE-RUN KELVARON.SCR HOST-WINDOW.EXE DIALOG-FIELDS.EXE
set -u
wine_runner=$1
scr=$2
host=$3
fields=$4
for part in checks wait display screen keys settings wine; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'stop_display' EXIT
start_display 1024x768x24 || exit 1
# A prefix of this test's own, so that the registry starts empty.
use_wine_prefix "$work/wine"
reg_dump() { wine_run reg query "$settings_key" 2>/dev/null | tr -d '\r'; }
winepath_of() { wine_run winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# The dialog's edit fields, a line each, top to bottom.
read_fields() { wine_run "$fields" "$dialog_title" 2>/dev/null | tr -d '\r'; }
field_width() {  # TEXT: types it into the width field, focus back on OK
  xdotool key Tab Tab Tab Tab; xdotool type "$1"; xdotool key shift+Tab shift+Tab shift+Tab shift+Tab
}

open_dialog wine_run "$scr" /c
check "/c opens the dialog" [ -n "$dialog" ]
# Wine's window frame sits at the corner; the client area a few pixels in.
corner() { xwininfo -id "$dialog" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print (x < 10 && y < 40) ? "near" : "far" }'; }
check "... at the top-left corner" [ "$(corner)" = near ]
check_equal "... with the defaults" "16 640 480 30 -10.50000 0.02000 " "$(read_fields | tr '\n' ' ')"
shot "$work/dialog.png"; keep_shot "$work/dialog.png" windows-dialog.png
xdotool key Return
check "OK ends the dialog" wait_for_exit "$pid" 30
check "OK writes the six REG_DWORD values" \
  [ "$(reg_signed bitsPP) $(reg_signed screenWidth) $(reg_signed screenHeight) $(reg_signed dFps) $(reg_signed sGravity) $(reg_signed boxMass)" = "16 640 480 30 -1050000 1999" ]
check "... as REG_DWORD, with the two switches beside them" [ "$(reg_dump | grep -c REG_DWORD)" -eq 8 ]

open_dialog wine_run "$scr" /c
check_equal "reopened, the box mass shows 0.01999" 0.01999 "$(read_fields | tail -n 1)"
reg_dump > "$work/before.reg"
field_width 9
xdotool key Escape
check "Cancel ends the dialog" wait_for_exit "$pid" 30
check "... and writes nothing" diff -q <(reg_dump) "$work/before.reg"

open_dialog wine_run "$scr" /c
xdotool key Tab Tab Tab Tab ctrl+a; xdotool type abc; xdotool key shift+Tab shift+Tab shift+Tab shift+Tab
xdotool key Return
check "a width of abc is refused with a message" wait_until 60 window_count_is "$dialog_title" 2
xdotool key Return
wait_until 60 window_count_is "$dialog_title" 1
focus_window "$dialog"; xdotool key Escape
wait_for_exit "$pid" 30
check "... and nothing is written" diff -q <(reg_dump) "$work/before.reg"

reg_set screenWidth REG_SZ 800
reg_set screenHeight REG_BINARY 0102030405060708
open_dialog wine_run "$scr" x
check "a one-character command line shows the dialog" [ -n "$dialog" ]
check_equal "values of another type or size are read without harm" "640 480 " "$(read_fields | sed -n '2,3p' | tr '\n' ' ')"
xdotool key Escape; wait_for_exit "$pid" 30
open_dialog wine_run "$scr" /c:1234
check "/c:1234 shows the dialog too" [ -n "$dialog" ]
xdotool key Escape; wait_for_exit "$pid" 30
# Windows passes it on quoted, "/s x": its second character is the slash.
open_dialog wine_run "$scr" "/s x"
check "a quoted /s is no full run: the dialog shows" [ -n "$dialog" ]
xdotool key Escape; wait_for_exit "$pid" 30
wine_run reg delete "$settings_key" /f > /dev/null 2>&1

# The full run: 640 x 480 x 16 is not a mode of this display, so the question comes.
start_run() {  # ANSWER-KEY
  wine_run "$scr" /s > "$work/scr.log" 2>&1 &
  pid=$!
  question=$(wait_for_window GL 60) || return 1
  answer_box GL "$1"
}
xdotool mousemove 300 300
start_run Return
check "with nothing stored the GL question comes" [ -n "$question" ]
win=$(wait_for_window Start 60)
check "Yes gives a windowed run titled Start" [ -n "$win" ]
check "... that draws" wait_for_colour "$work/run.png" 320x240+324+23 red 1000 60
keep_shot "$work/run.png" windows-run.png
check "it shows the three views" [ "$(count_colour "$work/run.png" 320x240+4+23 blue)" -gt 1000 ] 
check "... car 0 upper right" [ "$(count_colour "$work/run.png" 320x240+324+23 red)" -gt 1000 ]
check "... car 2 lower left" [ "$(count_colour "$work/run.png" 320x240+4+263 green)" -gt 1000 ]
check "... and the overlay" [ "$(count_colour "$work/run.png" 320x240+324+263 lit)" -gt 100 ]
focus_window "$win"
shot "$work/moved-before.png"
# Events are handled in order: once C has changed the camera, the motions before it were seen too.
xdotool mousemove 344 300 mousemove 300 256
hold_until_changed "$work/moved-before.png" "$work/moved.png" 320x240+4+23 2000 60 c
check "a mouse motion of 44 pixels does not end the run" kill -0 "$pid"
fps=$(wait_for_window_prefix "FPS: " 60)
check "after ten seconds the title shows the frame rate" [ -n "$fps" ]
press_escape "${fps:-$win}"
check "Escape ends the run" wait_for_exit "$pid" 60
check "... with status 0" [ "${status:-1}" -eq 0 ]

start_run Return
win=$(wait_for_window Start 60)
wait_for_colour "$work/run2.png" 320x240+324+23 red 1000 60
# (300, 300) is the reference, or within 44 pixels of the one taken as the window appeared; the
# camera's change shows the motion to it was handled before the next one comes.
focus_window "$win"
shot "$work/moved-before.png"
xdotool mousemove 300 300
hold_until_changed "$work/moved-before.png" "$work/moved.png" 320x240+4+23 2000 60 c
xdotool mousemove 345 300
check "a mouse motion of 45 pixels ends it" wait_for_exit "$pid" 60

start_run n
box=$(wait_for_window ERROR 60)
check "No says the program will close" [ -n "$box" ]
answer_box ERROR Return
check "... and it ends" wait_for_exit "$pid" 60
check "... with status 1, as its window was not made" [ "${status:-0}" -eq 1 ]

# The preview inside a host window, which closes when the test asks.
close="$work/close-host"
wine_run "$host" "$(winepath_of "$scr")" "$(winepath_of "$close")" > "$work/host.log" 2>&1 &
host_pid=$!
# Wine shows nothing on the display of what a child window of another process draws: the host tells
# when the preview's window is inside it.
check "the preview makes its window inside the host" wait_until 60 grep -qs 'preview window inside' "$work/host.log"
xdotool mousemove 150 150 mousemove 250 220
sleep 1
touch "$close"
check "... and mouse motion does not end it" wait_until 60 grep -qs 'running when asked to close' "$work/host.log"
check "closing the host ends the preview" wait_for_exit "$host_pid" 180
check "... by itself, not by its watcher" grep -q 'preview ended .* with status 0' "$work/host.log"
grep -q 'preview ended .* with status 0' "$work/host.log" || sed 's/^/   host: /' "$work/host.log"
finish
