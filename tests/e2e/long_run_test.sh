#!/usr/bin/env bash
# Long runs of the Linux program (or, with --wine, kelvaron.scr under Wine, without the pads, focus
# changes and unmapping) on a private Xvfb display, with its health checks on (GL errors and finite
# bodies, once a second), meant for the build under ASan and UBSan:
#   storm  a windowed full run under a seeded storm of input for SECONDS: every key held, repeated
#          and released in bursts of hundreds a second (P, N, R, C and F12 among them), mouse motion
#          within the run's tolerance (more ends it) and clicks, focus in and out, resizes, unmap and map,
#          and (inside the Linux program, KELVARON_PAD_STORM) virtual pads plugged in, moved and pulled out;
#   night  the full run paced to 30 fps with the autopilot on, left alone for SECONDS.
# Afterwards it must still draw, end on Escape with status 0, with no sanitizer report, no GL
# error, every body finite, and (the night) its RSS grown by less than 1 MiB since the warm-up (the
# first fifth). Prints the seed and the figures, RSS every 30 s among them.
#   long_run_test.sh [--wine WINE-RUN] KELVARON storm|night SECONDS [SEED]
set -u
wine=
parts=(checks wait display screen keys settings stats)
[ "$1" = --wine ] && { wine_runner=$2 wine=1 parts+=(wine); shift 2; }
kelvaron=$1
mode=$2
seconds=$3
for part in "${parts[@]}"; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'kill "${note_pid:-}" "${pid:-}" 2> /dev/null; stop_display' EXIT
seed_random "${4:-}"
start_display 1024x768x24 || exit 1
export XDG_CONFIG_HOME="$work/config" HOME="$work/home" KELVARON_HEALTH_CHECKS=1
mkdir -p "$HOME"
# ASan's quarantine of freed blocks fills to its size before RSS comes to a stand; a small one lets a
# short run reach its steady state within the warm-up.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=8"
# Under Wine: a prefix of its own, whose empty registry asks for 640 x 480 x 16, a mode the display
# lacks, so the run is windowed as the Linux one is told to be.
[ -n "$wine" ] && use_wine_prefix "$work/wine"
# Wine draws the window's frame itself, with a close box: the storm's pointer stays near the client
# area's top left, where no size the storm gives the window puts a box under it.
[ -n "$wine" ] && xdotool mousemove 60 120
# Started in the background: Kelvaron takes the place of the shell started for it, so that $! is its
# process; wine's stays a child of that shell.
start_run() { if [ -n "$wine" ]; then wine_run "$kelvaron" /s; else exec "$kelvaron" /s; fi; }

if [ "$mode" = storm ]; then
  write_keyfile screenWidth=800 screenHeight=600  # a mode the display lacks: the windowed run
  KELVARON_PAD_STORM=$seed start_run > "$work/run.log" 2>&1 &
  pid=$!
  wait_for_window GL 120 > /dev/null && answer_box GL Return
else
  write_keyfile screenWidth=1024 screenHeight=768 dFps=30 autopilot=1 steadyPace=1
  start_run > "$work/run.log" 2>&1 &
  pid=$!
fi
win=$(wait_for_window Start 120)
check "the run draws" wait_for_colour "$work/drawn.png" 200x150+200+0 lit 1000 120
# The program's own process, whose memory is measured.
program_pid=$pid
[ -n "$wine" ] && program_pid=$(pgrep -n -P "$pid")
check "the measured process is Kelvaron's" grep -q kelvaron "/proc/$program_pid/cmdline"
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$program_pid/status" 2> /dev/null; }
# RSS at the window's first size and shown (its buffers follow its size), after a few frames.
steady_rss() {
  xdotool windowmap "$win" windowsize "$win" 800 600 2> /dev/null
  sleep 1
  rss
}

# The keys of a PC keyboard by their X names, Escape aside (it ends the run).
keys=({a..z} {0..9} F{1..12} Left Right Up Down Home End Prior Next Insert Delete BackSpace Tab Return
  space Shift_L Shift_R Control_L Control_R Alt_L Alt_R Super_L Menu Caps_Lock Num_Lock Scroll_Lock Pause
  Print minus equal bracketleft bracketright backslash semicolon apostrophe grave comma period slash
  KP_{0..9} KP_Add KP_Subtract KP_Multiply KP_Divide KP_Enter KP_Decimal)
