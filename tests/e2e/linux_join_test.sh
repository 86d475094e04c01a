#!/usr/bin/env bash
# The Linux program as a seat in a room, drawn on a private Xvfb display beside a headless client
# that made the room, through a relay on 127.0.0.1, and driven with real key presses. Its recording
# must replay to the hash it printed, and that hash must be the room's at that tick; the arrows drive
# its own seat's car and pause does nothing; it holds no seat while its "GL" question is up, and once
# the relay is gone it stands still without spinning; a room that cannot be had is said before any
# window.
# Then --host, inside a network namespace of the test's own: the relay beside the program, its link,
# a headless client in the new room, and the relay gone with the program.
#   linux_join_test.sh KELVARON LINUX-REPLAY RELAY
set -u
kelvaron=$1 replay=$2 relay=$3
for part in checks wait display screen keys settings relay; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
trap 'stop_relay; stop_display' EXIT
start_display 1024x768x24 || exit 1
export XDG_CONFIG_HOME="$work/config" HOME="$work/home"
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
write_keyfile screenWidth=800 screenHeight=600
scripts="$(dirname "$0")/../../bench/scripts"
start_relay "$relay" "$work/relay.log" --log-dir "$work" || exit 1

"$replay" --join "http://127.0.0.1:$relay_port/" --script "$scripts/drive.keys" --frames 900 --every 50 --hash \
  > "$work/a.out" 2> "$work/a.err" &
headless=$!
wait_until 10 grep -q '^room ' "$work/a.out"
link=$(sed -n 's/^room //p' "$work/a.out")
"$kelvaron" --join "$link" --record "$work/seat.keys" > "$work/run.out" 2> "$work/run.err" &
pid=$!
# The question held up longer than a silent seat's 2 s: a seat taken meanwhile would go to the autopilot.
wait_for_window GL > /dev/null && sleep 3 && answer_box GL Return
win=$(wait_for_window Start)
check "the seat's run opens in a window" [ -n "$win" ]
focus_window "$win"
xdotool keydown Up; sleep 1.5
xdotool keyup Up key p; sleep 0.5
xdotool keydown w; sleep 1
xdotool keyup w; sleep 2
check "it says its room and seat" grep -q "^kelvaron: room ${link##*=}: driving Car2$" "$work/run.err"
check "the headless seat ran its 900 ticks" wait_for_exit "$headless" 60
stop_relay  # the relay keeps the room's log as it ends
check "the relay gone, it says it left the room" wait_until 10 grep -q "^kelvaron: left room ${link##*=}: " "$work/run.err"
# Standing still it draws at the room's pace, not as fast as it can: under half a core.
cpu() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
before=$(cpu); sleep 2; after=$(cpu)
check "... and stands still without spinning ($((after - before)) ticks of CPU in 2 s)" [ $((after - before)) -lt $(($(getconf CLK_TCK))) ]
press_escape "$win"
check "Escape ends the seat's run" wait_for_exit "$pid"
check "... with status 0" [ "${status:-1}" -eq 0 ]
pattern="^kelvaron: recorded ([0-9]+) frames to $work/seat.keys, state hash ([0-9a-f]{16})$"
said=$(grep '^kelvaron: recorded' "$work/run.out")
check "it says what it recorded" eval '[[ $said =~ $pattern ]]'
frames=${BASH_REMATCH[1]:-0} hash=${BASH_REMATCH[2]:-none}
check "the arrows drove the seat's own car: W, car 1's key, went to the room" grep -q ' down 87$' "$work/seat.keys"
check "... and pause did nothing in the shared run" eval '! grep -q " pause$" "$work/seat.keys"'
check "the recording holds the other seat's keys too" grep -q ' down 38$' "$work/seat.keys"
last=$("$replay" --script "$work/seat.keys" --hash --every 1000000000 | tail -n 1)
check "the recording replays to the hash the run printed" [ "$last" = "hash $frames $hash" ]
log=$(ls "$work"/*.keys | grep -v seat.keys | head -n 1)
check "while its question was up it held no seat: the room's log hands its car to no autopilot" \
  eval '! grep -q " autopilot 1 on$" "$log"'
at=$("$replay" --script "$log" --frames "$frames" --hash --every 1000000000 | tail -n 1)
check "the room's log at that tick has the same hash: one world" [ "$at" = "hash $frames $hash" ]

"$kelvaron" --join "http://127.0.0.1:1/" > /dev/null 2> "$work/refused.err"
check "a relay that is not there is refused with status 2" [ $? -eq 2 ]
check "... saying why" grep -q "cannot join http://127.0.0.1:1/: cannot reach 127.0.0.1 port 1" "$work/refused.err"
check "... before any window opened" [ -z "$(find_windows Start)" ]

# --host binds every interface: in a namespace of its own only the loopback is there.
if unshare -rn true 2> /dev/null; then
  write_keyfile screenWidth=1024 screenHeight=768  # the display's own mode: no question
  PATH="$(dirname "$relay"):$PATH" unshare -rn bash -c '
    ip link set lo up
    "$0" --host > "$1/host.out" 2> "$1/host.err" &
    host=$!
    for i in $(seq 100); do grep -q "^  http://" "$1/host.out" && break; sleep 0.1; done
    link=$(grep -m1 "^  http://" "$1/host.out" | tr -d " ")
    "$2" --join "$link" --frames 60 --every 60 --hash > "$1/guest.out" 2>&1
    echo "guest $?" >> "$1/host.out"
    kill -TERM $host; wait $host
    for i in $(seq 50); do (: < /dev/tcp/127.0.0.1/27183) 2> /dev/null || break; sleep 0.1; done
    (: < /dev/tcp/127.0.0.1/27183) 2> /dev/null && echo "relay left" >> "$1/host.out"
    true' "$kelvaron" "$work" "$replay"
  check "--host says the new room's link" grep -q '^  http://127.0.0.1:27183/?room=[0-9a-f]*$' "$work/host.out"
  check "... a headless client plays in that room" grep -q '^guest 0$' "$work/host.out"
  check "... and the relay ends with the program" eval '! grep -q "relay left" "$work/host.out"'
else
  echo "no user namespaces here: --host is not tried"
fi
finish
