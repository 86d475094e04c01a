#!/usr/bin/env bash
# One world shared through a real relay on 127.0.0.1 by headless clients (kelvaron-replay --join),
# each driving its seat from its own key script: every client's hashes must be equal at every
# traced tick, and equal to the Linux replay of the room's log.
#   shared_world_test.sh bad-link RELAY LINUX-REPLAY TICKS ['CLIENT-B' 'CLIENT-C']
#   shared_world_test.sh faults RELAY LINUX-REPLAY TICKS ['CLIENT-B' 'CLIENT-C']
#   shared_world_test.sh delay-room RELAY LINUX-REPLAY TICKS
#   shared_world_test.sh late-join RELAY LINUX-REPLAY TICKS
#   shared_world_test.sh fleet RELAY LINUX-REPLAY TICKS
# Clients that join as the room opens run its whole log (--whole-log), so that their hashes from its
# first tick compare; on the test clock a room is soon old enough to be joined from a seat's world.
# A client is its runner and program, split on blanks ("wine-run.sh kelvaron-replay.exe", "node
# kelvaron-replay.js"), the Linux replay unless given; the first client is always the Linux replay.
# bad-link: B reaches the relay through a link with 150 ms of delay and 2 % loss each way, at the
# real tick rate. faults: C is killed at tick 700, and a Linux client takes its seat back at tick
# 1200, joining from a seat's world. late-join: a third client joins at tick 900 from a seat's
# world; the first seat's worlds are spoilt, so it must refuse that one and take the second's. Rooms
# roll back, but delay-room's, opened with an input delay of 4 ticks, which runs as rooms did before
# rollback. In bad-link and delay-room, A types its script live, and the room's log shows its input
# delay. fleet: three relays share a Redis of the test's own; a room opened on A is joined through B,
# Redis restarts at tick 300 and the relays register the room again, then A is killed (SIGKILL) at
# tick 900: its clients go on through another relay of the fleet, which takes the room over.
set -u
here=$(cd "$(dirname "$0")" && pwd)
for part in checks wait relay; do . "$here/../../scripts/lib/$part.sh"; done
mode=$1 relay=$2 linux=$3 ticks=$4
client_b=${5:-$linux} client_c=${6:-$linux}
scripts="$here/../../bench/scripts"
work=$(mktemp -d)
proxy_pid=
cleanup() {
  for pid in $(jobs -p); do kill -- "-$pid" 2> /dev/null || kill "$pid" 2> /dev/null; done
  stop_relay
  stop_redis
  rm -rf "$work"
}
trap cleanup EXIT

# Rooms about equal worlds run on the relay's test clock, the faults' slower for their timed checks
# (a seat silent for 2 s of room time); the bad link's pacing is tested at the real rate.
case $mode in delay-room | late-join | fleet) tick_hz=300 ;; faults) tick_hz=150 ;; *) tick_hz=30 ;; esac
fleet=()
if [ "$mode" = fleet ]; then
  start_redis "$work/redis.log" || { echo "FAILED: Redis did not start"; exit 1; }
  fleet=(--redis "redis://127.0.0.1:$redis_port")
fi
start_relay "$relay" "$work/relay.log" --log-dir "$work" --tick-hz "$tick_hz" "${fleet[@]}" ||
  { echo "FAILED: the relay did not start"; exit 1; }
echo "relay on 127.0.0.1:$relay_port"