keys+=(p n r c F12)
# Under Wine, Alt held makes F4 close the window and Space open the window menu, whose C closes it, as
# on Windows: ordinary ends, not the storm's.
[ -n "$wine" ] && for i in "${!keys[@]}"; do [[ ${keys[i]} = Alt_? ]] && unset 'keys[i]'; done
keys=("${keys[@]}")
random_keys() {  # COUNT
  local i
  for ((i = 0; i < $1; ++i)); do echo "${keys[RANDOM % ${#keys[@]}]}"; done
}
eval "$(xdotool getmouselocation --shell)"  # X and Y: where the run's mouse tolerance counts from
xmessage -geometry 200x100+800+650 elsewhere &
note_pid=$!
note=$(wait_for_window xmessage)
held=()
storm_step() {
  local step=$((RANDOM % 9))
  echo "$step" >> "$work/steps"
  case $step in
    0 | 1) xdotool key --delay 2 $(random_keys $((50 + RANDOM % 250))) ;;  # a burst of up to 300
    2) held=($(random_keys 4)); xdotool keydown "${held[@]}" ;;
    3) [ ${#held[@]} -gt 0 ] && xdotool keyup "${held[@]}"; held=() ;;
    4) xdotool mousemove $((X + RANDOM % 41 - 20)) $((Y + RANDOM % 41 - 20)) click $((1 + RANDOM % 3)) ;;
    5) [ -z "$wine" ] && { xdotool windowfocus "$note"; xdotool windowfocus "$win"; } ;;
    6) xdotool windowsize "$win" $((100 + RANDOM % 900)) $((80 + RANDOM % 680)) ;;
    # Wine keeps its own idea of which window is shown and has the keys; without a window manager,
    # focus moved or a window unmapped behind its back leaves that idea wrong and the keys lost.
    7) [ -z "$wine" ] && { xdotool windowunmap "$win"; sleep 0.0$((RANDOM % 10)); xdotool windowmap "$win"; } ;;
    8) sleep 0.$((RANDOM % 3)) ;;
  esac 2> /dev/null
}

started=$SECONDS
warm=-1 peak=0
while [ $((SECONDS - started)) -lt "$seconds" ] && kill -0 "$pid" 2> /dev/null; do
  if [ "$mode" = storm ]; then storm_step; else sleep 1; fi
  [ "$warm" -lt 0 ] && [ $((SECONDS - started)) -ge $((seconds / 5)) ] && warm=$(steady_rss)
  now=$(rss); [ -n "$now" ] && [ "$now" -gt "$peak" ] && peak=$now
  [ $(((SECONDS - started) % 30)) -eq 0 ] && [ "$(tail -n 1 "$work/samples" 2> /dev/null | cut -d' ' -f1)" != $((SECONDS - started)) ] &&
    echo "$((SECONDS - started)) $now" >> "$work/samples"
done
echo "   RSS every 30 s (s KiB): $(tr '\n' ',' < "$work/samples" 2> /dev/null)"
[ ${#held[@]} -gt 0 ] && xdotool keyup "${held[@]}"
end=$(steady_rss)
# Asked once, for the check and for the storm's last steps when it is gone (check itself never fails).
kill -0 "$pid"
running=$?
check "it is still running after ${seconds} s" [ "$running" -eq 0 ]
[ "$running" -eq 0 ] || echo "   the storm's last steps: $(tail -n 5 "$work/steps" 2> /dev/null | tr '\n' ' ')"
echo "   RSS after the warm-up ${warm} KiB, at the end ${end} KiB (peak ${peak} KiB): grew $((end - warm)) KiB"
# Under the storm the figure is printed only: its resizes to random sizes and F12's pictures move
# ASan's RSS by a few MiB either way, with no trend over 300 s (see bench/README.md).
# A cut-down night is printed only: in 120 s under ASan, RSS once rose 10 MiB in one step at 75 s,
# after the warm-up; the long nights hold it to 1 MiB.
[ "$mode" = night ] && [ "$seconds" -ge 600 ] && check "RSS grew by less than 1 MiB after the warm-up" [ $((end - warm)) -lt 1024 ]

# Still drawing: a new size and C's next camera show.
xdotool windowmap "$win" windowsize "$win" 800 600 2> /dev/null
focus_window "$win"
shot "$work/before.png"
xdotool key c
check "it still draws" wait_for_change "$work/before.png" "$work/after.png" 800x600+0+0 500 30
check "Escape ends it" press_escape "$win" 60
wait_for_exit "$pid" 60 || { tail -n 20 "$work/run.log"; command -v gdb > /dev/null && gdb -p "$pid" -batch -ex 'thread apply all bt 12' 2> /dev/null | grep '^#' | head -n 40; }
check "... with status 0" [ "${status:-1}" -eq 0 ]
grep -a 'health:' "$work/run.log" | tail -n 3 | sed 's/^/   /'
grep -c 'saved the frame' "$work/run.log" | sed 's/^/   F12 pictures saved: /'
[ "$mode" = storm ] && [ -z "$wine" ] && check "pads came and went" grep -aq 'pad storm: [1-9][0-9]* plugged in, [1-9]' "$work/run.log"
grep -a 'pad storm:' "$work/run.log" | sed 's/^/   /'
check "no sanitizer report" eval "! grep -aq 'ERROR: AddressSanitizer\|runtime error:\|ERROR: LeakSanitizer' '$work/run.log'"
check "no GL error and every body finite at every look" grep -aq 'health: [0-9]* looks, 0 GL errors, 0 with a body' "$work/run.log"
grep -a -A 30 -m 1 'ERROR: \|runtime error' "$work/run.log"
finish
