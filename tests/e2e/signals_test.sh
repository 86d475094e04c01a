#!/usr/bin/env bash
# Ending signals: SIGTERM, SIGINT and SIGHUP during a full run, a preview and an XScreenSaver run each
# end the process through the ordinary teardown, with status 0, the window gone and the display as
# it was; a second signal during the teardown does no harm; a hack showing a box ends too. Prints
# how long each end took.
#   signals_test.sh KELVARON HOST-WINDOW
set -u
kelvaron=$1
host_window=$2
for part in checks wait display screen settings; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'kill "${host_pid:-}" 2> /dev/null; stop_display' EXIT
start_display 1024x768x24 || exit 1
export XDG_CONFIG_HOME="$work/config"
write_keyfile screenWidth=1024 screenHeight=768

start_host_window "$host_window" 320 240
windows_before=$(xwininfo -root -children | grep -c '^ *0x')

# Starts the run, waits for its first frame, sends the signals and checks how it ended.
end_with() {  # WHAT SIGNAL... -- KELVARON-ARGUMENT...
  local what=$1 signals=() started ended
  shift
  while [ "$1" != -- ]; do signals+=("$1"); shift; done
  shift
  "$kelvaron" "$@" > "$work/run.log" 2>&1 &
  pid=$!
  if [ "$1" = /s ]; then
    wait_for_colour "$work/drawn.png" 512x384+512+0 red 1000
  else
    wait_for_colour "$work/drawn.png" 320x240+100+100 lit 500
  fi
  started=$(date +%s%N)
  for signal in "${signals[@]}"; do kill "-$signal" "$pid"; done
  check "$what ends" wait_for_exit "$pid" 20
  ended=$(date +%s%N)
  echo "   $what: ended $(( (ended - started) / 1000000 )) ms after the signal"
  check "... promptly (within three seconds on a loaded machine)" [ $(( (ended - started) / 1000000 )) -le 3000 ]
  check "... with status 0" [ "${status:-1}" -eq 0 ]
  check "... leaving no window of its own" window_count_is Start 0
  check "... nor anything else on the display" [ "$(xwininfo -root -children | grep -c '^ *0x')" -eq "$windows_before" ]
  check "... nor a child in the host" [ -z "$(xwininfo -children -id "$host" | awk '/^ +0x/ { print $1 }')" ]
}

for signal in TERM INT HUP; do
  end_with "SIG$signal during a full run" "$signal" -- /s
  end_with "SIG$signal during a preview" "$signal" -- /p "$host"
  end_with "SIG$signal during an XScreenSaver run" "$signal" -- -window-id "$host"
done
# A host that ends its preview as soon as the preview's window is in it: the start is not yet over.
early=0
for _ in $(seq 10); do
  "$kelvaron" /p "$host" > "$work/run.log" 2>&1 &
  pid=$!
  # Looked for without a pause: the window is there some milliseconds before the start is over.
  until xwininfo -children -id "$host" 2> /dev/null | grep -q '^ *0x' || ! kill -0 "$pid" 2> /dev/null; do :; done
  kill -TERM "$pid"
  wait_for_exit "$pid" 20 && [ "$status" -eq 0 ] && early=$((early + 1))
done
check "SIGTERM as the preview's window appears in the host ends it with status 0 (10 times: $early)" [ "$early" -eq 10 ]
end_with "SIGTERM twice, the second during the teardown" TERM TERM -- /s
end_with "SIGINT then SIGHUP during a preview" INT HUP -- /p "$host"

# A hack whose window cannot be made (a display without GLX) says why in a box; its host's SIGTERM
# ends it all the same, box and all.
end_display
start_display 1024x768x24 -extension GLX || exit 1
start_host_window "$host_window" 320 240
"$kelvaron" -window-id "$host" > "$work/run.log" 2>&1 &
pid=$!
check "a hack whose window cannot be made says why in a box" wait_for_window ERROR
started=$(date +%s%N)
kill -TERM "$pid"
check "... and SIGTERM ends it, box and all" wait_for_exit "$pid" 20
ended=$(date +%s%N)
kill -KILL "$pid" 2> /dev/null
echo "   the boxed hack: ended $(( (ended - started) / 1000000 )) ms after the signal"
check "... within a second" [ $(( (ended - started) / 1000000 )) -le 1000 ]
check "... having said why on standard error too" grep -q '^kelvaron: ERROR: ' "$work/run.log"
check "... and no box left" [ -z "$(find_windows ERROR)" ]
finish