# Each client in a process group of its own, so that a kill reaches what its runner started.
join() {  # NAME LINK SCRIPT CLIENT [OPTION...]
  local name=$1 link=$2 script=$3
  read -r -a client <<< "$4"
  shift 4
  setsid "${client[@]}" --join "$link" "$@" --script "$script" --frames "$ticks" --every 50 --hash \
    > "$work/$name.out" 2> "$work/$name.err" &
  printf -v "pid_$name" %s $!
}
hashes() { grep '^hash ' "$work/$1.out" | tr -d '\r'; }
reached() { grep -q "^frame $2 " "$work/$1.out"; }
ended_well() {  # NAME
  local pid_var="pid_$1"
  wait_for_exit "${!pid_var}" $((ticks / 30 + 120)) && [ "$status" -eq 0 ] && return 0
  echo "   $1 ended with status ${status:-?}:"; tail -n 3 "$work/$1.err"
  return 1
}
same_hashes() {  # NAME OTHER
  local count
  count=$(hashes "$1" | wc -l)
  [ "$count" -eq $((ticks / 50)) ] && [ "$(hashes "$1")" = "$(hashes "$2")" ] && return 0
  echo "   $1 has $count hash lines; first difference from $2:"
  diff <(hashes "$1") <(hashes "$2") | head -n 4
  return 1
}
joined_hashes() {  # NAME OTHER: from the world it joined from on
  local count
  count=$(hashes "$1" | wc -l)
  [ "$count" -gt 0 ] && [ "$(hashes "$1")" = "$(hashes "$2" | tail -n "$count")" ] && return 0
  echo "   $1 has $count hash lines; first difference from the end of $2's:"
  diff <(hashes "$1") <(hashes "$2" | tail -n "$count") | head -n 4
  return 1
}
# The room ends 10 s after its last client leaves, and its log is kept then.
room_log() { ls "$work"/*.keys 2> /dev/null | head -n 1; }
has_room_log() { [ -n "$(room_log)" ]; }
log_replays_as() {  # NAME
  wait_until 30 has_room_log || { echo "   no room log; the relay said:"; cat "$work/relay.log"; return 1; }
  [ "$("$linux" --script "$(room_log)" --frames "$ticks" --every 50 --hash | grep '^hash ' | sed 1d)" = "$(hashes "$1")" ]
}

between() { [ -n "$1" ] && [ "$1" -ge "$2" ] && [ "$1" -lt "$3" ]; }  # VALUE LOW HIGH

delays_within() {  # SCRIPT LOW HIGH: seat 0's every input delay in LOW..HIGH, one a command typed
  local count
  count=$(input_delays "$1" "$(room_log)" | awk -v low="$2" -v high="$3" '$1 >= low && $1 <= high' | wc -l)
  [ "$count" -gt 0 ] && [ "$count" -eq "$(seat0_arrows "$1" | wc -l)" ] && return 0
  echo "   seat 0's input delays, tick less typed frame: $(input_delays "$1" "$(room_log)" | tr '\n' ' ')"
  return 1
}

link=
# Each client's rollbacks, as it says them when it leaves: "N rollbacks in S s of the room (R a second),
# the deepest D frames; waited for the relay W times".
rollbacks() { sed -n 's/.*: \([0-9]*\) rollbacks in .*/\1/p' "$work/$1.err"; }
say_rollbacks() { for name in "$@"; do echo "   $name: $(grep -o '[0-9]* rollbacks in .*' "$work/$name.err")"; done; }
late_commands() { sed -n 's/.*, \([0-9]*\) commands late$/\1/p' "$work/relay.log"; }

open_room() {  # SCRIPT [OPTION...]
  join a "http://127.0.0.1:$relay_port/" "$1" "$linux" "${@:2}"
  wait_until 20 grep -q '^room ' "$work/a.out" || { echo "FAILED: no room"; cat "$work/a.err"; exit 1; }
  link=$(sed -n 's/^room //p' "$work/a.out" | head -n 1)
  check "a new room's link names this relay" [ "${link%%\?*}" = "http://127.0.0.1:$relay_port/" ]
}

case $mode in
faults)
  open_room "$scripts/drive.keys"
  join b "$link" "$scripts/weave.keys" "$client_b" --whole-log
  # Seats go in the order of joining: b's is 1 once it runs, and c's 2.
  wait_until 60 reached b 50 || echo "   client b never reached tick 50"
  join c "$link" "$scripts/drive.keys" "$client_c" --whole-log
  wait_until 60 reached a 700 || echo "   client a never reached tick 700"
  kill -- "-$pid_c"
  wait_until 60 reached a 1200 || echo "   client a never reached tick 1200"
  join d "$link&seat=3" "$scripts/weave.keys" "$linux"
  for name in a b d; do check "client $name ran $ticks ticks" ended_well $name; done
  check "the second build's hashes equal the Linux client's" same_hashes b a
  check "the late joiner joined from a seat's world" grep -q "joined from a seat's world of tick" "$work/d.err"
  check "... and reached the same hashes" joined_hashes d a
  check "the killed client agreed until it went" \
    [ "$(hashes c)" = "$(hashes a | head -n "$(hashes c | wc -l)")" ]
  check "the Linux replay of the room's log gives the same hashes" log_replays_as a
  handed=$(sed -n 's/^\([0-9]*\) autopilot 2 on$/\1/p' "$(room_log)" | head -n 1)
  back=$(sed -n 's/^\([0-9]*\) autopilot 2 off$/\1/p' "$(room_log)" | head -n 1)
  check "the killed seat went to the autopilot 2 s after tick 700 (at ${handed:-none})" between "$handed" 750 850
  check "the seat came back to its person at tick 1200 (at ${back:-none})" between "$back" 1200 1300
  ;;
