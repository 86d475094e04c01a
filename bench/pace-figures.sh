#!/usr/bin/env bash
# What the steady pace costs and gives: the full run on a private 640 x 480 Xvfb display for
# SECONDS, back to back and paced to Desired Fps, with the frame rate the program writes into its
# title and the processor time it used (user and system, from /proc). The paced run has the
# autopilot on too, and leaves a screenshot of the cars having driven themselves.
#   bench/pace-figures.sh BUILD_DIR [SECONDS] [DESIRED_FPS]
set -u
for part in wait display screen keys settings; do . "$(dirname "$0")/../scripts/lib/$part.sh"; done
trap stop_display EXIT
start_display 640x480x24 || exit 1
export XDG_CONFIG_HOME="$work/config"
seconds=${2:-30}
fps=${3:-30}
ticks=$(getconf CLK_TCK)

cpu_ticks() {  # PID: user plus system time so far, in clock ticks
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}
measure() {  # NAME AUTOPILOT STEADY-PACE
  write_keyfile dFps="$fps" autopilot="$2" steadyPace="$3"
  "$1/kelvaron" /s > /dev/null 2>&1 &
  local pid=$! id before title
  id=$(wait_for_window Start 60)
  sleep 2
  before=$(cpu_ticks "$pid")
  sleep "$seconds"
  local used=$(( $(cpu_ticks "$pid") - before ))
  title=$(fps_titles | head -n 1)
  [ "$2" = 1 ] && shot "${KELVARON_SHOT_DIR:-$work}/autopilot.png"
  echo "$4: title ${title:-none}; processor $(( 100 * used / (ticks * seconds) ))% of one core over $seconds s"
  press_escape "$id"
  wait_for_exit "$pid" 20
}

measure "$1" 0 0 "back to back"
measure "$1" 1 1 "paced to $fps, autopilot on"
[ -n "${KELVARON_SHOT_DIR:-}" ] && echo "screenshot of the self-driving run: $KELVARON_SHOT_DIR/autopilot.png"
