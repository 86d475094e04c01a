#!/usr/bin/env bash
# kelvaron.scr /s --join LINK under Wine, in a room of the Linux build's relay on 127.0.0.1 that a
# Linux headless client made and drives: the overlay says the seat, the arrows drive the seat's car
# through the room, and the run's recording holds the room's commands and replays on Linux to the
# hash it printed and to the Linux client's hashes. A relay that goes away leaves the window up and
# still, saying why, and Escape still ends the run. A link to no room, or to a relay that is not
# there, is refused in a box before any window.
#   windows_join_test.sh WINE-RUN KELVARON.SCR DIALOG-FIELDS LINUX-RELAY LINUX-REPLAY
set -u
wine_runner=$1
scr=$2
fields=$3
relay=$4
linux_replay=$5
scripts=$(cd "$(dirname "$0")/../../bench/scripts" && pwd)
for part in checks wait display screen keys relay wine; do . "$(dirname "$0")/../../scripts/lib/$part.sh"; done
client_pid=
trap 'kill "$client_pid" 2> /dev/null; stop_relay; stop_display' EXIT
start_display 1024x768x24 || exit 1
use_wine_prefix "$work/wine"
reg_set UseTakeFocus REG_SZ N 'HKCU\Software\Wine\X11 Driver'  # as in windows_toys_test.sh
reg_set screenWidth REG_DWORD 1024
reg_set screenHeight REG_DWORD 768
reg_set bitsPP REG_DWORD 32
start_relay "$relay" "$work/relay.log" || { echo "FAILED: the relay did not start"; exit 1; }

# The overlay's third line, which a shared run fills, and its far end: the seat's line ("Driving
# Car2  Ping 12 ms  Rollback 0") stops short of it, why the room was left reaches into it.
line3=480x10+544+758
line3_end=200x10+824+758
views=1024x384+0+0
seat_line_shown() {
  shot "$work/seat.png" && [ "$(count_colour "$work/seat.png" $line3 lit)" -gt 100 ] &&
    [ "$(count_colour "$work/seat.png" $line3_end lit)" -eq 0 ]
}
leaving_said() {
  shot "$work/left.png" && [ "$(count_colour "$work/left.png" $line3_end lit)" -gt 30 ]
}
box_words() {
  wine_run "$fields" ERROR --static | tr -d '\r' | grep .
}
# A full run that joins LINK, and is refused in a box that says WORDS, before any window opens.
refused_with() {  # LINK WORDS
  local pid said
  wine_run "$scr" /s --join "$1" > "$work/refused.log" 2>&1 &
  pid=$!
  wait_for_window ERROR 60 > /dev/null || { echo "   no box"; return 1; }
  said=$(box_words)
  [ "$(find_windows Start | wc -l)" -eq 0 ] || { echo "   a window opened"; return 1; }
  answer_box ERROR Return
  if ! wait_for_exit "$pid" 60 || [ "$status" -ne 2 ]; then echo "   ended with status ${status:-?}"; return 1; fi
  [[ $said == "Cannot join $1: "*"$2"* ]] || { echo "   the box said: $said"; return 1; }
}
# The run's line on what it recorded, into frames and hash.
read_recorded() {
  local said
  said=$(tr -d '\r' < "$work/run.log" | grep '^kelvaron: recorded')
  [[ $said =~ ^kelvaron:\ recorded\ ([0-9]+)\ frames\ to\ .*state\ hash\ ([0-9a-f]{16})$ ]] || return 1
  frames=${BASH_REMATCH[1]} hash=${BASH_REMATCH[2]}
}
replays_to_hash() {  # RECORDING
  [ "$("$linux_replay" --script "$1" --hash --every 1000000000 | tail -n 1)" = "hash $frames $hash" ]
}
# The hash lines of ticks 50, 100, ... up to the recording's end.
hashes_to_end() {
  tr -d '\r' | awk -v n="$frames" '$1 == "hash" && $2 > 0 && $2 % 50 == 0 && $2 <= n' | uniq
}
client_reached() { grep -q "^frame $1 " "$work/client.out"; }
start_join() {  # RECORDING
  wine_run "$scr" /s --join "$link" --record "$(wine_run winepath -w "$1" | tr -d '\r')" > "$work/run.log" 2>&1 &
  pid=$!
  win=$(wait_for_window Start 60)
}

check "a link to a room that is not there is refused in a box, before any window" \
  refused_with "http://127.0.0.1:$relay_port/?room=0123456789abcdef" "the relay refused: no room 0123456789abcdef"

# The room, made by the Linux client, which drives car 0 from drive.keys; the Windows run joins at
# tick 300 and catches up.
"$linux_replay" --join "http://127.0.0.1:$relay_port/" --script "$scripts/drive.keys" --frames 9000 --every 50 \
  --hash > "$work/client.out" 2> "$work/client.err" &
client_pid=$!
wait_until 20 grep -q '^room ' "$work/client.out" || { echo "FAILED: no room"; cat "$work/client.err"; exit 1; }
link=$(sed -n 's/^room //p' "$work/client.out" | head -n 1)
wait_until 60 client_reached 300 || echo "   the Linux client never reached tick 300"

recording=$work/joined.keys
start_join "$recording"
check "the joined run opens" wait_for_colour "$work/drawn.png" 512x384+512+0 red 1000 60
check "the overlay says the seat" wait_until 60 seat_line_shown
keep_shot "$work/seat.png" windows-join.png
# The arrows drive the seat's car, car 1 (blue, upper left), through the room's ticks.
focus_window "$win"
shot "$work/before.png"
check "the views move while Up is held" hold_until_changed "$work/before.png" "$work/driving.png" 512x384+0+0 2000 30 Up
sleep 1
press_escape "$win"
check "Escape ends the joined run" eval 'wait_for_exit "$pid" 60 && [ "$status" -eq 0 ]'
check "the run says what it recorded" read_recorded
check "the Linux replay of its recording ends at its hash" replays_to_hash "$recording"
check "the recording holds the other seat's commands from the room (car 0's Up)" grep -q '^[0-9]* down 38$' "$recording"
check "... and its own seat's, come back from the room (car 1's W)" grep -q '^[0-9]* down 87$' "$recording"
wait_until 30 client_reached $((frames / 50 * 50))
check "the Linux replay of the recording has the Linux client's hashes every 50 ticks" \
  [ "$("$linux_replay" --script "$recording" --every 50 --hash | hashes_to_end)" = "$(hashes_to_end < "$work/client.out")" ]

# The relay goes away mid-run: the window stays, the world stands still, the overlay says why.
recording=$work/left.keys
start_join "$recording"
check "a second joined run says its seat" wait_until 90 seat_line_shown
sleep 3  # past a catch-up, whose line is as short
kill -KILL "$relay_pid"
wait "$relay_pid" 2> /dev/null
relay_pid=
check "the relay gone, the overlay says why the room was left" wait_until 60 leaving_said
keep_shot "$work/left.png" windows-join-left.png
check "... the world comes to a stand" comes_to_a_stand $views 1 30
sleep 2
# Asked for some seconds: on a loaded machine xwininfo has missed Wine's window for a moment.
check "... and the window stays" wait_until 10 eval '[ -n "$(find_windows Start)" ]'
press_escape "$win"
check "Escape still ends the run" eval 'wait_for_exit "$pid" 60 && [ "$status" -eq 0 ]'
check "... which says what it recorded" read_recorded
check "... and whose recording replays on Linux to its hash" replays_to_hash "$recording"

check "the gone relay's link is refused in a box, before any window" \
  refused_with "$link" "cannot reach 127.0.0.1 port $relay_port"

finish
