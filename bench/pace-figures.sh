#!/usr/bin/env bash
# What the steady pace costs and gives: the full run on a private 640 x 480 Xvfb display for
# SECONDS, back to back and paced to Desired Fps, with the frame rate the program writes into its
# title and the processor time it used (user and system, from /proc). The paced run has the
# autopilot on too, and leaves a screenshot of the cars having driven themselves.
#   bench/pace-figures.sh BUILD_DIR [SECONDS] [DESIRED_FPS]
set -u
. "$(dirname "$0")/../tests/e2e/lib.sh"
trap stop_display EXIT
start_display 640x480x24 || exit 1
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/kelvaron"
seconds=${2:-30}
fps=${3:-30}
ticks=$(getconf CLK_TCK)

cpu_ticks() {  # PID: user plus system time so far, in clock ticks
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}
measure() {  # NAME AUTOPILOT STEADY-PACE
  printf '[ScreenSaverKelvaron]\ndFps=%s\nautopilot=%s\nsteadyPace=%s\n' "$fps" "$2" "$3" \
    > "$XDG_CONFIG_HOME/kelvaron/kelvaron.conf"
  "$1/kelvaron" /s > /dev/null 2>&1 &
  local pid=$! id before title
  id=$(wait_for_window Start 60)
  sleep 2
  before=$(cpu_ticks "$pid")
  sleep "$seconds"
  local used=$(( $(cpu_ticks "$pid") - before ))
  title=$(xwininfo -root -tree | grep -o '"FPS: [0-9.]*"' | head -n 1)
  [ "$2" = 1 ] && shot "${KELVARON_SHOT_DIR:-$work}/autopilot.png"
  echo "$4: title ${title:-none}; processor $(( 100 * used / (ticks * seconds) ))% of one core over $seconds s"
  press_escape "$id"
  wait_for_exit "$pid" 20
}

measure "$1" 0 0 "back to back"
measure "$1" 1 1 "paced to $fps, autopilot on"
[ -n "${KELVARON_SHOT_DIR:-}" ] && echo "screenshot of the self-driving run: $KELVARON_SHOT_DIR/autopilot.png"
