#!/usr/bin/env bash
# A run recorded as people make one: the Linux program in a window on a private Xvfb display, driven
# with real key presses (xdotool) and virtual pads plugged in and out, the autopilot on. Its recording
# must end at the state hash the run printed when the replay plays it, and when the program plays it
# drawn; Shift+F12 keeps the run so far beside the pictures; a broken recording is refused before
# any window opens. The recording is left in OUT-FOLDER, where the Windows, wasm and arm64 builds'
# comparisons (compare_traces.sh) play it too.
#   recording_test.sh KELVARON LINUX-REPLAY OUT-FOLDER
set -u
kelvaron=$1 replay=$2 out=$3
for part in checks wait display screen keys settings; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap stop_display EXIT
start_display 1024x768x24 || exit 1
export XDG_CONFIG_HOME="$work/config" HOME="$work/home"
mkdir -p "$HOME/Pictures" "$XDG_CONFIG_HOME" "$out"
echo 'XDG_PICTURES_DIR="$HOME/Pictures"' > "$XDG_CONFIG_HOME/user-dirs.dirs"
# A size the display has no mode for: the question, answered Yes, gives a window.
write_keyfile screenWidth=800 screenHeight=600 autopilot=1
recording=$out/live-run.keys
rm -f "$recording"

KELVARON_PAD_STORM=11 "$kelvaron" /s --record "$recording" > "$work/run.out" 2> "$work/run.err" &
pid=$!
wait_for_window GL > /dev/null && answer_box GL Return
win=$(wait_for_window Start)
check "the recorded run opens in a window" [ -n "$win" ]
wait_for_colour "$work/drawn.png" 400x300+400+0 red 1000
focus_window "$win"
xdotool keydown Up; sleep 1
xdotool keydown w; sleep 1
xdotool keyup Up key r key p; sleep 0.5
xdotool key n key n key p key c keydown space; sleep 0.5
xdotool keyup space keyup w keydown m; sleep 0.5
xdotool keyup m key shift+F12; sleep 1
press_escape "$win"
check "Escape ends the recorded run" wait_for_exit "$pid"
check "... with status 0" [ "${status:-1}" -eq 0 ]
said=$(grep '^kelvaron: recorded' "$work/run.out")
pattern="^kelvaron: recorded ([0-9]+) frames to $recording, state hash ([0-9a-f]{16})$"
check "it says what it recorded and the state hash" eval '[[ $said =~ $pattern ]]'
frames=${BASH_REMATCH[1]:-0} hash=${BASH_REMATCH[2]:-none}
check "pads came and went during it" grep -q 'pad storm: [1-9][0-9]* plugged in' "$work/run.err"
for line in 'autopilot on [0-9]' "frames $frames" ' down 38$' ' up 38$' ' down 87$' ' down 77$' ' down 32$' \
            ' upright all$' ' pause$' ' step$'; do
  check "the recording holds '$line'" grep -q "$line" "$recording"
done
check "... the camera, the picture and Escape stay out of it" eval '! grep -qE " (down|up) (67|123|27)$" "$recording"'

last=$("$replay" --script "$recording" --hash --every 1000000000 | tail -n 1)
check "the Linux replay ends at the run's hash, at its last frame" [ "$last" = "hash $frames $hash" ]

"$kelvaron" --play "$recording" > "$work/play.out" 2>&1 &
pid=$!
wait_for_window GL > /dev/null && answer_box GL Return
check "playing it drawn ends by itself" wait_for_exit "$pid" 300
check "... at the same hash" grep -qx "kelvaron: played $frames frames of $recording, state hash $hash" "$work/play.out"

kept=$(ls "$HOME"/Pictures/kelvaron-*.keys 2> /dev/null | head -n 1)
check "Shift+F12 kept the run so far beside the pictures" [ -n "$kept" ]
kept_frames=$(awk '$1 == "frames" { print $2 }' "$kept" 2> /dev/null)
check "... a recording shorter than the whole run" [ "${kept_frames:-0}" -gt 0 ] && [ "${kept_frames:-0}" -lt "$frames" ]
check "... that the replay plays" "$replay" --script "$kept" --every 1000000000 > /dev/null

sed "s/^physics .*/physics ode-0.16.2 9999/" "$recording" > "$work/other-physics.keys"
"$kelvaron" --play "$work/other-physics.keys" > /dev/null 2> "$work/refused.err"
check "a recording of other physics is refused with status 2" [ $? -eq 2 ]
check "... naming the line and why" grep -q "other-physics.keys: line 4: recorded with physics 'ode-0.16.2 9999'" "$work/refused.err"
check "... before any window opened" [ -z "$(find_windows Start)" ]
"$kelvaron" /c --record "$work/x.keys" > /dev/null 2> "$work/refused.err"
check "--record with the settings is refused with status 2" [ $? -eq 2 ]
finish
