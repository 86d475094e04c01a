#!/usr/bin/env bash
# kelvaron.scr under Wine: Enter in the settings dialog means OK, a bad preview id is refused in
# a box, held keys are let go when the window loses the focus, F12 saves the frame into the
# Pictures folder, and the run, recorded, ends at the Linux replay's hash for its recording. (Wine 8 reports Xephyr's two Xinerama heads as one monitor, so the blacked-out
# second monitor is tested on Linux only.)
#   windows_toys_test.sh WINE-RUN KELVARON.SCR LINUX-REPLAY
set -u
wine_runner=$1
scr=$2
linux_replay=$3
for part in checks wait display screen keys settings wine; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'kill "${note_pid:-}" 2> /dev/null; stop_display' EXIT
start_display 1024x768x24 || exit 1
use_wine_prefix "$work/wine"
# No window manager here: Wine is told to follow the X focus itself instead of waiting for a
# manager's WM_TAKE_FOCUS, so that giving a window the focus activates it as a click would.
reg_set UseTakeFocus REG_SZ N 'HKCU\Software\Wine\X11 Driver'

# Enter after typing into the last field stores it: OK is the dialog's only default button.
open_dialog wine_run "$scr" /c
xdotool key Tab Tab Tab Tab Tab Tab Tab  # from OK over the fields (and Cancel) to Box mass
xdotool type 0.5
xdotool key Return
check "Enter in the dialog closes it" wait_for_exit "$pid" 60
check "... having stored what was typed" [ "$(reg_value boxMass)" = 0xc350 ]
check "... with the two switches beside the six, off" [ "$(reg_value autopilot) $(reg_value steadyPace)" = "0x0 0x0" ]

# The second check box, ticked with the keyboard from OK, is stored; the next OK keeps it.
dialog_ok wine_run "$scr" /c -- Tab Tab Tab Tab Tab Tab Tab Tab Tab space
check "a ticked check box is stored" [ "$(reg_value steadyPace)" = 0x1 ]
dialog_ok wine_run "$scr" /c
check "... and reloaded: OK alone keeps it" [ "$(reg_value steadyPace) $(reg_value autopilot)" = "0x1 0x0" ]
check "... and the box mass typed before stays" [ "$(reg_value boxMass)" = 0xc350 ]
reg_set steadyPace REG_DWORD 0

# A preview id that is not a whole window id: said in a box, and status 2.
wine_run "$scr" /p 12abc > "$work/scr.log" 2>&1 &
pid=$!
box=$(wait_for_window ERROR 60)
check "/p 12abc is refused in a box" [ -n "$box" ]
answer_box ERROR Return
check "... and ends with status 2" eval 'wait_for_exit "$pid" 60 && [ "$status" -eq 2 ]'

# The full run fills this display: 1024 x 768 at 32 bits is its own mode.
reg_set screenWidth REG_DWORD 1024
reg_set screenHeight REG_DWORD 768
reg_set bitsPP REG_DWORD 32
recording=$work/windows-run.keys
wine_run "$scr" /s --record "$(wine_run winepath -w "$recording" | tr -d '\r')" > "$work/run.log" 2>&1 &
pid=$!
win=$(wait_for_window Start 60)
check "a full run opens" wait_for_colour "$work/drawn.png" 512x384+512+0 red 1000 60
focus_window "$win"

# F12 while paused: the picture is the frame on the screen.
xdotool key p
sleep 1
shot "$work/paused.png"
xdotool key F12
picture() { find "$KELVARON_WINEPREFIX" "$HOME" -name 'kelvaron-*.png' -newer "$work/drawn.png" 2> /dev/null | head -n 1; }
check "F12 saves a PNG into the Pictures folder" wait_until 30 eval '[ -n "$(picture)" ]'
check "... of the window's size" [ "$(identify -format %wx%h "$(picture)" 2> /dev/null)" = 1024x768 ]
check "... showing what the screen shows" [ "$(count_changed "$(picture)" "$work/paused.png" 1024x384+0+0)" -lt 50 ]
rm -f "$(picture)"
xdotool key p

# Up and Left held while the window loses the focus: Windows sends no key-up then, and still car 0
# stops circling (held on, its view changes by some 30,000 pixels in half a second).
check "holding Up and Left drives car 0" drive_then_lose_focus "$win" 512x384+512+0 60 Up Left
check "focus lost: car 0 comes to a stand although its keys were never released there" \
  comes_to_a_stand 512x384+512+0 4000 90
kill "$note_pid"
press_escape "$win"
check "Escape ends the run" wait_for_exit "$pid" 60
said=$(tr -d '\r' < "$work/run.log" | grep '^kelvaron: recorded')
check "the run says what it recorded" eval '[[ $said =~ ^kelvaron:\ recorded\ ([0-9]+)\ frames\ to\ .*state\ hash\ ([0-9a-f]{16})$ ]]'
frames=${BASH_REMATCH[1]:-0} hash=${BASH_REMATCH[2]:-none}
check "... and the recording holds the pause and the keys let go as the focus went" \
  eval 'grep -q " pause$" "$recording" && grep -q " up 37$" "$recording"'
last=$("$linux_replay" --script "$recording" --hash --every 1000000000 | tail -n 1)
check "the Linux replay of the Windows recording ends at its hash" [ "$last" = "hash $frames $hash" ]

finish