bad-link)
  python3 "$here/slow_link.py" "$relay_port" 150 2 7 > "$work/proxy.port" &
  wait_until 10 test -s "$work/proxy.port" || { echo "FAILED: the slow link did not start"; exit 1; }
  started=$SECONDS
  open_room "$scripts/drive.keys" --live
  join b "${link/:$relay_port\//:$(cat "$work/proxy.port")/}" "$scripts/weave.keys" "$client_b" --whole-log
  join c "$link" "$scripts/drive.keys" "$client_c" --whole-log
  for name in a b c; do check "client $name ran $ticks ticks" ended_well $name; done
  # In lockstep behind a slow seat each tick would wait out its round trip: 0.3 s, not 1/30.
  check "the clients on good links were not held back by the slow one ($((SECONDS - started)) s for $ticks ticks)" \
    [ $((SECONDS - started)) -lt $((ticks / 30 + 30)) ]
  check "the slow client's hashes equal the Linux client's" same_hashes b a
  check "the third client's hashes equal the Linux client's" same_hashes c a
  check "the Linux replay of the room's log gives the same hashes" log_replays_as a
  check "the slow seat's commands reached the room" grep -q ' down 87$' "$(room_log)"
  check "typed live on a good link, seat 0's commands act at the tick typed or the next" \
    delays_within "$scripts/drive.keys" 0 1
  say_rollbacks a b c
  check "the clients on good links wound back for the slow seat's commands ($(rollbacks a) times)" \
    [ "$(rollbacks a)" -gt 0 ]
  check "commands that came late moved to the next tick ($(late_commands) of them), and their senders agreed" \
    [ "$(late_commands)" -gt 0 ]
  ;;
delay-room)
  open_room "$scripts/drive.keys" --delay 4 --live
  join b "$link" "$scripts/weave.keys" "$linux" --whole-log
  join c "$link" "$scripts/drive.keys" "$linux" --whole-log
  for name in a b c; do check "client $name ran $ticks ticks" ended_well $name; done
  check "the second client's hashes equal the first's" same_hashes b a
  check "the third client's hashes equal the first's" same_hashes c a
  check "the Linux replay of the room's log gives the same hashes" log_replays_as a
  check "the room waited out its delay: no client wound back" [ -z "$(rollbacks a)$(rollbacks b)$(rollbacks c)" ]
  check "the relay opened it with its delay" grep -q 'opened with an input delay of at least 4 ticks' "$work/relay.log"
  # The delay counts from the last tick received, the one before the frame a key is typed for.
  check "typed live, seat 0's commands wait out the room's delay in its log" delays_within "$scripts/drive.keys" 3 8
  ;;
late-join)
  open_room "$scripts/drive.keys" --test-spoil-offers
  join b "$link" "$scripts/weave.keys" "$linux" --whole-log
  wait_until 60 reached a 900 || echo "   client a never reached tick 900"
  join d "$link" "$scripts/weave.keys" "$linux"
  for name in a b d; do check "client $name ran $ticks ticks" ended_well $name; done
  check "the late joiner refused the first seat's spoilt world" \
    grep -q "the world given for tick [0-9]* is not the room's: the restored world's state hash" "$work/d.err"
  check "... and the relay forgot it" grep -q "seat 0's world of tick [0-9]* is not the room's" "$work/relay.log"
  check "... and joined from the second seat's" grep -q "joined from a seat's world of tick" "$work/d.err"
  check "the late joiner's hashes from then on equal the seats'" joined_hashes d a
  check "the second seat's hashes equal the first's" same_hashes b a
  check "the Linux replay of the room's log gives the same hashes" log_replays_as a
  ;;
fleet)
  relay_a=$relay_pid port_a=$relay_port
  for name in b c; do
    start_relay "$relay" "$work/relay-$name.log" --log-dir "$work" --tick-hz "$tick_hz" "${fleet[@]}" ||
      { echo "FAILED: relay $name did not start"; exit 1; }
    printf -v "port_$name" %s "$relay_port"
  done
  relay_pid=$relay_a relay_port=$port_a
  open_room "$scripts/drive.keys"
  code=${link##*=}
  join b "http://127.0.0.1:$port_b/?room=$code" "$scripts/weave.keys" "$linux" --whole-log
  wait_until 60 reached b 300 || echo "   client b never reached tick 300"
  check "a room's link through another relay of the fleet reached the room" reached b 300
  leased() { [ "$(redis-cli -p "$redis_port" exists "kelvaron:lease:$code" "kelvaron:log:$code")" = 2 ]; }
  check "the room is in the fleet's map" leased
  stop_redis
  start_redis "$work/redis.log" "$redis_port" || { echo "FAILED: Redis did not start again"; exit 1; }
  check "Redis restarted, the relay registered the room again within 5 s" wait_until 5 leased
  wait_until 60 reached a 900 || echo "   client a never reached tick 900"
  kill -KILL "$relay_a"
  for name in a b; do check "client $name ran $ticks ticks" ended_well $name; done
  for name in a b; do
    check "client $name joined the room again through the fleet" grep -q "joined again through" "$work/$name.err"
  done
  check "another relay took the room over: $(grep -ho 'taken over .*' "$work"/relay-[bc].log)" \
    grep -q "room $code taken over from the fleet at tick" "$work/relay-b.log" "$work/relay-c.log"
  check "the second client's hashes equal the first's" same_hashes b a
  check "the Linux replay of the fleet's log of the room gives the same hashes" log_replays_as a
  ;;
*)
  echo "unknown mode $mode"; exit 2 ;;
esac
finish
