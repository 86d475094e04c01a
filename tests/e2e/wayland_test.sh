#!/usr/bin/env bash
# The Wayland program in a headless sway of two outputs side by side, HEADLESS-1 800 x 600 and
# HEADLESS-2 640 x 480 (sway runs as nobody when the test runs as root: it refuses root): kelvaron
# -layer on both outputs, each showing the four quadrants of its own size, as grim sees them; ended by
# Escape typed with wtype, by the pointer moved past 44 pixels (the tests' virtual pointer), and by
# SIGTERM within a second; a full run drawn through SDL's Wayland driver though an X display is there
# too; and kelvaron --saver 2 starting nothing while that run holds the idle back, then the layer run
# on both outputs after 2 s without input, and again once a key has ended it. About 25 s.
#   wayland_test.sh KELVARON POINTER
set -u
kelvaron=$1
pointer_program=$2
for part in checks wait display screen settings sway; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'stop_pointer; stop_sway; stop_display' EXIT
start_display 640x480x24 || exit 1
start_sway 800x600 640x480 || exit 1
plug_in_keyboard
export XDG_CONFIG_HOME="$work/config"
write_keyfile screenWidth=800 screenHeight=600

# The output's screenshot in FILE shows the quadrants cut from its size: the blue car's view upper
# left, the red car's upper right, the green car's lower left, and the overlay's text at the bottom
# of the lower right, which a frame of another size would put elsewhere or off the output.
shows_quadrants() {  # FILE WIDTH HEIGHT
  local w=$(($2 / 2)) h=$(($3 / 2)) car=$(($2 * $3 / 500)) text
  text=$(count_colour "$1" "${w}x$((h / 5))+$w+$((h * 9 / 5))" lit)
  [ "$(count_colour "$1" "${w}x$h+0+0" blue)" -gt $car ] && [ "$(count_colour "$1" "${w}x$h+$w+0" red)" -gt $car ] &&
    [ "$(count_colour "$1" "${w}x$h+0+$h" green)" -gt $car ] && [ "$text" -gt 100 ]
}
# Both outputs are drawn: the red car's view on each.
wait_until_drawn() {
  wait_for_output_colour HEADLESS-1 "$work/1.png" 400x300+400+0 red 1000 30 &&
    wait_for_output_colour HEADLESS-2 "$work/2.png" 320x240+320+0 red 600 30
}
# Neither output shows the run any more (the cursor is back where it was).
run_gone() {
  wait_for_output_without HEADLESS-1 "$work/1.png" 800x600+0+0 red 10 &&
    wait_for_output_without HEADLESS-2 "$work/2.png" 640x480+0+0 red 10
}
start_layer_run() {
  "$kelvaron" -layer > "$work/run.log" 2>&1 &
  pid=$!
  wait_until_drawn
}
# The C key has changed the camera in the blue car's view: it and every event before it were seen.
camera_changed() {
  output_shot HEADLESS-1 "$work/before.png"
  wtype c
  changed() { output_shot HEADLESS-1 "$work/after.png" && [ "$(count_changed "$work/before.png" "$work/after.png" 400x300+0+0)" -gt 2000 ]; }
  wait_until 10 changed
}

# Everything but a layer run goes through SDL, which on a Wayland desktop uses Wayland itself, and
# holds the desktop's idle back while it runs (idle-inhibit), as a playing video does.
"$kelvaron" /s > "$work/run.log" 2>&1 &
pid=$!
check "a full run with an X display there too draws on Wayland" \
  wait_for_output_colour HEADLESS-1 "$work/sdl.png" 400x300+400+0 red 1000 30
check "... and nothing on the X display" [ -z "$(find_windows Start)" ]
"$kelvaron" --saver 2 > "$work/saver.log" 2>&1 &
saver=$!
sleep 3
check "--saver 2 starts nothing while the full run holds the idle back" [ -z "$(pgrep -P "$saver")" ]
check "... saying which idle protocol it watches with" grep -q 'org_kde_kwin_idle' "$work/saver.log"
wtype -k Escape
check "the full run ends on Escape" wait_for_exit "$pid" 10
check "... with status 0" [ "${status:-1}" -eq 0 ]
# The compositor counts the idle time again from the last input, the Escape.
idle_from=$(date +%s%N)
check "then --saver starts the layer run on both outputs" wait_until_drawn
idle_ms=$(( ($(date +%s%N) - idle_from) / 1000000 ))
echo "   the layer run was drawn $idle_ms ms after the last input"
check "... after the 2 s without input, not before" [ "$idle_ms" -ge 2000 ]
check "... as a process of its own" eval 'run=$(pgrep -P "$saver") && [ -n "$run" ]'
wtype -k Escape
check "Escape ends that run" wait_for_exit_of "$run" 10
check "... and the saver goes on" kill -0 "$saver"
check "... which starts the run again after 2 s more" wait_until_drawn
check "SIGTERM ends the saver with status 0" eval 'kill -TERM "$saver" && wait_for_exit "$saver" 10 && [ "$status" -eq 0 ]'
check "... and its run" run_gone

check "the tests' virtual pointer is plugged in" start_pointer "$pointer_program" 1440 600
move_pointer 300 300
check "kelvaron -layer draws on both outputs" start_layer_run
check "... HEADLESS-1 with the four quadrants of its 800 x 600" shows_quadrants "$work/1.png" 800 600
check "... HEADLESS-2 with those of its 640 x 480" shows_quadrants "$work/2.png" 640 480
keep_shot "$work/1.png" wayland-HEADLESS-1.png
keep_shot "$work/2.png" wayland-HEADLESS-2.png
# The surfaces appearing under the pointer give the reference; 44 pixels from it are tolerated, 45
# end the run.
move_pointer 344 300 && move_pointer 300 256
check "C typed with wtype changes the camera" camera_changed
check "a pointer motion of 44 pixels does not end the run" kill -0 "$pid"
move_pointer 345 300
check "a motion of 45 pixels ends it" wait_for_exit "$pid" 10
check "... with status 0" [ "${status:-1}" -eq 0 ]
check "... and takes its surfaces away" run_gone
check "... having said each output's frame rate" [ "$(grep -c ' frames of ' "$work/run.log")" -eq 2 ]

start_layer_run
wtype -k Escape
check "Escape typed with wtype ends the run" wait_for_exit "$pid" 10
check "... with status 0" [ "${status:-1}" -eq 0 ]

start_layer_run
started=$(date +%s%N)
kill -TERM "$pid"
wait_for_exit "$pid" 10
ended=$(date +%s%N)
echo "   SIGTERM: the run ended $(( (ended - started) / 1000000 )) ms after it"
check "SIGTERM ends it within a second" [ $(( (ended - started) / 1000000 )) -le 1000 ]
check "... with status 0" [ "${status:-1}" -eq 0 ]
check "... and takes its surfaces away" run_gone

finish
