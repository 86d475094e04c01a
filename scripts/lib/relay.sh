# shellcheck shell=bash
# A relay of the test's own on 127.0.0.1, on a port the system picks, and what its rooms' logs say.
# Sourced by the network tests and the relay's figures; needs wait.sh.

# Starts it with any further options; sets relay_pid and relay_port, its messages going to LOG.
start_relay() {  # RELAY LOG [OPTION...]
  local relay=$1 log=$2 out; shift 2
  out=$(mktemp)
  "$relay" --bind 127.0.0.1 --port 0 "$@" > "$out" 2> "$log" &
  relay_pid=$!
  wait_until 10 grep -q serving "$out" || { cat "$log" >&2; rm -f "$out"; return 1; }
  relay_port=$(sed -n 's/.*:\([0-9]*\)\/$/\1/p' "$out")
  rm -f "$out"
}
stop_relay() {
  [ -n "${relay_pid:-}" ] && kill "$relay_pid" 2> /dev/null && wait "$relay_pid" 2> /dev/null
  relay_pid=
}

# The frames of seat 0's commands (the arrows, 37 to 40) in a key script or a room's log, in order.
seat0_arrows() {  # FILE
  awk '($2 == "down" || $2 == "up") && $3 >= 37 && $3 <= 40 { print $1 }' "$1" | sort -s -n
}
# Seat 0's input delays, one a line: the tick each of its commands acts on in the room's log less the
# frame its script typed it at (kelvaron-replay --join --live), the two taken in order.
input_delays() {  # SCRIPT LOG
  paste <(seat0_arrows "$1") <(seat0_arrows "$2") | awk 'NF == 2 { print $2 - $1 }'
}

# A Redis of the test's own for a fleet of relays, on 127.0.0.1 and keeping nothing on disk, on a
# free port (tried at random, five at most) or PORT; sets redis_pid and redis_port, its messages
# going to LOG.
start_redis() {  # LOG [PORT]
  local log=$1 try
  for try in 1 2 3 4 5; do
    redis_port=${2:-$((20000 + RANDOM % 40000))}
    redis-server --bind 127.0.0.1 --port "$redis_port" --save '' --appendonly no --dir /tmp >> "$log" 2>&1 &
    redis_pid=$!
    wait_until 5 eval "redis-cli -p $redis_port ping 2> /dev/null | grep -q PONG || ! kill -0 $redis_pid 2> /dev/null"
    redis-cli -p "$redis_port" ping 2> /dev/null | grep -q PONG && return 0
    stop_redis
  done
  cat "$log" >&2
  return 1
}
stop_redis() {
  [ -n "${redis_pid:-}" ] && kill "$redis_pid" 2> /dev/null && wait "$redis_pid" 2> /dev/null
  redis_pid=
}
