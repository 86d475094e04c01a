#!/usr/bin/env bash
# Runs Kelvaron: installs what is missing, builds, and starts the full run on the current display,
# as the user who started it. With no display it starts a private virtual one, drives the three cars
# and cycles the cameras for a few seconds, and saves screenshots (into KELVARON_SHOTS,
# build/screenshots by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVARON_BUILD_DIR:-$root/build}
. "$root/scripts/lib/log.sh"
# The browser build, served on 127.0.0.1.
[ "${1:-}" = --web ] && exec "$root/scripts/run-web.sh"

"$root/scripts/install-deps.sh" run
use_compiler_cache
mkdir -p "$build"
# Built as the .deb builds it (and as scripts/test.sh builds this tree): Debian's flags.
mapfile -t options < <(debian_build_options "$root" "$(dpkg --print-architecture)")
configure "$root" "$build/release" "${options[@]}" -DKELVARON_ODE_PREFIX="$build/deps/ode-native"
logged "$build/release.build.log" cmake --build "$build/release" -j "$(nproc)" --target kelvaron
kelvaron="$build/release/kelvaron"

if [ -n "${DISPLAY:-}" ] && xdpyinfo > /dev/null 2>&1; then
  exec "$kelvaron" /s
fi

# No display: a private one at the default full-run size, so the run goes fullscreen at once.
shots=${KELVARON_SHOTS:-$build/screenshots}
mkdir -p "$shots"
for part in wait display screen keys; do . "$root/scripts/lib/$part.sh"; done
trap stop_display EXIT
start_display 640x480x24
# The stored settings of this user are left alone: the demonstration runs with the defaults.
XDG_CONFIG_HOME="$work/config" "$kelvaron" /s &
pid=$!
window=$(wait_for_window Start 120)
focus_window "$window"
wait_for_colour "$shots/1-start.png" 320x240+320+0 red 300 120
hold() {  # SECONDS KEYS...: the cars drive for that long
  local seconds=$1; shift
  xdotool keydown "$@"; sleep "$seconds"; xdotool keyup "$@"
}
hold 3 Up w i
shot "$shots/2-driving.png"
hold 4 Up Left w d i
shot "$shots/3-turning.png"
previous="$shots/3-turning.png"
for mode in 2 3 4 5; do
  hold_until_changed "$previous" "$shots/$((mode + 2))-camera-$mode.png" 320x240+0+0 1000 60 c
  previous="$shots/$((mode + 2))-camera-$mode.png"
done
press_escape "$window"
wait "$pid"
echo "Kelvaron ran on a private display; screenshots are in $shots"
