#!/usr/bin/env bash
# Frames from a key to its own car's response, in a room that waits out an input delay against one
# that rolls back, at round trips of 0, 50, 150 and 300 ms. Seat 0 is the Linux replay typing a script
# live (--join --live) through a link that delays each way by half the round trip; seat 1 drives
# weave.keys on a good link, so that seat 0 also predicts another car. At the relay's real 30 ticks a
# second. Seat 0's car answers on its own screen at the tick its command acts on in the room's log
# when waiting, and at the frame typed for when rolling back, which then corrects itself should the
# log say a later tick; each room's log says both. Medians over the script's commands, printed.
#   bench/input-delay-figures.sh RELAY LINUX-REPLAY [FRAMES [ROUND-TRIP-MS...]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
relay=${1:?usage: input-delay-figures.sh RELAY LINUX-REPLAY [FRAMES]}
linux=${2:?usage: input-delay-figures.sh RELAY LINUX-REPLAY [FRAMES]}
frames=${3:-600}
round_trips=("${@:4}")
[ ${#round_trips[@]} -gt 0 ] || round_trips=(0 50 150 300)
for part in wait relay stats; do . "$here/../scripts/lib/$part.sh"; done
work=$(mktemp -d)
proxy=
cleanup() {
  for pid in $(jobs -p); do kill "$pid" 2> /dev/null; done
  stop_relay
  rm -rf "$work"
}
at_exit cleanup

# Seat 0 steers left and right in turn, a key every 15 frames until the last 60.
awk -v last=$((frames - 60)) 'BEGIN { for (f = 30; f < last; f += 30) { k = (f / 30) % 2 ? 37 : 39
  print f, "down", k; print f + 15, "up", k } }' > "$work/steer.keys"

# One room: prints the round trip, the room's kind, seat 0's input delays' median and largest in the
# room's log, and its rollbacks as it says them.
measure() {  # ROUND-TRIP-MS [--delay D]
  local rtt=$1 kind=rollback link slow_port; shift
  [ $# -gt 0 ] && kind="delay $2"
  rm -f "$work/proxy.port" "$work/a.out"
  start_relay "$relay" "$work/relay.log" --log-dir "$work/logs" --tick-hz 30
  python3 "$here/../tests/relay/slow_link.py" "$relay_port" $((rtt / 2)) 0 1 > "$work/proxy.port" &
  proxy=$!
  wait_until 10 test -s "$work/proxy.port"
  slow_port=$(cat "$work/proxy.port")
  "$linux" --join "http://127.0.0.1:$slow_port/" "$@" --live --script "$work/steer.keys" --frames "$frames" \
    > "$work/a.out" 2> "$work/a.err" &
  local a=$!
  wait_until 30 grep -qs '^room ' "$work/a.out" ||
    { echo "input-delay-figures.sh: seat 0 opened no room in 30 s:" >&2; cat "$work/a.err" >&2; exit 1; }
  link=$(sed -n 's/^room //p' "$work/a.out" | head -n 1)
  "$linux" --join "${link/:$slow_port\//:$relay_port/}" --script "$here/scripts/weave.keys" --frames "$frames" \
    > /dev/null 2> "$work/b.err" &
  local b=$!
  wait "$a" || { echo "input-delay-figures.sh: seat 0 left early:" >&2; cat "$work/a.err" >&2; exit 1; }
  wait "$b" || { echo "input-delay-figures.sh: seat 1 left early:" >&2; cat "$work/b.err" >&2; exit 1; }
  kill "$proxy" 2> /dev/null; wait "$proxy" 2> /dev/null || true
  stop_relay  # the room's log is kept as it ends, with the relay
  local log delays
  log=$(ls "$work"/logs/*.keys 2> /dev/null) ||
    { echo "input-delay-figures.sh: the room kept no log; seat 0 said:" >&2; cat "$work/a.err" >&2; exit 1; }
  delays=$(input_delays "$work/steer.keys" "$log")
  printf '%-6s %-9s %6s %8s   %s\n' "$rtt" "$kind" "$(median <<< "$delays")" \
    "$(sort -n <<< "$delays" | tail -n 1)" "$(grep -o '[0-9]* rollbacks in .*' "$work/a.err" || echo 'no rollbacks')"
  rm -rf "$work/logs"
}

echo "seat 0's commands: $(seat0_arrows "$work/steer.keys" | wc -l) in $frames ticks, typed live"
printf '%-6s %-9s %6s %8s   %s\n' "rtt ms" "room" "median" "largest" "seat 0's rollbacks"
for rtt in "${round_trips[@]}"; do
  measure "$rtt" --delay 3
  measure "$rtt"
done
