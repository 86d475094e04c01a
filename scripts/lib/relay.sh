# shellcheck shell=bash
# A relay of the test's own on 127.0.0.1, on a port the system picks. Sourced by the network tests
# and the relay's figures; needs wait.sh.

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
