#!/usr/bin/env bash
# Start-up time and frame rate of the real programs on a private 640 x 480 Xvfb display: the time
# from launch until the run's window exists, and the frame rate the program itself writes into its
# title after its first ten seconds. KELVARON_FIGURES_SIZE (WIDTHxHEIGHT, 640x480 unless set) sizes
# the display and the run.
#   bench/window-figures.sh BUILD_DIR [WINDOWS_BUILD_DIR]
set -u
. "$(dirname "$0")/../tests/e2e/lib.sh"
trap stop_display EXIT
size=${KELVARON_FIGURES_SIZE:-640x480}
start_display "${size}x24" || exit 1
export XDG_CONFIG_HOME="$work/config" KELVARON_WINEPREFIX="$work/wine"
mkdir -p "$XDG_CONFIG_HOME/kelvaron"
printf '[ScreenSaverKelvaron]\nscreenWidth=%s\nscreenHeight=%s\n' "${size%x*}" "${size#*x}" \
  > "$XDG_CONFIG_HOME/kelvaron/kelvaron.conf"

measure() {  # NAME COMMAND...: the default settings fit this display, so the run opens fullscreen
  local name=$1 start pid id fps; shift
  start=$(date +%s%N)
  "$@" /s > /dev/null 2>&1 &
  pid=$!
  id=$(wait_for_window Start 60)
  echo "$name: window after $(( ($(date +%s%N) - start) / 1000000 )) ms"
  for _ in $(seq 150); do
    fps=$(xwininfo -root -tree | grep -o '"FPS: [0-9.]*"' | head -n 1)
    [ -n "$fps" ] && break
    sleep 0.1
  done
  echo "$name: title after ten seconds: ${fps:-none}"
  press_escape "$id"
  wait_for_exit "$pid" 20
}

measure "Linux" "$1/kelvaron"
if [ -n "${2:-}" ]; then
  wine_run="$(dirname "$0")/../scripts/wine-run.sh"
  # The prefix is not timed; the display's colour depth is 32 bits as Windows counts it.
  key='HKCU\Software\ScreenSaverKelvaron'
  "$wine_run" reg add "$key" /v bitsPP /t REG_DWORD /d 32 /f > /dev/null 2>&1
  "$wine_run" reg add "$key" /v screenWidth /t REG_DWORD /d "${size%x*}" /f > /dev/null 2>&1
  "$wine_run" reg add "$key" /v screenHeight /t REG_DWORD /d "${size#*x}" /f > /dev/null 2>&1
  measure "Windows under Wine" "$wine_run" "$2/kelvaron.scr"
fi
