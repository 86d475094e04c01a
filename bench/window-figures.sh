#!/usr/bin/env bash
# Start-up time and frame rate of the real programs on a private 640 x 480 Xvfb display: the time
# from launch until the run's window exists, and the frame rate the program itself writes into its
# title after its first ten seconds. KELVARON_FIGURES_SIZE (WIDTHxHEIGHT, 640x480 unless set) sizes
# the display and the run.
#   bench/window-figures.sh BUILD_DIR [WINDOWS_BUILD_DIR]
set -u
for part in wait display screen keys settings wine; do . "$(dirname "$0")/../scripts/lib/$part.sh"; done
trap stop_display EXIT
size=${KELVARON_FIGURES_SIZE:-640x480}
start_display "${size}x24" || exit 1
export XDG_CONFIG_HOME="$work/config" KELVARON_WINEPREFIX="$work/wine"
write_keyfile screenWidth="${size%x*}" screenHeight="${size#*x}"

measure() {  # NAME COMMAND...: the default settings fit this display, so the run opens fullscreen
  local name=$1 start pid id fps; shift
  start=$(date +%s%N)
  "$@" /s > /dev/null 2>&1 &
  pid=$!
  id=$(wait_for_window Start 60)
  echo "$name: window after $(( ($(date +%s%N) - start) / 1000000 )) ms"
  fps=$(first_output 15 fps_titles)
  echo "$name: title after ten seconds: ${fps:-none}"
  press_escape "$id"
  wait_for_exit "$pid" 20
}

measure "Linux" "$1/kelvaron"
if [ -n "${2:-}" ]; then
  # The prefix is not timed; the display's colour depth is 32 bits as Windows counts it.
  reg_set bitsPP REG_DWORD 32
  reg_set screenWidth REG_DWORD "${size%x*}"
  reg_set screenHeight REG_DWORD "${size#*x}"
  measure "Windows under Wine" wine_run "$2/kelvaron.scr"
fi
